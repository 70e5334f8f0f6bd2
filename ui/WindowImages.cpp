#include "ui/WindowImages.h"

#include <array>
#include <cstddef>
#include <string>
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

// Digits 0 to 9 in 3 x 5 cells, row by row, for the numbers of the default item sheet.
constexpr std::array<std::string_view, 10> kDigits = {
    "111101101101111", "010110010010111", "111001111100111", "111001111001111", "101101111001001",
    "111100111001111", "111100111101111", "111001001001001", "111101111101111", "111101111001111"};

void drawNumber(Image& image, int number, int centreX, int top, int scale, Argb colour) {
  const std::string digits = std::to_string(number);
  const int width = static_cast<int>(digits.size()) * 4 * scale - scale;
  int left = centreX - width / 2;
  for (const char d : digits) {
    const std::string_view bits = kDigits[static_cast<std::size_t>(d - '0')];
    for (int i = 0; i < 15; ++i) {
      if (bits[static_cast<std::size_t>(i)] == '1') {
        image.fill(Rect{left + (i % 3) * scale, top + (i / 3) * scale, scale, scale}, colour);
      }
    }
    left += 4 * scale;
  }
}

}  // namespace

Image defaultItemSheet() {
  constexpr int kCellW = 120;
  constexpr int kCellH = 100;
  constexpr Argb kPaper = rgb(224, 224, 216);
  constexpr Argb kCell = rgb(244, 244, 236);
  constexpr Argb kInk = rgb(96, 96, 104);
  Image sheet(6 * kCellW, 3 * kCellH, kPaper);
  // Cells 0 to 16 for the 17 items, each with its number; cell 17 belongs to no item.
  for (int n = 0; n < 17; ++n) {
    const int x = kCellW * (n % 6);
    const int y = kCellH * (n / 6);
    sheet.fill(Rect{x + 4, y + 4, kCellW - 8, kCellH - 8}, kInk);
    sheet.fill(Rect{x + 6, y + 6, kCellW - 12, kCellH - 12}, kCell);
    drawNumber(sheet, n, x + kCellW / 2, y + 30, 8, kInk);
  }
  return sheet;
}

Image windowIcon() {
  return fromArt(kLantern);
}
Image waitCursorImage() {
  return fromArt(kHourglass);
}

}  // namespace qov
