// Loading scripts into the store, splitting lines into fields, and the platform helpers the
// loader relies on (CP932, finding files).
#include <string>

#include "engine/Commands.h"
#include "engine/ScriptError.h"
#include "engine/ScriptStore.h"
#include "platform/Files.h"
#include "tests/engine/EngineFixture.h"

namespace qov::test {
namespace {

using LoaderTest = EngineTest;

std::string line(const Interpreter& interpreter, int index) {
  return toUtf8(interpreter.store().ScriptLine(index));
}

TEST_F(LoaderTest, StoreIsNeverClearedAndLine0StaysEmpty) {
  // loadA (10 lines) calls a subroutine that loads loadB (5 lines); loadB returns to the old
  // return line and jumps into what loadA left behind.
  start(U"loadA");
  EXPECT_EQ(lineNo(), 1);
  EXPECT_FALSE(tick());  // DO, GOSUB, ACMLD: the tick ends at once at line 1 of loadB
  EXPECT_EQ(lineNo(), 1);
  EXPECT_EQ(interpreter().returnLine(), 3);
  EXPECT_EQ(line(interpreter(), 1), "RET");
  EXPECT_EQ(line(interpreter(), 5), "EXIT");
  EXPECT_EQ(line(interpreter(), 6), "MES,A6");
  EXPECT_EQ(line(interpreter(), 10), "MES,A10");
  EXPECT_EQ(line(interpreter(), 11), "");
  EXPECT_EQ(line(interpreter(), 0), "");

  EXPECT_FALSE(tick());  // RET to line 3 of loadB
  EXPECT_FALSE(tick());  // GOTO,7: old text of loadA
  EXPECT_FALSE(tick());
  EXPECT_FALSE(tick());
  EXPECT_FALSE(tick());
  EXPECT_EQ(host_.take(), (std::vector<std::string>{"MESHG:B3", "MESHG:A7", "MESHG:A8", "MESHG:A9",
                                                    "MESHG:A10"}));
  // Past the end of both scripts: an empty line.
  EXPECT_EQ(runToEnd(), 1);
  EXPECT_EQ(lastReport(), "命令無し( 11)\r");
}

TEST_F(LoaderTest, LineEnds) {
  // CR LF, a lone CR, a lone LF kept inside its line, and a last line without a line end.
  writeFile("ends.QOV", "MES,a\r\nMES,b\rMES,c\nd\r\n\r\nMES," + cp932("終"));
  start(U"ends");
  EXPECT_EQ(line(interpreter(), 1), "MES,a");
  EXPECT_EQ(line(interpreter(), 2), "MES,b");
  EXPECT_EQ(line(interpreter(), 3), "MES,c\nd");
  EXPECT_EQ(line(interpreter(), 4), "");
  EXPECT_EQ(line(interpreter(), 5), "MES,終");
  EXPECT_EQ(line(interpreter(), 6), "");

  writeFile("empty.QOV", "");
  start(U"empty");
  EXPECT_EQ(lineNo(), 1);
  EXPECT_EQ(line(interpreter(), 1), "MES,a");  // nothing stored, nothing cleared
}

TEST_F(LoaderTest, AtMost2000Lines) {
  std::string text;
  for (int i = 1; i <= 2000; ++i) text += "MES," + std::to_string(i) + "\r\n";
  writeFile("full.QOV", text);
  start(U"full");
  EXPECT_EQ(line(interpreter(), 2000), "MES,2000");

  writeFile("over.QOV", text + "MES,2001\r\n");
  EXPECT_THROW(interpreter().load(U"over"), ProgramEnd);
  EXPECT_EQ(lastReport(), "ファイルが読込めません\r\nover( 2001)\r");
  EXPECT_EQ(lineNo(), 2001);
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

  // ACMLD of a missing script reports the ACMLD line.
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
  EXPECT_EQ(host_.take(), std::vector<std::string>{"MESHG:町"});

  EXPECT_EQ(findFile(dir_, "scenes\\town.QOV"), dir_ / "Scenes" / "Town.qov");
  EXPECT_EQ(findFile(dir_, "tick.QOV"), dir_ / "tick.QOV");
  EXPECT_FALSE(findFile(dir_, "scenes\\nothing.QOV"));
  EXPECT_FALSE(findFile(dir_, ""));
}

class FieldsTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    store_.ACMLOAD(dir_, U"fields");
  }
  std::string cuta(int line, int n) {
    store_.setLineNo(static_cast<std::int16_t>(line));
    return toUtf8(store_.CUTA(n));
  }
  std::int16_t cutv(int line, int n) {
    store_.setLineNo(static_cast<std::int16_t>(line));
    return store_.CUTV(n);
  }
  std::string error(auto&& read) {
    try {
      read();
    } catch (const ScriptError& e) {
      return toUtf8(e.text);
    }
    return "no error";
  }

  ScriptStore store_{vars_, commandWords()};
};

TEST_F(FieldsTest, TextFields) {
  EXPECT_EQ(cuta(1, 1), "MES");
  EXPECT_EQ(cuta(1, 2), "a");
  EXPECT_EQ(cuta(1, 3), "b");
  EXPECT_EQ(cuta(1, 0), "");
  EXPECT_EQ(error([&] { cuta(1, 4); }), "引数無し");
  EXPECT_EQ(cuta(2, 3), "");
  EXPECT_EQ(error([&] { cuta(2, 4); }), "引数無し");
  EXPECT_EQ(cuta(11, 1), "");
  EXPECT_EQ(cuta(11, 3), "");
  EXPECT_EQ(error([&] { cuta(11, 4); }), "引数無し");
  EXPECT_EQ(cuta(0, 1), "");
  EXPECT_EQ(error([&] { cuta(2001, 1); }), "行番号が不正");
  EXPECT_EQ(error([&] { cuta(-1, 1); }), "行番号が不正");
}

TEST_F(FieldsTest, ValueFields) {
  vars_.setVar(7, 70);
  vars_.setVar(12, 120);
  vars_.setVar(5, 50);
  vars_.setVar(30, 300);
  EXPECT_EQ(cutv(3, 3), 70);
  EXPECT_EQ(cutv(4, 3), 120);  // only two characters after the "F"
  EXPECT_EQ(cutv(5, 2), 5);    // blanks around a number
  EXPECT_EQ(cutv(5, 3), 50);
  EXPECT_EQ(cutv(6, 2), 300);
  EXPECT_EQ(error([&] { cutv(6, 3); }), "範囲外");
  EXPECT_EQ(cutv(8, 2), -32768);
  EXPECT_EQ(cutv(8, 3), 32767);
  EXPECT_EQ(error([&] { cutv(9, 2); }), "桁あふれ");
  EXPECT_EQ(error([&] { cutv(9, 3); }), "桁あふれ");
  EXPECT_EQ(error([&] { cutv(10, 2); }), "数値が不正");  // "f" is not "F"
  EXPECT_EQ(error([&] { cutv(10, 3); }), "数値が不正");  // nor is the full-width one
  EXPECT_EQ(error([&] { cutv(12, 2); }), "数値が不正");
  EXPECT_EQ(error([&] { cutv(12, 3); }), "数値が不正");
  EXPECT_EQ(error([&] { cutv(1, 4); }), "引数無し");
}

TEST_F(FieldsTest, CommandWordsAreComparedExactly) {
  store_.setLineNo(1);
  EXPECT_EQ(commandWords()[static_cast<std::size_t>(store_.command())], U"MES");
  store_.setLineNo(7);  // full-width letters
  EXPECT_EQ(store_.command(), ScriptStore::kNoCommand);
}

TEST(EncodingTest, Cp932) {
  EXPECT_EQ(decodeCp932("\x83\x65\x83\x58\x83\x67\\\x81\x8F"), U"テスト\\￥");
  EXPECT_FALSE(decodeCp932("\x82"));
  EXPECT_FALSE(decodeCp932("\x80"));
  EXPECT_EQ(decodeCp932Lenient("a\x80"
                               "b\x82"),
            U"a\uFFFDb\uFFFD");
  EXPECT_EQ(encodeCp932(U"薬草 ok"), "\x96\xF2\x91\x90 ok");
  EXPECT_EQ(encodeCp932(U"a😀b"), "a?b");
  EXPECT_EQ(toUtf8(fromUtf8("日本語 ＡＢ")), "日本語 ＡＢ");
  EXPECT_EQ(fromUtf8("a\xFF"
                     "b\xE3\x81"),
            U"a\uFFFDb\uFFFD");
}

}  // namespace
}  // namespace qov::test
