// Jumps, the one-level subroutine, conditions, selection by a variable and menu cases.
#include <string>
#include <vector>

#include "tests/engine/EngineFixture.h"

namespace qov::test {
namespace {

using ControlFlowTest = EngineTest;
using Calls = std::vector<std::string>;

TEST_F(ControlFlowTest, JumpWordsAndLandingLines) {
  // A DO ... DORT loop counted by EVA, then IF/ELSE/ENDIF, DOEX and LOOP as plain jumps.
  start(U"words");
  EXPECT_EQ(runToEnd(), 0);
  EXPECT_EQ(vars_.var(1), 3);
  EXPECT_EQ(host_.take(), (Calls{"MESHG:終わり", "unload"}));
}

TEST_F(ControlFlowTest, GosubWithinASubroutineReplacesTheReturnLine) {
  // GOSUB,5 / ... / 5 GOSUB,8 / 6 MES / 7 RET / 8 RET: both RETs go to line 6.
  start(U"subs");
  EXPECT_FALSE(tick());
  EXPECT_EQ(interpreter().returnLine(), 6);
  EXPECT_FALSE(tick());
  EXPECT_EQ(host_.take(), (Calls{"MESHG:内側の後", "MESHG:内側の後"}));
}

TEST_F(ControlFlowTest, RetBeforeAnyGosubGoesToLine0) {
  EXPECT_EQ(reportOf(U"ret0"), "命令無し( 0)\r");
}

TEST_F(ControlFlowTest, Conditions) {
  start(U"if");
  EXPECT_FALSE(tick());  // LET,1,5 / IF,F01=05,9 holds
  EXPECT_EQ(lineNo(), 3);
  EXPECT_FALSE(tick());  // IF,F01=04,6 fails
  EXPECT_EQ(lineNo(), 6);
  EXPECT_FALSE(tick());  // IF,F01=04,6 on line 6 fails onto its own line: the next line
  EXPECT_EQ(lineNo(), 7);
  EXPECT_FALSE(tick());  // IF,F01=05 holds and never reads field 3
  EXPECT_EQ(lineNo(), 8);
  EXPECT_FALSE(tick());  // EVA,,10: the empty expression is false
  EXPECT_EQ(lineNo(), 10);
  EXPECT_EQ(runToEnd(), 1);  // EVA,F01=04 fails and has no field 3
  EXPECT_EQ(lastReport(), "引数無し( 10)\rEVA,F01=04");
  EXPECT_TRUE(host_.calls.empty());
}

TEST_F(ControlFlowTest, FpShowsALineAndFjJumpsThroughATable) {
  start(U"fp");
  EXPECT_FALSE(tick());  // FP,2,7 with Vars(2) = 2
  EXPECT_EQ(host_.take(), Calls{"MESHG:二番目の文"});
  EXPECT_EQ(lineNo(), 7);  // the end line itself runs next
  EXPECT_FALSE(tick());    // ENDFP, LET, FJ,3,12 -> line 10 "F07" -> line 14
  EXPECT_EQ(host_.take(), Calls{"MESHG:FJ先"});
  EXPECT_EQ(runToEnd(), 1);  // FP,4,16 with Vars(4) = 0
  EXPECT_EQ(lastReport(), "FP( 15)\rFP,4,16");
}

TEST_F(ControlFlowTest, FpBounds) {
  // FP,4,3: the end line itself may be chosen; one beyond it, 0 and negatives may not.
  vars_.setVar(4, 2);
  start(U"fpedge");
  EXPECT_FALSE(tick());
  EXPECT_EQ(host_.take(), Calls{"MESHG:終わり"});
  EXPECT_EQ(lineNo(), 3);
  for (const std::int16_t n : {3, 0, -1}) {
    SCOPED_TRACE(n);
    vars_.setVar(4, n);
    host_.reports.clear();
    EXPECT_EQ(reportOf(U"fpedge"), "FP( 1)\rFP,4,3");
    EXPECT_TRUE(host_.take().empty());
  }
}

TEST_F(ControlFlowTest, FjBounds) {
  // FJ,4,3 / 5 / 4 / EXIT / MES,五
  vars_.setVar(4, 1);
  start(U"fjedge");
  EXPECT_FALSE(tick());
  EXPECT_EQ(host_.take(), Calls{"MESHG:五"});
  vars_.setVar(4, 2);
  start(U"fjedge");
  EXPECT_EQ(tick(), 0);
  EXPECT_EQ(host_.take(), Calls{"unload"});
  for (const std::int16_t n : {3, 0, -5}) {
    SCOPED_TRACE(n);
    vars_.setVar(4, n);
    host_.reports.clear();
    EXPECT_EQ(reportOf(U"fjedge"), "FJ( 1)\rFJ,4,3");
  }
}

TEST_F(ControlFlowTest, MenuCasesAndANestedMenu) {
  host_.choices = {101, 201};
  start(U"menu");
  EXPECT_FALSE(tick());  // CMSL,1,14 -> CASE,101 on line 2
  EXPECT_EQ(lineNo(), 3);
  EXPECT_EQ(interpreter().caseEndLine(), 14);
  EXPECT_FALSE(tick());  // MES,百一
  EXPECT_FALSE(tick());  // CMSL,2,9 -> CASE,201 on line 5
  EXPECT_EQ(interpreter().caseEndLine(), 9);
  EXPECT_EQ(lineNo(), 6);
  EXPECT_FALSE(tick());  // MES,二百一
  EXPECT_FALSE(tick());  // CASE -> line 9 ENDCM -> MES,百一の終わり
  EXPECT_EQ(lineNo(), 11);
  // The inner menu replaced the end line for the rest of the outer block.
  EXPECT_FALSE(tick());
  EXPECT_EQ(lineNo(), 11);
  EXPECT_EQ(host_.take(), (Calls{"CMSL:1", "MESHG:百一", "CMSL:2", "MESHG:二百一",
                                 "MESHG:百一の終わり", "MESHG:百一の終わり"}));
}

TEST_F(ControlFlowTest, CaseCodeFromAVariable) {
  vars_.setVar(5, 250);
  host_.choices = {101, 250};
  start(U"menu");
  EXPECT_FALSE(tick());
  EXPECT_FALSE(tick());
  EXPECT_FALSE(tick());
  EXPECT_FALSE(tick());
  EXPECT_EQ(host_.take(), (Calls{"CMSL:1", "MESHG:百一", "CMSL:2", "MESHG:変数の場合"}));
}

TEST_F(ControlFlowTest, CaseSearchKnowsNoNesting) {
  // Case 102 stands after the inner menu's ENDCM, which ends the search first.
  const std::vector<std::pair<std::int16_t, std::string>> cases = {
      {102, "CASE 102無し( 9)\rENDCM"},
      {3, "CASE 3無し( 9)\rENDCM"},
      {-1, "CASE-1無し( 9)\rENDCM"},
  };
  for (const auto& [code, report] : cases) {
    SCOPED_TRACE(code);
    host_.choices = {code};
    host_.reports.clear();
    EXPECT_EQ(reportOf(U"menu"), report);
  }
}

TEST_F(ControlFlowTest, CaseSearchStopsAtTheEndOfTheStore) {
  host_.choices = {101};
  EXPECT_EQ(reportOf(U"noendcm"), "ENDCM無し( 2000)\r");
}

TEST_F(ControlFlowTest, LoaderResetsCaseEndLine) {
  host_.choices = {101};
  start(U"menuload");
  EXPECT_FALSE(tick());
  EXPECT_EQ(interpreter().caseEndLine(), 4);
  EXPECT_FALSE(tick());  // ACMLD,tick
  EXPECT_EQ(interpreter().caseEndLine(), 0);
}

}  // namespace
}  // namespace qov::test
