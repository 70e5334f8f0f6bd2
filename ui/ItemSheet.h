#pragma once

#include <cstdint>
#include <span>

namespace qov {

// The item sheet, a GIF of 720 x 300 pixels built into the program (ui/data/ItemSheet.gif).
[[nodiscard]] std::span<const std::uint8_t> itemSheetGif();

}  // namespace qov
