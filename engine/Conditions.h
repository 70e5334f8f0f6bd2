#pragma once

#include <cstdint>
#include <string_view>

#include "engine/Variables.h"

namespace qov {

// Evaluates a condition expression of IF and EVA: comparisons of variables ("F" nn), item
// counts ("I" nn) and two-digit constants, joined strictly from left to right by "&" and "#".
// Returns -1 for true, 0 for false; a malformed expression is the script error "比較式".
[[nodiscard]] std::int16_t TCHK(std::u32string_view expr, const Variables& vars);

}  // namespace qov
