// Loading scripts into the store, and the CP932 conversion the loader relies on.
#include "tests/engine/EngineFixture.h"

namespace qov::test {
namespace {

class LoaderTest : public EngineTest {
 protected:
  std::string line(int index) { return toUtf8(interpreter().store().ScriptLine(index)); }
};

TEST_F(LoaderTest, StoreIsNeverClearedAndLine0StaysEmpty) {
  // loadA (10 lines) calls a subroutine that loads loadB (5 lines); loadB returns to the old
  // return line and jumps into what loadA left behind.
  start(U"loadA");
  EXPECT_FALSE(tick());  // DO, GOSUB, ACMLD: the tick ends at once at line 1 of loadB
  EXPECT_EQ(lineNo(), 1);
  EXPECT_EQ(interpreter().returnLine(), 3);
  EXPECT_EQ(line(5), "EXIT");
  EXPECT_EQ(line(6), "MES,A6");
  EXPECT_EQ(line(0), "");
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(tick());  // RET to line 3, then GOTO,7
  EXPECT_EQ(host_.take(), (Calls{"MESHG:B3", "MESHG:A7", "MESHG:A8", "MESHG:A9", "MESHG:A10"}));
  EXPECT_EQ(runToEnd(), 1);  // past the end of both scripts: an empty line
  EXPECT_EQ(lastReport(), "命令無し( 11)\r");
}

TEST_F(LoaderTest, LineEnds) {
  // CR LF, a lone CR, a lone LF kept inside its line, and a last line without a line end.
  writeFile("ends.QOV", "MES,a\r\nMES,b\rMES,c\nd\r\n\r\nMES," + cp932("終"));
  start(U"ends");
  for (const auto& [i, text] :
       {std::pair{1, "MES,a"}, {2, "MES,b"}, {3, "MES,c\nd"}, {4, ""}, {5, "MES,終"}, {6, ""}})
    EXPECT_EQ(line(i), text) << i;
  writeFile("empty.QOV", "");
  start(U"empty");
  EXPECT_EQ(line(1), "MES,a");  // nothing stored, nothing cleared
}

TEST_F(LoaderTest, AtMost2000Lines) {
  std::string text;
  for (int i = 1; i <= 2000; ++i) text += "MES," + std::to_string(i) + "\r\n";
  writeFile("full.QOV", text);
  start(U"full");
  EXPECT_EQ(line(2000), "MES,2000");
  writeFile("over.QOV", text + "MES,2001\r\n");
  EXPECT_THROW(interpreter().load(U"over"), ProgramEnd);
  EXPECT_EQ(lastReport(), "ファイルが読込めません\r\nover( 2001)\r");
}

TEST_F(LoaderTest, LoadFailures) {
  try {
    interpreter().load(U"wnatu");
    FAIL() << "a missing script loaded";
  } catch (const ProgramEnd& end) {
    EXPECT_EQ(end.exitCode, 1);
  }
  EXPECT_EQ(lastReport(), "ファイルが読込めません\r\nwnatu( 0)\r");

  // A line that is not CP932 is reported at its number, readable as far as it goes.
  writeFile("bad.QOV", "MES,a\r\nMES,b\r\nMES,\x82\xA0\x82\r\nMES,d\r\n");
  EXPECT_THROW(interpreter().load(U"bad"), ProgramEnd);
  EXPECT_EQ(lastReport(), "ファイルが読込めません\r\nbad( 3)\rMES,あ\uFFFD");

  writeFile("gone.QOV", "MES,x\r\nACMLD,nothere\r\n");
  start(U"gone");
  EXPECT_EQ(runToEnd(), 1);
  EXPECT_EQ(lastReport(), "ファイルが読込めません\r\nnothere( 2)\rACMLD,nothere");
}

TEST_F(LoaderTest, NamesIgnoreCaseAndBackslashSeparatesDirectories) {
  fs::create_directories(dir_ / "Scenes");
  writeFile("Scenes/Town.qov", cp932("MES,町\r\n"));
  writeFile("WNATU.Qov", "ACMLD,scenes\\TOWN\r\n");
  start(U"wnatu");
  EXPECT_FALSE(tick());
  EXPECT_FALSE(tick());
  EXPECT_EQ(host_.take(), Calls{"MESHG:町"});
}

TEST(EncodingTest, Cp932) {
  EXPECT_EQ(decodeCp932("\x83\x65\x83\x58\x83\x67\\\x81\x8F"), U"テスト\\￥");
  EXPECT_FALSE(decodeCp932("\x82"));
  EXPECT_EQ(decodeCp932Lenient("a\x80"
                               "b\x82"),
            U"a\uFFFDb\uFFFD");
  EXPECT_EQ(encodeCp932(U"薬草 ok"), "\x96\xF2\x91\x90 ok");
  EXPECT_EQ(encodeCp932(U"a😀b"), "a?b");
  EXPECT_EQ(fromUtf8("a\xFF"
                     "b\xE3\x81"),
            U"a\uFFFDb\uFFFD");
}

}  // namespace
}  // namespace qov::test
