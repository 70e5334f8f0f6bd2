// Condition expressions: joined strictly from left to right, without precedence.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Conditions.h"
#include "engine/ScriptError.h"
#include "platform/Encoding.h"

namespace qov::test {
namespace {

class ConditionsTest : public ::testing::Test {
 protected:
  ConditionsTest() {
    vars_.setVar(1, 1);
    vars_.setVar(2, 2);
    vars_.setVar(3, 3);
    vars_.setVar(30, -4);
    vars_.setItemCount(5, 1);
    vars_.setItemCount(16, 0);
  }
  std::string eval(std::u32string_view expr) {
    try {
      return TCHK(expr, vars_) == -1 ? "true" : "false";
    } catch (const ScriptError& e) {
      return toUtf8(e.text);
    }
  }
  Variables vars_;
};

TEST_F(ConditionsTest, Table) {
  const std::vector<std::pair<std::u32string, std::string>> cases = {
      {U"", "false"},
      {U"F01=01", "true"},
      {U"F01=02", "false"},
      {U"F03}03", "true"},
      {U"F03{02", "false"},
      {U"F02^03", "true"},
      {U"F02>01", "true"},
      {U"F02<01", "false"},
      {U"F30<00", "true"},
      {U"}F0303", "true"},  // the operator anywhere before the second operand
      {U"=F01F01", "true"},
      {U"F01=5", "false"},  // a one-digit constant at the very end
      {U"F02=2", "true"},
      {U"F2=02", "比較式"},  // "F" takes the next two characters: "2=" is no number
      {U"I05}01", "true"},
      {U"I16>00", "false"},
      {U"F01=01&F02", "true"},             // an incomplete comparison is ignored
      {U"F01=02#F02=02&F03=03", "true"},   // (false or true) and true
      {U"F01=01#F02=02&F03=04", "false"},  // no precedence for "&"
      {U"&F01=01", "false"},               // joined by AND to the initial false
      {U"#F01=01", "true"},
      {U"F01=01&F02=02F03=04", "false"},  // the combiner stays in force
      {U"F01=01&F02=02F03=03", "true"},
      {U"F01<=01", "true"},    // a later operator replaces an earlier one
      {U"F01=01 ", "比較式"},  // raised at the blank, after the comparison
      {U"F01F02=", "比較式"},
      {U"F01=0a", "比較式"},
      {U"f01=01", "比較式"},
      {U"F31=01", "比較式"},
      {U"I17=01", "比較式"},
      {U"F-1=01", "比較式"},
      {U"F01=０1", "比較式"},
      {U"F", "比較式"},
      {U"F01=F1", "true"},  // an index's second character may be missing at the end
  };
  for (const auto& [expr, expected] : cases) {
    EXPECT_EQ(eval(expr), expected) << toUtf8(expr);
  }
}

}  // namespace
}  // namespace qov::test
