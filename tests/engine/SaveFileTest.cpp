// SAVE and LOAD: the exact file format, and that neither a failed write nor a broken file
// loses the player's progress.
#include <signal.h>
#include <sys/resource.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>

#include "engine/SaveFile.h"
#include "tests/engine/EngineFixture.h"

namespace qov::test {
namespace {

class SaveFileTest : public EngineTest {
 protected:
  // A valid file: " 0 " to " 47 ", then "名0" to "名16", CP932 with the given line end.
  static std::vector<std::string> validLines() {
    std::vector<std::string> lines;
    // Appended piece by piece: "literal" + std::string trips a false -Wrestrict of g++ 12.
    for (int i = 0; i < 48; ++i) lines.push_back(std::string(" ").append(std::to_string(i)) += " ");
    for (int i = 0; i < 17; ++i) lines.push_back(std::string("名").append(std::to_string(i)));
    return lines;
  }
  static std::string fileOf(const std::vector<std::string>& lines, std::string_view end = "\r\n") {
    std::string out;
    for (const std::string& line : lines) out.append(cp932(line)).append(end);
    return out;
  }
  void fill() {
    for (int i = 0; i < Variables::kVarCount; ++i)
      vars_.setVar(i, static_cast<std::int16_t>(i * 3 - 40));
    for (int i = 0; i < Variables::kItemCount; ++i) {
      vars_.setItemCount(i, static_cast<std::int16_t>(100 - i * 13));
      vars_.setItemName(i, std::u32string(U"品").append(fromUtf8(std::to_string(i))));
    }
  }
  std::string snapshot() const { return SaveFile::format(vars_); }
};

TEST_F(SaveFileTest, FreshSaveBytesAndRoundTrip) {
  writeFile("toveli2.dat", "old");  // an existing save of another case is the one replaced
  start(U"save");                   // SAVE / LOAD / MES
  EXPECT_FALSE(tick());
  std::string fresh;
  for (int i = 0; i < 48; ++i) fresh += " 0 \r\n";
  for (int i = 0; i < 17; ++i) fresh += "\r\n";
  EXPECT_EQ(readBytes("toveli2.dat"), fresh);

  vars_.setVar(0, 5);
  vars_.setVar(1, -3);
  vars_.setVar(30, -32768);
  vars_.setItemCount(16, 32767);
  vars_.setItemName(0, U"薬草");
  vars_.setItemName(1, U"  \"引用\" 名");
  const std::string saved = snapshot();
  start(U"save");
  EXPECT_FALSE(tick());
  const std::string bytes = readBytes("toveli2.dat");
  EXPECT_EQ(bytes, saved);
  EXPECT_EQ(bytes.substr(0, 10), " 5 \r\n-3 \r\n");
  EXPECT_NE(bytes.find("\r\n-32768 \r\n"), std::string::npos);
  EXPECT_NE(bytes.find("\r\n\x96\xF2\x91\x90\r\n"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir_ / "TOVELI2.DAT"));
  EXPECT_FALSE(fs::exists(dir_ / "TOVELI2.DAT.tmp"));

  fill();
  EXPECT_FALSE(tick());  // LOAD ends the tick without a jump
  EXPECT_EQ(lineNo(), 3);
  EXPECT_EQ(snapshot(), saved);
  EXPECT_TRUE(host_.notices.empty());
  EXPECT_TRUE(host_.take().empty());
}

TEST_F(SaveFileTest, AWriteThatStopsHalfWayLeavesTheOldSave) {
  writeFile("TOVELI2.DAT", fileOf(validLines()));
  const std::string old = readBytes("TOVELI2.DAT");
  fill();
  start(U"save");
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 100;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const auto end = tick();
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(end);  // the game goes on
  // The reason and the path tried; a writable folder never sends the save elsewhere.
  EXPECT_EQ(host_.notices,
            Calls{"セーブできませんでした\r\nTOVELI2.DAT\r\n" + std::string(std::strerror(EFBIG)) +
                  ": " + (dir_ / "TOVELI2.DAT").string()});
  EXPECT_EQ(readBytes("TOVELI2.DAT"), old);
  EXPECT_FALSE(fs::exists(dir_ / "TOVELI2.DAT.tmp"));
}

TEST_F(SaveFileTest, BrokenOrMissingFilesChangeNothing) {
  const auto with = [](int index, std::string text) {
    std::vector<std::string> lines = validLines();
    lines[static_cast<std::size_t>(index)] = std::move(text);
    return fileOf(lines);
  };
  std::vector<std::string> shortFile = validLines();
  shortFile.resize(60);
  std::string notCp932 = fileOf(validLines());
  notCp932.replace(notCp932.find(cp932("名1")), 1, "\x80");

  const std::vector<std::pair<std::string, int>> cases = {
      {with(4, " 1x "), 5}, {with(31, " 40000 "), 32},
      {with(0, ""), 1},     {fileOf(shortFile), 61},
      {notCp932, 50},       {"", 1},
  };
  fill();
  const std::string before = snapshot();
  writeFile("load.QOV", "LOAD\r\n");
  for (const auto& [bytes, line] : cases) {
    SCOPED_TRACE(line);
    writeFile("TOVELI2.DAT", bytes);
    host_.notices.clear();
    start(U"load");
    EXPECT_FALSE(tick());
    EXPECT_EQ(host_.notices,
              Calls{"セーブファイルが読めません\r\nTOVELI2.DAT( " + std::to_string(line) + ")"});
    EXPECT_EQ(snapshot(), before);
  }

  fs::remove(dir_ / "TOVELI2.DAT");
  host_.notices.clear();
  start(U"load");
  EXPECT_FALSE(tick());
  EXPECT_TRUE(host_.notices.empty());
  EXPECT_EQ(snapshot(), before);
}

TEST_F(SaveFileTest, LoadAcceptsLfBlanksAndNamesAsWritten) {
  std::vector<std::string> lines = validLines();
  lines[0] = "   -12   ";
  lines[48] = "  \"名\"";
  lines[49] = "a\nb";  // a lone LF inside a name of a CR LF file
  std::string noLastEnd = fileOf(lines);
  noLastEnd.resize(noLastEnd.size() - 2);
  lines[49] = "名1";
  for (const auto& [bytes, name1] : {std::pair{fileOf(lines, "\n"), "名1"}, {noLastEnd, "a\nb"}}) {
    const auto parsed = SaveFile::parse(bytes);
    ASSERT_TRUE(std::holds_alternative<SaveFile::State>(parsed));
    const auto& state = std::get<SaveFile::State>(parsed);
    EXPECT_EQ(state.vars[0], -12);
    EXPECT_EQ(state.counts[16], 47);
    EXPECT_EQ(toUtf8(state.names[0]) + toUtf8(state.names[16]), "  \"名\"名16");
    EXPECT_EQ(toUtf8(state.names[1]), name1);
  }
}

TEST_F(SaveFileTest, LoadTakesTheUsersCopyWhenItIsTheNewer) {
  const fs::path userDir = dir_ / "user";
  fs::create_directories(userDir);
  const auto saveWith = [&](const fs::path& file, int value) {
    std::vector<std::string> lines = validLines();
    lines[0] = " " + std::to_string(value) + " ";
    std::ofstream(file, std::ios::binary) << fileOf(lines);
  };
  const auto loaded = [&]() {
    vars_.setVar(0, -1);
    EXPECT_EQ(SaveFile(dir_, userDir).load(vars_), std::nullopt);
    return vars_.var(0);
  };
  const auto age = [](const fs::path& file, int seconds) {
    fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::seconds(seconds));
  };

  saveWith(userDir / "TOVELI2.DAT", 2);
  EXPECT_EQ(loaded(), 2);  // only the user's copy
  saveWith(dir_ / "TOVELI2.DAT", 1);
  age(userDir / "TOVELI2.DAT", 60);
  EXPECT_EQ(loaded(), 1);  // the folder's own, saved last
  age(dir_ / "TOVELI2.DAT", 120);
  EXPECT_EQ(loaded(), 2);  // the user's, saved last
  EXPECT_EQ(SaveFile(dir_, std::nullopt).load(vars_), std::nullopt);
  EXPECT_EQ(vars_.var(0), 1);  // no user's place: the folder's own
}

}  // namespace
}  // namespace qov::test
