// The game's scripts as files: every command word of the player's table and every mark-up
// character is used somewhere, and every file the scripts name is there with that exact case
// (the case-insensitive fallback would hide a wrong case on Linux only from the player).

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Commands.h"
#include "media/Opening.h"
#include "tests/game/GamePlay.h"

namespace qov::testing {
namespace {

struct ScriptLine {
  std::string script;
  int number = 0;
  std::vector<std::u32string> fields;
};

// Every line of every script of the game, split at its commas.
std::vector<ScriptLine> readScripts() {
  std::vector<ScriptLine> lines;
  for (const auto& entry : fs::directory_iterator(kGameSource)) {
    if (entry.path().extension() != ".QOV") continue;
    const std::string bytes = readBytes(entry.path());
    EXPECT_TRUE(bytes.ends_with("\r\n")) << entry.path();
    const std::optional<std::u32string> text = decodeCp932(bytes);
    EXPECT_TRUE(text.has_value()) << entry.path() << " is not CP932";
    if (!text) continue;
    int number = 0;
    for (std::size_t at = 0; at < text->size();) {
      std::size_t end = text->find(U"\r\n", at);
      if (end == std::u32string::npos) end = text->size();
      ScriptLine line{entry.path().filename().string(), ++number, {}};
      const std::u32string_view row = std::u32string_view(*text).substr(at, end - at);
      for (std::size_t from = 0;;) {
        const std::size_t comma = row.find(U',', from);
        line.fields.emplace_back(row.substr(from, comma - from));
        if (comma == std::u32string_view::npos) break;
        from = comma + 1;
      }
      lines.push_back(std::move(line));
      at = end + 2;
    }
    EXPECT_LE(number, 2000) << entry.path();
  }
  return lines;
}

TEST(GameScripts, UseEveryCommandWordAndMarkUpAndNameOnlyFilesThatExist) {
  const std::vector<ScriptLine> lines = readScripts();
  ASSERT_GE(lines.size(), 100u);
  std::set<std::u32string> wordsUsed;
  std::u32string texts;  // messages and the lines of FP tables
  std::set<std::string> named;
  const std::set<std::u32string> words(commandWords().begin(), commandWords().end());
  for (const ScriptLine& line : lines) {
    const std::u32string& word = line.fields[0];
    const auto field = [&](std::size_t n) { return toUtf8(line.fields.at(n - 1)); };
    const auto where = line.script + ":" + std::to_string(line.number);
    if (!words.contains(word)) {
      texts += word;  // a table line: an FP text or an FJ target
      continue;
    }
    wordsUsed.insert(word);
    if (word == U"MES") texts += line.fields.at(1);
    if (word == U"GHG") named.insert(field(2) + ".SZG");
    if (word == U"SOUND") named.insert(field(2) + ".wav");
    if (word == U"ACMLD") named.insert(field(2) + ".QOV");
    if (word == U"MUSPL" && field(3) == "1") named.insert(field(2) + ".MID");
    ASSERT_FALSE(word == U"MUSPL" && line.fields.size() < 3) << where;
  }
  for (const std::u32string_view word : commandWords()) {
    EXPECT_TRUE(wordsUsed.contains(std::u32string(word))) << toUtf8(word) << " is never used";
  }
  for (const char32_t mark : std::u32string_view(U"＆＠＃￥＾＜＞：＄＊")) {
    EXPECT_NE(texts.find(mark), std::u32string::npos)
        << toUtf8(std::u32string(1, mark)) << " is never used";
  }

  // The opening names its own files.
  for (int n = 1; n <= 8; ++n) named.insert("OP" + std::to_string(n) + ".SZG");
  named.insert("Tv2b.wav");
  named.insert("wnatu.QOV");
  std::set<std::string> present;
  for (const auto& entry : fs::directory_iterator(kGameSource)) {
    present.insert(entry.path().filename().string());
  }
  for (const std::string& name : named) {
    EXPECT_TRUE(present.contains(name)) << name << " is named but not in game/ with that case";
  }
  EXPECT_GE(named.size(), 30u);
}

}  // namespace
}  // namespace qov::testing
