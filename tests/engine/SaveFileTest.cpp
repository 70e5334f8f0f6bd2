// SAVE and LOAD: the exact file format, and that neither a failed write nor a broken file
// loses the player's progress.
#include <signal.h>
#include <sys/resource.h>

#include <string>
#include <vector>

#include "engine/SaveFile.h"
#include "tests/engine/EngineFixture.h"

namespace qov::test {
namespace {

using Calls = std::vector<std::string>;

class SaveFileTest : public EngineTest {
 protected:
  // 65 lines in UTF-8, written as CP932 with the given line end.
  static std::string fileOf(const std::vector<std::string>& lines, std::string_view end = "\r\n") {
    std::string out;
    for (const std::string& line : lines) out += cp932(line) + std::string(end);
    return out;
  }
  static std::vector<std::string> validLines() {
    std::vector<std::string> lines;
    // Appended piece by piece: "literal" + std::string trips a false -Wrestrict of g++ 12.
    for (int i = 0; i < 48; ++i) lines.push_back(std::string(" ").append(std::to_string(i)) += " ");
    for (int i = 0; i < 17; ++i) lines.push_back(std::string("名").append(std::to_string(i)));
    return lines;
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

TEST_F(SaveFileTest, FreshSaveIsExactly48ZerosAnd17EmptyNames) {
  start(U"save");
  EXPECT_FALSE(tick());
  EXPECT_EQ(lineNo(), 2);
  std::string expected;
  for (int i = 0; i < 48; ++i) expected += " 0 \r\n";
  for (int i = 0; i < 17; ++i) expected += "\r\n";
  EXPECT_EQ(readBytes("TOVELI2.DAT"), expected);
  EXPECT_FALSE(fs::exists(dir_ / "TOVELI2.DAT.tmp"));
  EXPECT_TRUE(host_.notices.empty());
}

TEST_F(SaveFileTest, RoundTripKeepsNegativesAndJapaneseNames) {
  vars_.setVar(0, 5);
  vars_.setVar(1, -3);
  vars_.setVar(30, -32768);
  vars_.setItemCount(16, 32767);
  vars_.setItemName(0, U"薬草");
  vars_.setItemName(1, U"  \"引用\" 名");
  vars_.setItemName(16, U"ＰＯＴＩＯＮ");
  const std::string saved = snapshot();
  start(U"save");
  EXPECT_FALSE(tick());  // SAVE
  const std::string bytes = readBytes("TOVELI2.DAT");
  EXPECT_EQ(bytes, saved);
  EXPECT_EQ(bytes.substr(0, 10), " 5 \r\n-3 \r\n");
  EXPECT_NE(bytes.find("\r\n-32768 \r\n"), std::string::npos);
  EXPECT_NE(bytes.find("\r\n\x96\xF2\x91\x90\r\n"), std::string::npos);

  fill();
  EXPECT_FALSE(tick());  // LOAD ends the tick without a jump
  EXPECT_EQ(lineNo(), 3);
  EXPECT_TRUE(host_.take().empty());
  EXPECT_EQ(snapshot(), saved);
  EXPECT_EQ(toUtf8(vars_.itemName(1)), "  \"引用\" 名");
  EXPECT_TRUE(host_.notices.empty());
}

TEST_F(SaveFileTest, AnExistingSaveOfAnotherCaseIsTheOneReplacedAndRead) {
  writeFile("toveli2.dat", "old");
  fill();
  const std::string saved = snapshot();
  start(U"save");
  EXPECT_FALSE(tick());
  EXPECT_EQ(readBytes("toveli2.dat"), saved);
  EXPECT_FALSE(fs::exists(dir_ / "TOVELI2.DAT"));
  vars_ = Variables{};
  EXPECT_FALSE(tick());
  EXPECT_EQ(snapshot(), saved);
}

TEST_F(SaveFileTest, FailedWritesLeaveTheOldSave) {
  writeFile("TOVELI2.DAT", fileOf(validLines()));
  const std::string old = readBytes("TOVELI2.DAT");
  fill();
  start(U"save");

  // A directory where the temporary file would go.
  fs::create_directory(dir_ / "TOVELI2.DAT.tmp");
  EXPECT_FALSE(tick());
  EXPECT_EQ(host_.notices, Calls{"セーブできませんでした\r\nTOVELI2.DAT"});
  EXPECT_EQ(readBytes("TOVELI2.DAT"), old);
  EXPECT_EQ(lineNo(), 2);  // the game goes on
  fs::remove(dir_ / "TOVELI2.DAT.tmp");

  // A write that stops half-way: the file size limit cuts it after 100 bytes.
  start(U"save");
  host_.notices.clear();
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 100;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const auto end = tick();
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(end);
  EXPECT_EQ(host_.notices, Calls{"セーブできませんでした\r\nTOVELI2.DAT"});
  EXPECT_EQ(readBytes("TOVELI2.DAT"), old);
  EXPECT_FALSE(fs::exists(dir_ / "TOVELI2.DAT.tmp"));
}

TEST_F(SaveFileTest, BrokenOrMissingFilesChangeNothing) {
  std::vector<std::string> badNumber = validLines();
  badNumber[4] = " 1x ";
  std::vector<std::string> overflow = validLines();
  overflow[31] = " 40000 ";
  std::vector<std::string> empty = validLines();
  empty[0] = "";
  std::vector<std::string> shortFile = validLines();
  shortFile.resize(60);
  std::string notCp932 = fileOf(validLines());
  notCp932.replace(notCp932.find(cp932("名1")), 1, "\x80");

  const std::vector<std::pair<std::string, std::string>> cases = {
      {fileOf(badNumber), "セーブファイルが読めません\r\nTOVELI2.DAT( 5)"},
      {fileOf(overflow), "セーブファイルが読めません\r\nTOVELI2.DAT( 32)"},
      {fileOf(empty), "セーブファイルが読めません\r\nTOVELI2.DAT( 1)"},
      {fileOf(shortFile), "セーブファイルが読めません\r\nTOVELI2.DAT( 61)"},
      {notCp932, "セーブファイルが読めません\r\nTOVELI2.DAT( 50)"},
      {"", "セーブファイルが読めません\r\nTOVELI2.DAT( 1)"},
  };
  fill();
  const std::string before = snapshot();
  writeFile("load.QOV", "LOAD\r\n");
  for (const auto& [bytes, notice] : cases) {
    SCOPED_TRACE(notice);
    writeFile("TOVELI2.DAT", bytes);
    start(U"load");
    host_.notices.clear();
    EXPECT_FALSE(tick());
    EXPECT_EQ(host_.notices, Calls{notice});
    EXPECT_EQ(snapshot(), before);
  }

  fs::remove(dir_ / "TOVELI2.DAT");
  start(U"load");
  host_.notices.clear();
  EXPECT_FALSE(tick());
  EXPECT_TRUE(host_.notices.empty());
  EXPECT_EQ(snapshot(), before);
}

TEST_F(SaveFileTest, LoadAcceptsLfBlanksAndNamesAsWritten) {
  std::vector<std::string> lines = validLines();
  lines[0] = "   -12   ";
  lines[48] = "  \"名\"";
  const auto loaded = [&](const std::string& bytes) {
    const auto parsed = SaveFile::parse(bytes);
    EXPECT_TRUE(std::holds_alternative<SaveFile::State>(parsed));
    return std::get<SaveFile::State>(parsed);
  };
  for (const std::string& bytes : {fileOf(lines, "\n"), fileOf(lines, "\r\n")}) {
    const SaveFile::State state = loaded(bytes);
    EXPECT_EQ(state.vars[0], -12);
    EXPECT_EQ(state.vars[30], 30);
    EXPECT_EQ(state.counts[16], 47);
    EXPECT_EQ(toUtf8(state.names[0]), "  \"名\"");
    EXPECT_EQ(toUtf8(state.names[16]), "名16");
  }
  // A name holding a lone LF in a CR LF file, and no line end after the last name.
  lines[49] = "a\nb";
  std::string bytes = fileOf(lines);
  bytes.resize(bytes.size() - 2);
  const SaveFile::State state = loaded(bytes);
  EXPECT_EQ(toUtf8(state.names[1]), "a\nb");
  EXPECT_EQ(toUtf8(state.names[16]), "名16");
}

}  // namespace
}  // namespace qov::test
