#include "engine/Decimal.h"

#include <algorithm>
#include <limits>

#include "engine/ErrorTexts.h"
#include "engine/ScriptError.h"

namespace qov {

ParsedNumber parseDecimal(std::u32string_view text) noexcept {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && text[i] == U' ') ++i;
  bool negative = false;
  if (i < n && (text[i] == U'-' || text[i] == U'+')) {
    negative = text[i] == U'-';
    ++i;
  }
  const std::size_t firstDigit = i;
  std::int32_t magnitude = 0;
  for (; i < n && text[i] >= U'0' && text[i] <= U'9'; ++i) {
    // Saturate far above the 16-bit range so that long digit strings cannot overflow.
    magnitude =
        std::min<std::int32_t>(magnitude * 10 + static_cast<std::int32_t>(text[i] - U'0'), 1000000);
  }
  if (i == firstDigit) return {};
  while (i < n && text[i] == U' ') ++i;
  if (i != n) return {};
  const std::int32_t value = negative ? -magnitude : magnitude;
  if (value < std::numeric_limits<std::int16_t>::min() ||
      value > std::numeric_limits<std::int16_t>::max()) {
    return {NumberStatus::overflow, 0};
  }
  return {NumberStatus::ok, static_cast<std::int16_t>(value)};
}

std::u32string formatSigned(int value) {
  std::u32string out = value < 0 ? U"-" : U" ";
  const std::string digits = std::to_string(value < 0 ? -static_cast<long>(value) : value);
  for (const char c : digits) out += static_cast<char32_t>(c);
  return out;
}

void failOverflow() {
  throw ScriptError{std::u32string(errors::kOverflow)};
}

}  // namespace qov
