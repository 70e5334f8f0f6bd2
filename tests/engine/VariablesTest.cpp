// Commands on variables and items, and the order in which commands read their fields.
#include <string>
#include <vector>

#include "engine/ScriptError.h"
#include "tests/engine/EngineFixture.h"

namespace qov::test {
namespace {

using VariablesTest = EngineTest;

TEST_F(VariablesTest, IncCountsUpToItsLimitOnlyOnEquality) {
  vars_.setVar(3, 5);  // INC,3,5,L
  vars_.setVar(4, 4);  // INC,4,5,L
  vars_.setVar(5, 7);  // INC,5,5,L
  vars_.setVar(6, 5);  // INC,6,5,S
  vars_.setVar(7, 4);  // INC,7,5
  vars_.setVar(8, 5);  // INC,8,5 reads its missing field 4
  EXPECT_EQ(reportOf(U"inc"), "引数無し( 6)\rINC,8,5");
  EXPECT_EQ(vars_.var(3), 1);
  EXPECT_EQ(vars_.var(4), 5);
  EXPECT_EQ(vars_.var(5), 8);
  EXPECT_EQ(vars_.var(6), 5);
  EXPECT_EQ(vars_.var(7), 5);
  EXPECT_EQ(vars_.var(8), 5);
}

TEST_F(VariablesTest, DecLetAndClear) {
  for (int i = 0; i < Variables::kVarCount; ++i) vars_.setVar(i, 1);
  vars_.setVar(1, 3);
  vars_.setVar(3, 0);
  vars_.setVar(4, -2);
  vars_.setVar(2, 7);
  vars_.setVar(12, 42);
  start(U"vars");
  EXPECT_FALSE(tick());
  EXPECT_EQ(vars_.var(1), 2);
  EXPECT_EQ(vars_.var(3), 0);   // DEC stops at 0
  EXPECT_EQ(vars_.var(4), -2);  // and leaves negatives alone
  EXPECT_EQ(vars_.var(7), 9);   // LET,F02,9 with Vars(2) = 7
  EXPECT_EQ(vars_.var(5), 9);   // LET,5,F07
  EXPECT_EQ(vars_.var(6), 42);  // LET,6,F123 reads variable 12
  EXPECT_EQ(vars_.var(8), 1);   // CLR,10,8 sets nothing
  EXPECT_EQ(vars_.var(10), 1);
  EXPECT_EQ(vars_.var(19), 1);  // FGCL,20,22
  EXPECT_EQ(vars_.var(20), 0);
  EXPECT_EQ(vars_.var(22), 0);
  EXPECT_EQ(vars_.var(23), 1);
  EXPECT_FALSE(tick());  // CLR,0,30
  for (int i = 0; i < Variables::kVarCount; ++i) EXPECT_EQ(vars_.var(i), 0) << i;
}

TEST_F(VariablesTest, ItmsStoresTheCountBeforeItReadsTheName) {
  vars_.setItemName(4, U"古い名");
  vars_.setVar(1, -3);
  vars_.setItemName(7, U"七");
  EXPECT_EQ(reportOf(U"items"), "引数無し( 4)\rITMS,7,9");
  EXPECT_EQ(vars_.itemCount(4), 2);
  EXPECT_EQ(toUtf8(vars_.itemName(4)), "古い名");  // "-" keeps the name
  EXPECT_EQ(vars_.itemCount(5), -3);
  EXPECT_EQ(toUtf8(vars_.itemName(5)), "ＰＯＴＩＯＮ薬");
  EXPECT_EQ(vars_.itemCount(6), 3);
  EXPECT_EQ(toUtf8(vars_.itemName(6)), " 名前 ");
  EXPECT_EQ(vars_.itemCount(7), 9);
  EXPECT_EQ(toUtf8(vars_.itemName(7)), "七");
}

// order.QOV dispatches on Vars(0) to one line per case; each line has two faults, and the one
// reported is the one met first in the command's order of reading.
TEST_F(VariablesTest, FieldsAreReadInTheCommandsOrder) {
  const std::vector<std::pair<int, std::string>> cases = {
      {1, "引数無し( 9)\rLET,F40"},        // field 3 before field 2
      {2, "数値が不正( 10)\rLET,F40,x"},   // value 3 before value 2
      {3, "引数無し( 11)\rCLR,abc"},       // field 3 before field 2
      {4, "引数無し( 12)\rCMSL,1"},        // field 3 before the menu runs
      {5, "引数無し( 13)\rADDCM,F99,1"},   // text 4 first
      {6, "範囲外( 14)\rADDCM,F99,x,名"},  // then value 2, then value 3
      {7, "範囲外( 15)\rITMS,3,F99"},      // the count before anything else
  };
  for (const auto& [number, report] : cases) {
    SCOPED_TRACE(number);
    vars_.setVar(0, static_cast<std::int16_t>(number));
    host_.reports.clear();
    EXPECT_EQ(reportOf(U"order"), report);
    EXPECT_TRUE(host_.take().empty());
  }
}

TEST(VariablesTable, AccessorsCheckTheirIndex) {
  Variables vars;
  vars.setVar(30, -7);
  EXPECT_EQ(vars.var(30), -7);
  vars.setItemCount(16, 2);
  EXPECT_EQ(vars.itemCount(16), 2);
  for (const int bad : {-1, 31}) {
    EXPECT_THROW(static_cast<void>(vars.var(bad)), ScriptError);
    EXPECT_THROW(vars.setVar(bad, 0), ScriptError);
  }
  for (const int bad : {-1, 17}) {
    EXPECT_THROW(static_cast<void>(vars.itemCount(bad)), ScriptError);
    EXPECT_THROW(vars.setItemName(bad, U"x"), ScriptError);
  }
}

}  // namespace
}  // namespace qov::test
