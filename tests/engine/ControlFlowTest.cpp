// Jumps, the one-level subroutine, conditions, selection by a variable and menu cases.
// Condition expressions are joined strictly from left to right, without precedence.
#include "engine/Conditions.h"
#include "engine/ScriptError.h"
#include "tests/engine/EngineFixture.h"

namespace qov::test {
namespace {

using ControlFlowTest = EngineTest;

std::string eval(std::u32string_view expr) {
  Variables vars;
  vars.setVar(1, 1);
  vars.setVar(2, 2);
  vars.setVar(3, 3);
  vars.setVar(30, -4);
  vars.setItemCount(5, 1);
  try {
    return TCHK(expr, vars) == -1 ? "true" : "false";
  } catch (const ScriptError& e) {
    return toUtf8(e.text);
  }
}

TEST(Conditions, Table) {
  const std::vector<std::pair<std::u32string, std::string>> cases = {
      {U"", "false"},
      {U"F01=01", "true"},
      {U"F03}03", "true"},
      {U"F03{02", "false"},
      {U"F02^03", "true"},
      {U"F02>01", "true"},
      {U"F30<00", "true"},
      {U"}F0303", "true"},  // the operator anywhere before the second operand
      {U"=F01F01", "true"},
      {U"F02=2", "true"},    // a one-digit constant at the very end
      {U"F2=02", "比較式"},  // "F" takes the next two characters: "2=" is no number
      {U"I05}01", "true"},
      {U"F01=01&F02", "true"},             // an incomplete comparison is ignored
      {U"F01=02#F02=02&F03=03", "true"},   // (false or true) and true
      {U"F01=01#F02=02&F03=04", "false"},  // no precedence for "&"
      {U"&F01=01", "false"},               // joined by AND to the initial false
      {U"#F01=01", "true"},
      {U"F01=01&F02=02F03=04", "false"},  // the combiner stays in force
      {U"F01<=01", "true"},               // a later operator replaces an earlier one
      {U"f01=01", "比較式"},
      {U"I17=01", "比較式"},
      {U"F01=０1", "比較式"},
      {U"F01=F1", "true"},  // an index's second character may be missing at the end
  };
  for (const auto& [expr, expected] : cases) {
    EXPECT_EQ(eval(expr), expected) << toUtf8(expr);
  }
}

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

TEST_F(ControlFlowTest, Conditions) {
  start(U"if");
  EXPECT_FALSE(tick());  // LET,1,5 / IF,F01=05,9 holds
  EXPECT_EQ(lineNo(), 3);
  EXPECT_FALSE(tick());  // IF,F01=04,6 fails
  EXPECT_EQ(lineNo(), 6);
  EXPECT_FALSE(tick());  // the same on line 6 fails onto its own line: the next line
  EXPECT_EQ(lineNo(), 7);
  EXPECT_FALSE(tick());  // IF,F01=05 holds and never reads field 3
  EXPECT_EQ(lineNo(), 8);
  EXPECT_FALSE(tick());  // EVA,,10: the empty expression is false
  EXPECT_EQ(lineNo(), 10);
  EXPECT_EQ(runToEnd(), 1);  // EVA,F01=04 fails and has no field 3
  EXPECT_EQ(lastReport(), "引数無し( 10)\rEVA,F01=04");
  EXPECT_TRUE(host_.calls.empty());
}

TEST_F(ControlFlowTest, FpAndFjStayInsideTheirTables) {
  start(U"fp");
  EXPECT_FALSE(tick());  // FP,2,7 with Vars(2) = 2
  EXPECT_EQ(host_.take(), Calls{"MESHG:二番目の文"});
  EXPECT_EQ(lineNo(), 7);  // the end line itself runs next
  EXPECT_FALSE(tick());    // ENDFP, LET, FJ,3,12 -> line 10 "F07" -> line 14
  EXPECT_EQ(host_.take(), Calls{"MESHG:FJ先"});
  EXPECT_EQ(runToEnd(), 1);  // FP,4,16 with Vars(4) = 0
  EXPECT_EQ(lastReport(), "FP( 15)\rFP,4,16");

  // FP,4,3 and FJ,4,3: the end line itself may be chosen; one beyond it, 0 and negatives not.
  vars_.setVar(4, 2);
  start(U"fpedge");
  EXPECT_FALSE(tick());
  EXPECT_EQ(host_.take(), Calls{"MESHG:終わり"});
  host_.faultyMessage = U"終わり";  // a mark-up fault is reported with the FP line
  EXPECT_EQ(reportOf(U"fpedge"), "＠の引数が不正( 1)\rFP,4,3");
  host_.faultyMessage.clear();
  host_.calls.clear();
  start(U"fjedge");  // FJ,4,3 / 5 / 4 / EXIT / MES,五
  EXPECT_EQ(tick(), 0);
  vars_.setVar(4, 1);
  start(U"fjedge");
  EXPECT_FALSE(tick());
  EXPECT_EQ(host_.take(), (Calls{"unload", "MESHG:五"}));
  for (const std::int16_t n : {3, 0, -5}) {
    SCOPED_TRACE(n);
    vars_.setVar(4, n);
    EXPECT_EQ(reportOf(U"fpedge"), "FP( 1)\rFP,4,3");
    EXPECT_EQ(reportOf(U"fjedge"), "FJ( 1)\rFJ,4,3");
  }
  EXPECT_TRUE(host_.calls.empty());
}

TEST_F(ControlFlowTest, MenuCases) {
  host_.choices = {101, 201};
  start(U"menu");
  EXPECT_FALSE(tick());  // CMSL,1,14 -> CASE,101 on line 2
  EXPECT_EQ(lineNo(), 3);
  EXPECT_EQ(interpreter().caseEndLine(), 14);
  EXPECT_FALSE(tick());  // MES,百一
  EXPECT_FALSE(tick());  // CMSL,2,9 -> CASE,201 on line 5
  EXPECT_EQ(interpreter().caseEndLine(), 9);
  EXPECT_FALSE(tick());  // MES,二百一
  EXPECT_FALSE(tick());  // CASE -> line 9 ENDCM -> MES,百一の終わり
  EXPECT_EQ(lineNo(), 11);
  // The inner menu replaced the end line for the rest of the outer block.
  EXPECT_FALSE(tick());
  EXPECT_EQ(lineNo(), 11);
  EXPECT_EQ(host_.take(), (Calls{"CMSL:1", "MESHG:百一", "CMSL:2", "MESHG:二百一",
                                 "MESHG:百一の終わり", "MESHG:百一の終わり"}));

  // CASE,F05 takes its code from a variable.
  vars_.setVar(5, 250);
  host_.choices = {101, 250};
  start(U"menu");
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(tick());
  EXPECT_EQ(host_.take(), (Calls{"CMSL:1", "MESHG:百一", "CMSL:2", "MESHG:変数の場合"}));

  // The search knows no nesting: case 102 stands after the inner menu's ENDCM, which ends it.
  for (const auto& [code, report] : {std::pair{102, "CASE 102無し( 9)\rENDCM"},
                                     {3, "CASE 3無し( 9)\rENDCM"},
                                     {-1, "CASE-1無し( 9)\rENDCM"}}) {
    host_.choices = {static_cast<std::int16_t>(code)};
    EXPECT_EQ(reportOf(U"menu"), report);
  }

  // Loading a script forgets the end line of the menu block.
  host_.choices = {101};
  start(U"menuload");  // CMSL,1,4 / CASE,101 / ACMLD,tick
  EXPECT_FALSE(tick());
  EXPECT_EQ(interpreter().caseEndLine(), 4);
  EXPECT_FALSE(tick());
  EXPECT_EQ(interpreter().caseEndLine(), 0);
}

}  // namespace
}  // namespace qov::test
