#include "engine/Conditions.h"

#include <array>
#include <string>

#include "engine/Decimal.h"
#include "engine/ErrorTexts.h"
#include "engine/ScriptError.h"

namespace qov {
namespace {

enum class Combiner : std::uint8_t { none, AND, OR };

[[noreturn]] void malformed() {
  throw ScriptError{std::u32string(errors::kComparison)};
}

// Two characters read as a number; at the very end of the expression one is enough.
int twoCharacters(std::u32string_view expr, std::size_t at) {
  const ParsedNumber number = parseDecimal(expr.substr(std::min(at, expr.size()), 2));
  if (number.status != NumberStatus::ok) malformed();
  return number.value;
}

std::int16_t index(std::u32string_view expr, std::size_t at, int size) {
  const int i = twoCharacters(expr, at);
  if (i < 0 || i >= size) malformed();
  return static_cast<std::int16_t>(i);
}

bool compare(char32_t op, int first, int second) {
  switch (op) {
    case U'=':
      return first == second;
    case U'>':
      return first > second;
    case U'<':
      return first < second;
    case U'^':
      return first != second;
    case U'}':
      return first >= second;
    case U'{':
      return first <= second;
    default:
      malformed();  // two operands and no operator
  }
}

}  // namespace

std::int16_t TCHK(std::u32string_view expr, const Variables& vars) {
  bool result = false;
  Combiner combiner = Combiner::none;
  char32_t pending = 0;
  std::array<int, 2> slots{};
  int count = 0;
  std::size_t pos = 0;
  while (pos < expr.size()) {
    const char32_t c = expr[pos];
    if (c == U'F') {
      slots[static_cast<std::size_t>(count++)] =
          vars.var(index(expr, pos + 1, Variables::kVarCount));
      pos += 3;
    } else if (c == U'I') {
      slots[static_cast<std::size_t>(count++)] =
          vars.itemCount(index(expr, pos + 1, Variables::kItemCount));
      pos += 3;
    } else if (c == U'=' || c == U'>' || c == U'<' || c == U'^' || c == U'}' || c == U'{') {
      pending = c;
      pos += 1;
    } else if (c >= U'0' && c <= U'9') {
      slots[static_cast<std::size_t>(count++)] = twoCharacters(expr, pos);
      pos += 2;
    } else if (c == U'&') {
      combiner = Combiner::AND;
      pos += 1;
    } else if (c == U'#') {
      combiner = Combiner::OR;
      pos += 1;
    } else {
      malformed();
    }
    if (count == 2) {
      const bool value = compare(pending, slots[0], slots[1]);
      switch (combiner) {
        case Combiner::none:
          result = value;
          break;
        case Combiner::AND:
          result = result && value;
          break;
        case Combiner::OR:
          result = result || value;
          break;
      }
      pending = 0;
      count = 0;
    }
  }
  return result ? -1 : 0;
}

}  // namespace qov
