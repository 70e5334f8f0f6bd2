// The game's scripts use every command word and mark-up character, and every file they name
// is in game/ with that exact case (the case-insensitive fallback would hide a wrong case).

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "engine/Commands.h"
#include "tests/game/GamePlay.h"

namespace qov::test {
namespace {

TEST(GameScripts, UseEveryCommandWordAndMarkUpAndNameOnlyFilesThatExist) {
  const std::set<std::u32string> words(commandWords().begin(), commandWords().end());
  std::set<std::u32string> used;
  std::u32string texts;                                  // messages, FP lines and FJ targets
  std::set<std::string> named{"wnatu.QOV", "Tv2b.wav"};  // the opening's own files too
  for (int n = 1; n <= 8; ++n) named.insert("OP" + std::to_string(n) + ".SZG");
  std::set<std::string> present;
  int lines = 0;
  for (const auto& entry : fs::directory_iterator(kGameSource)) {
    present.insert(entry.path().filename().string());
    if (entry.path().extension() != ".QOV") continue;
    const std::string bytes = readBytes(entry.path());
    EXPECT_TRUE(bytes.ends_with("\r\n")) << entry.path();
    const std::optional<std::u32string> text = decodeCp932(bytes);
    ASSERT_TRUE(text.has_value()) << entry.path() << " is not CP932";
    for (std::size_t at = 0, end; at < text->size(); at = end + 2, ++lines) {
      end = std::min(text->find(U"\r\n", at), text->size());
      const std::u32string line = text->substr(at, end - at);
      const std::u32string word = line.substr(0, line.find(U','));
      const auto field = [&](int n) {
        std::size_t from = 0;
        for (int i = 0; i < n; ++i) from = line.find(U',', from) + 1;
        return toUtf8(line.substr(from, line.find(U',', from) - from));
      };
      if (!words.contains(word)) {
        texts += line;
        continue;
      }
      used.insert(word);
      if (word == U"MES") texts += line;
      if (word == U"GHG") named.insert(field(1) + ".SZG");
      if (word == U"SOUND") named.insert(field(1) + ".wav");
      if (word == U"ACMLD") named.insert(field(1) + ".QOV");
      if (word == U"MUSPL" && field(2) == "1") named.insert(field(1) + ".MID");
    }
  }
  EXPECT_GE(lines, 100);
  for (const std::u32string& word : words) {
    EXPECT_TRUE(used.contains(word)) << toUtf8(word) << " is never used";
  }
  for (const char32_t mark : std::u32string_view(U"＆＠＃￥＾＜＞：＄＊")) {
    EXPECT_NE(texts.find(mark), std::u32string::npos) << toUtf8(std::u32string(1, mark));
  }
  for (const std::string& name : named) EXPECT_TRUE(present.contains(name)) << name;
  EXPECT_GE(named.size(), 30u);
}

}  // namespace
}  // namespace qov::test
