// Commands on variables and items.
#include "tests/engine/EngineFixture.h"

namespace qov::test {
namespace {

using VariablesTest = EngineTest;

TEST_F(VariablesTest, IncCountsUpToItsLimitOnlyOnEquality) {
  // INC,3,5,L / INC,4,5,L / INC,5,5,L / INC,6,5,S / INC,7,5 / INC,8,5 (reads its missing field 4)
  const std::int16_t before[] = {5, 4, 7, 5, 4, 5};
  const std::int16_t after[] = {1, 5, 8, 5, 5, 5};
  for (int i = 0; i < 6; ++i) vars_.setVar(3 + i, before[i]);
  EXPECT_EQ(reportOf(U"inc"), "引数無し( 6)\rINC,8,5");
  for (int i = 0; i < 6; ++i) EXPECT_EQ(vars_.var(3 + i), after[i]) << 3 + i;
}

TEST_F(VariablesTest, DecLetAndClear) {
  for (int i = 0; i < Variables::kVarCount; ++i) vars_.setVar(i, 1);
  vars_.setVar(1, 3);
  vars_.setVar(2, 7);
  vars_.setVar(3, 0);
  vars_.setVar(4, -2);
  vars_.setVar(12, 42);
  start(U"vars");
  EXPECT_FALSE(tick());
  EXPECT_EQ(vars_.var(1), 2);
  EXPECT_EQ(vars_.var(3), 0);   // DEC stops at 0
  EXPECT_EQ(vars_.var(4), -2);  // and leaves negatives alone
  EXPECT_EQ(vars_.var(7), 9);   // LET,F02,9 with Vars(2) = 7
  EXPECT_EQ(vars_.var(5), 9);   // LET,5,F07
  EXPECT_EQ(vars_.var(6), 42);  // LET,6,F123 reads variable 12
  EXPECT_EQ(vars_.var(11), -32768);
  EXPECT_EQ(vars_.var(13), 9);      // LET,13,F5: "F" at the end of a field with one digit
  EXPECT_EQ(vars_.var(14), 32767);  // blanks around a number
  EXPECT_EQ(vars_.var(8), 1);       // CLR,10,8 sets nothing
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

}  // namespace
}  // namespace qov::test
