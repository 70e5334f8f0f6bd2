#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace qov {

enum class NumberStatus : std::uint8_t { ok, notNumber, overflow };

struct ParsedNumber {
  NumberStatus status = NumberStatus::notNumber;
  std::int16_t value = 0;
};

// A decimal integer with an optional sign; blanks before and after it are allowed. Only the
// ASCII digits count.
[[nodiscard]] ParsedNumber parseDecimal(std::u32string_view text) noexcept;

// The number as the system writes it: a blank in front when not negative, "-" otherwise.
[[nodiscard]] std::u32string formatSigned(int value);

[[noreturn]] void failOverflow();

// a + b; a result outside 16 bits is a script error ("桁あふれ").
[[nodiscard]] inline std::int16_t addChecked(std::int16_t a, int b) {
  const long sum = static_cast<long>(a) + b;
  if (sum < std::numeric_limits<std::int16_t>::min() ||
      sum > std::numeric_limits<std::int16_t>::max()) [[unlikely]] {
    failOverflow();
  }
  return static_cast<std::int16_t>(sum);
}

}  // namespace qov
