#include "ui/WindowImages.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace qov {

namespace {

constexpr int kSize = 32;
using PixelArt = std::array<std::string_view, kSize>;

// The 16 colours, indexed by hex digit; "." is transparent.
constexpr std::array<Argb, 16> kPalette = {
    rgb(0, 0, 0),       rgb(0, 0, 128),   rgb(0, 128, 0),   rgb(0, 128, 128),
    rgb(128, 0, 0),     rgb(128, 0, 128), rgb(128, 128, 0), rgb(192, 192, 192),
    rgb(128, 128, 128), rgb(0, 0, 255),   rgb(0, 255, 0),   rgb(0, 255, 255),
    rgb(255, 0, 0),     rgb(255, 0, 255), rgb(255, 255, 0), rgb(255, 255, 255)};

Argb colourOf(char c) {
  if (c >= '0' && c <= '9') return kPalette[static_cast<std::size_t>(c - '0')];
  if (c >= 'A' && c <= 'F') return kPalette[static_cast<std::size_t>(c - 'A' + 10)];
  return 0x00000000u;
}

Image fromArt(const PixelArt& rows) {
  Image image(kSize, kSize, 0x00000000u);
  for (int y = 0; y < kSize; ++y) {
    const std::string_view row = rows[static_cast<std::size_t>(y)];
    for (int x = 0; x < kSize && x < static_cast<int>(row.size()); ++x) {
      image.setPixel(x, y, colourOf(row[static_cast<std::size_t>(x)]));
    }
  }
  return image;
}

// clang-format off
constexpr PixelArt kLantern = {
    "..............0000..............",
    "...............00...............",
    "...............00...............",
    "..........000000000000..........",
    "..........066666666660..........",
    "..........000000000000..........",
    "........4CCCCCCCCCCCCCC4........",
    "......4CCCCCCCCCCCCCCCCCC4......",
    ".....4CCCCCCCCCCCCCCCCCCCC4.....",
    "....444444444444444444444444....",
    "...44CCCCCCCEEEEEEEECCCCCCC44...",
    "...4CCCCCCCEEEEEEEEEECCCCCCC4...",
    "...4CCCCCCCEEEEEEEEEECCCCCCC4...",
    "..4444444444444444444444444444..",
    "..4CCCCCCCCEEEEEEEEEECCCCCCCC4..",
    "..4CCCCCCCCEEEEEEEEEECCCCCCCC4..",
    "..4CCCCCCCCEEEEEEEEEECCCCCCCC4..",
    "..4444444444444444444444444444..",
    "..4CCCCCCCCEEEEEEEEEECCCCCCCC4..",
    "...4CCCCCCCEEEEEEEEEECCCCCCC4...",
    "...4CCCCCCCEEEEEEEEEECCCCCCC4...",
    "...44444444444444444444444444...",
    "....4CCCCCCCCCCCCCCCCCCCCCC4....",
    ".....4CCCCCCCCCCCCCCCCCCCC4.....",
    "......4CCCCCCCCCCCCCCCCCC4......",
    "........4444444444444444........",
    "..........000000000000..........",
    "..........066666666660..........",
    "..........000000000000..........",
    "..............EEEE..............",
    "..............EEEE..............",
    "..............6666..............",
};

constexpr PixelArt kHourglass = {
    "................................",
    "......00000000000000000000......",
    "......06666666666666666660......",
    "......0FFFFFFFFFFFFFFFFFF0......",
    ".......0FFFFFFFFFFFFFFFF0.......",
    ".......0EEEEEEEEEEEEEEEE0.......",
    "........0EEEEEEEEEEEEEE0........",
    ".........0EEEEEEEEEEEE0.........",
    ".........0EEEEEEEEEEEE0.........",
    "..........0FFFFFFFFFF0..........",
    "...........0FFFFFFFF0...........",
    "...........0FFFFFFFF0...........",
    "............0FFFFFF0............",
    ".............0FFFF0.............",
    ".............0FFFF0.............",
    "..............0FF0..............",
    "..............0EE0..............",
    ".............0FEEF0.............",
    ".............0FEEF0.............",
    "............0FFEEFF0............",
    "...........0FFFEEFFF0...........",
    "...........0FFFEEFFF0...........",
    "..........0EEEEEEEEEE0..........",
    ".........0EEEEEEEEEEEE0.........",
    ".........0EEEEEEEEEEEE0.........",
    "........0EEEEEEEEEEEEEE0........",
    ".......0EEEEEEEEEEEEEEEE0.......",
    ".......0EEEEEEEEEEEEEEEE0.......",
    "......0EEEEEEEEEEEEEEEEEE0......",
    "......06666666666666666660......",
    "......00000000000000000000......",
    "................................",
};
// clang-format on

}  // namespace

Image windowIcon() {
  return fromArt(kLantern);
}
Image waitCursorImage() {
  return fromArt(kHourglass);
}

}  // namespace qov
