// The tick: advance rule, which commands end it, the time budget, the calls to the host, and
// the error report.
#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "tests/engine/EngineFixture.h"

namespace qov::test {
namespace {

using InterpreterTest = EngineTest;
using Calls = std::vector<std::string>;

TEST_F(InterpreterTest, MessageEndsTheTickAndGotoRunsOn) {
  start(U"tick");
  EXPECT_FALSE(tick());
  EXPECT_EQ(host_.take(), Calls{"MESHG:一行目"});
  EXPECT_EQ(lineNo(), 2);
  EXPECT_FALSE(tick());  // GOTO,1, then line 1 again in the same tick
  EXPECT_EQ(host_.take(), Calls{"MESHG:一行目"});
  EXPECT_EQ(lineNo(), 2);
}

TEST_F(InterpreterTest, JumpToOwnLinePassesOnAndSomeCommandsDoNotEndTheTick) {
  start(U"advance");
  EXPECT_FALSE(tick());
  EXPECT_EQ(host_.take(), (Calls{"CMDS:1", "MESHG:止まる"}));
  EXPECT_EQ(vars_.itemCount(3), 2);
  EXPECT_EQ(toUtf8(vars_.itemName(3)), "薬草");
  EXPECT_EQ(lineNo(), 5);
  EXPECT_EQ(tick(), 0);
  EXPECT_EQ(host_.take(), Calls{"unload"});
}

TEST_F(InterpreterTest, AcmldEndsTheTickAtLine1OfTheNewScript) {
  start(U"chain");  // ACMLD on line 1
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
  int exitCode = -1;
  for (int i = 0; i < 10; ++i) {
    const auto end = tick();
    ticks.push_back(host_.take());
    if (end) {
      exitCode = *end;
      break;
    }
  }
  EXPECT_EQ(exitCode, 0);
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

TEST_F(InterpreterTest, EndlessLoopYieldsAfterItsBudgetAndGoesOn) {
  // LET,1,0 / INC,1,30000,L / GOTO,2: no command ends the tick.
  start(U"loop");
  interpreter().setTickBudget(std::chrono::nanoseconds(0));
  EXPECT_FALSE(tick());  // cut after the first clock check: 256 commands
  EXPECT_EQ(vars_.var(1), 128);
  EXPECT_EQ(lineNo(), 3);
  EXPECT_FALSE(tick());
  EXPECT_EQ(vars_.var(1), 256);
  EXPECT_EQ(lineNo(), 3);

  // With the real budget the tick returns as well.
  interpreter().setTickBudget(Interpreter::kTickBudget);
  EXPECT_FALSE(tick());
  EXPECT_FALSE(tick());
  EXPECT_TRUE(host_.reports.empty());
}

// errors.QOV dispatches on Vars(0) through an FJ table to one faulty line per case.
TEST_F(InterpreterTest, ErrorReportsNameTheLineAndShowIt) {
  const std::vector<std::pair<int, std::string>> cases = {
      {1, "数値が不正( 22)\rLET,1,abc"},
      {2, "数値が不正( 23)\rLET,1,F"},
      {3, "桁あふれ( 24)\rLET,1,40000"},
      {4, "範囲外( 25)\rLET,31,1"},
      {5, "範囲外( 26)\rLET,1,F31"},
      {6, "桁あふれ( 27)\rINC,9,0"},
      {7, "行番号が不正( 2500)\r"},
      {8, "行番号が不正(-3)\r"},
      {9, "命令無し( 30)\rmes,小文字"},
      {10, "命令無し( 31)\rMES ,末尾空白"},
      {11, "命令無し( 32)\r"},
      {12, "比較式( 33)\rIF,F01=0a,1"},
      {13, "比較式( 34)\rIF,F01=01 ,1"},
      {14, "引数無し( 35)\rMES"},
      {15, "数値が不正( 36)\rITMS,F04,2,-"},
      {16, "範囲外( 37)\rITMS,17,1,-"},
      {17, "範囲外( 38)\rCLR,29,31"},
      {18, "比較式( 39)\rIF,F31=01,1"},
      {19, "数値が不正( 40)\rCMST,F,x"},
      {20, "比較式( 41)\rIF,F01F02=,1"},
  };
  for (const auto& [number, report] : cases) {
    SCOPED_TRACE(number);
    Variables vars;
    FakeHost host;
    Interpreter interpreter(vars, host, dir_);
    vars.setVar(0, static_cast<std::int16_t>(number));
    vars.setVar(9, 32767);
    interpreter.load(U"errors");
    try {
      for (int i = 0; i < 5; ++i) interpreter.timerqov_Timer();
      ADD_FAILURE() << "no error";
    } catch (const ProgramEnd& end) {
      EXPECT_EQ(end.exitCode, 1);
    }
    ASSERT_EQ(host.reports.size(), 1u);
    EXPECT_EQ(host.reports.front(), report);
  }
}

}  // namespace
}  // namespace qov::test
