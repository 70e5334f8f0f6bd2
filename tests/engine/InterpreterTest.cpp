// The tick: which commands end it, the time budget, the calls to the host, and the error report.
#include <chrono>

#include "tests/engine/EngineFixture.h"

namespace qov::test {
namespace {

using InterpreterTest = EngineTest;

TEST_F(InterpreterTest, WhichCommandsEndTheTick) {
  start(U"tick");  // MES / GOTO,1
  EXPECT_FALSE(tick());
  EXPECT_EQ(lineNo(), 2);
  EXPECT_FALSE(tick());  // GOTO,1 runs on into line 1 in the same tick
  EXPECT_EQ(host_.take(), (Calls{"MESHG:一行目", "MESHG:一行目"}));

  start(U"advance");  // GOTO,1 on line 1 passes on; CMDS and ITMS do not end the tick
  EXPECT_FALSE(tick());
  EXPECT_EQ(host_.take(), (Calls{"CMDS:1", "MESHG:止まる"}));
  EXPECT_EQ(vars_.itemCount(3), 2);
  EXPECT_EQ(toUtf8(vars_.itemName(3)), "薬草");
  EXPECT_EQ(tick(), 0);
  EXPECT_EQ(host_.take(), Calls{"unload"});

  start(U"chain");  // ACMLD ends the tick at once, at line 1 of the new script
  EXPECT_FALSE(tick());
  EXPECT_EQ(lineNo(), 1);
  EXPECT_TRUE(host_.take().empty());
  EXPECT_FALSE(tick());
  EXPECT_EQ(host_.take(), Calls{"MESHG:一行目"});
}

TEST_F(InterpreterTest, CommandsReachTheHostInOrder) {
  vars_.setVar(1, 1);
  vars_.setVar(2, 3);
  start(U"host");
  std::vector<Calls> ticks;
  while (ticks.size() < 10) {
    const auto end = tick();
    ticks.push_back(host_.take());
    if (end) break;
  }
  EXPECT_EQ(ticks, (std::vector<Calls>{
                       {"CMST:1:＊見る＊話す", "menuText:1:2:＊調べる", "menuText:1:3:", "CMDS:2",
                        "clear", "GHG:絵"},
                       {"sound:音:1"},
                       {"MUSPL:曲:3"},
                       {"OP"},
                       {"MESHG:こんにちは＠"},
                       {"unload"},
                   }));
}

TEST_F(InterpreterTest, GhgClearsTheMessageWindowBeforeItReadsThePictureName) {
  writeFile("ghg.QOV", "GHG\r\n");
  EXPECT_EQ(reportOf(U"ghg"), "引数無し( 1)\rGHG");
  EXPECT_EQ(host_.take(), Calls{"clear"});
}

TEST_F(InterpreterTest, EndlessLoopYieldsAfterItsBudget) {
  start(U"loop");  // LET,1,0 / INC,1,30000,L / GOTO,2
  interpreter().setTickBudget(std::chrono::nanoseconds(0));
  EXPECT_FALSE(tick());  // cut at the first clock check, after 256 commands
  EXPECT_EQ(vars_.var(1), 128);
  EXPECT_EQ(lineNo(), 3);
  EXPECT_FALSE(tick());
  EXPECT_EQ(vars_.var(1), 256);
  interpreter().setTickBudget(Interpreter::kTickBudget);
  EXPECT_FALSE(tick());
  EXPECT_TRUE(host_.reports.empty());
}

// errors.QOV jumps through an FJ table on Vars(0) to one faulty line per case. Where a line
// has two faults, the one reported is the first in the command's order of reading its fields.
TEST_F(InterpreterTest, ErrorReportsNameTheLineAndShowIt) {
  const std::vector<std::string> reports = {
      "数値が不正( 33)\rLET,1,abc",
      "数値が不正( 34)\rLET,1,F",
      "桁あふれ( 35)\rLET,1,32768",
      "範囲外( 36)\rLET,31,1",
      "範囲外( 37)\rLET,1,F31",
      "桁あふれ( 38)\rINC,9,0",
      "行番号が不正( 2500)\r",
      "行番号が不正(-3)\r",
      "命令無し( 41)\rmes,小文字",
      "命令無し( 42)\rMES ,末尾空白",
      "命令無し( 43)\r",
      "比較式( 44)\rIF,F01=0a,1",
      "比較式( 45)\rIF,F01=01 ,1",
      "引数無し( 46)\rMES",
      "数値が不正( 47)\rITMS,F04,2,-",
      "範囲外( 48)\rITMS,17,1,-",
      "範囲外( 49)\rCLR,29,31",
      "比較式( 50)\rIF,F31=01,1",
      "数値が不正( 51)\rCMST,F,x",
      "比較式( 52)\rIF,F01F02=,1",
      "引数無し( 53)\rLET,F40",       // field 3 before field 2
      "数値が不正( 54)\rLET,F40,x",   // value 3 before value 2
      "引数無し( 55)\rCLR,abc",       // field 3 before field 2
      "引数無し( 56)\rCMSL,1",        // field 3 before the menu runs
      "引数無し( 57)\rADDCM,F99,1",   // text 4 first
      "範囲外( 58)\rADDCM,F99,x,名",  // then value 2, then value 3
      "範囲外( 59)\rITMS,3,F99",      // the count before anything else
      "命令無し( 60)\rＭＥＳ,全角",   // command words are compared exactly
      "数値が不正( 61)\rLET,1,f05",   // only a capital "F" reads a variable
      "命令無し( 0)\r",               // RET before any GOSUB goes to line 0
      "ENDCM無し( 2000)\r",           // the CASE search stops at the end of the store
  };
  for (std::size_t i = 0; i < reports.size(); ++i) {
    SCOPED_TRACE(i + 1);
    restart();
    vars_.setVar(0, static_cast<std::int16_t>(i + 1));
    vars_.setVar(9, 32767);
    host_.choices = {101};
    EXPECT_EQ(reportOf(U"errors"), reports[i]);
    EXPECT_EQ(host_.calls, i + 1 == reports.size() ? Calls{"CMSL:1"} : Calls{});
  }
}

}  // namespace
}  // namespace qov::test
