// Every picture variant of the test game folder tests/data/variants (made by
// tools/make_variants.py) as the scene picture shows it in the frame.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/Files.h"
#include "tests/ui/UiTestSupport.h"

namespace qov::test {
namespace {

const std::filesystem::path kVariants = std::filesystem::path(QOV_TEST_DATA) / "variants";

// The pictures' left half is colour A, the right half colour B or transparent at the top and
// B at half alpha at the bottom; the box's back colour is RGB(64, 64, 64).
constexpr Argb kA = rgb(200, 40, 40);
constexpr Argb kB = rgb(40, 40, 200);
constexpr Argb kHalfB = rgb(52, 52, 132);  // B at alpha 128 over the back colour

bool near(Argb a, Argb b, int tolerance) {
  for (int shift = 0; shift < 24; shift += 8) {
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
  }
  return true;
}

TEST(PictureVariants, EachShowsItsPixelsOverTheBackColour) {
  struct Case {
    const char* name;
    Argb left, rightTop, rightBottom;  // at (3, 8), (12, 3), (12, 12)
    int tolerance = 0;                 // lossy formats
  };
  const Case cases[] = {
      // Transparency: what the file hides shows the back colour.
      {"gif_transparent", kA, kDarkGrey, kDarkGrey},
      {"png_trns_palette", kA, kDarkGrey, kHalfB},
      {"png_trns_rgb", kA, kDarkGrey, kDarkGrey},
      {"png_trns_grey", rgb(153, 153, 153), kDarkGrey, kDarkGrey},
      {"png_alpha", kA, kDarkGrey, kHalfB},
      {"png_grey_alpha", rgb(153, 153, 153), kDarkGrey, rgb(52, 52, 52)},
      {"bmp_v3_alpha", kA, kDarkGrey, kHalfB},
      {"bmp_v4_alpha", kA, kDarkGrey, kHalfB},
      {"bmp_v5_alpha", kA, kDarkGrey, kHalfB},
      // No mask: the fourth byte of each pixel (0, 128, 255, 1 in turn) is no alpha.
      {"bmp_32_no_mask", kA, kB, kB},
      {"bmp_os2_1", kA, kB, kB},
      {"bmp_os2_4", kA, kB, kB},
      {"bmp_os2_8", kA, kB, kB},
      {"bmp_os2_24", kA, kB, kB},
      {"jpeg_cmyk", kA, kB, kB, 6},
      // Formats that have always worked.
      {"bmp_1", kA, kB, kB},
      {"bmp_4", kA, kB, kB},
      {"bmp_8", kA, kB, kB},
      {"bmp_16", rgb(205, 41, 41), rgb(41, 41, 205), rgb(41, 41, 205)},  // 5 bits a channel
      {"bmp_24", kA, kB, kB},
      {"bmp_32", kA, kB, kB},
      {"bmp_rle4", kA, kB, kB},
      {"bmp_rle8", kA, kB, kB},
      {"bmp_top_down", kA, kB, kB},
      {"gif_interlaced", kA, kB, kB},
      {"gif_animated", kA, kB, kB},  // the first frame
      {"jpeg_progressive", kA, kB, kB, 6},
      {"jpeg_grey", rgb(74, 74, 74), rgb(52, 52, 52), rgb(52, 52, 52), 6},
      {"png_16bit", kA, kB, kB},
      {"png_palette", kA, kB, kB},
      {"png_adam7", kA, kB, kB},
  };
  Window w(kVariants);
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    // Each over a picture that fills the same pixels: what is transparent shows the back
    // colour, not the picture before.
    w.window.GHG(U"bmp_24");
    w.window.GHG(fromUtf8(k.name));
    const Image& frame = w.window.composeFrame();
    const Rect at = w.c.Picture1.frameRect();
    EXPECT_TRUE(near(frame.pixel(at.x + 3, at.y + 8), k.left, k.tolerance));
    EXPECT_TRUE(near(frame.pixel(at.x + 12, at.y + 3), k.rightTop, k.tolerance));
    EXPECT_TRUE(near(frame.pixel(at.x + 12, at.y + 12), k.rightBottom, k.tolerance));
    EXPECT_EQ(frame.pixel(at.x + 16, at.y + 16), kDarkGrey);  // beside the picture
  }
}

TEST(PictureVariants, AnItemPictureShowsTheItemWindowsBackColour) {
  Window w(kVariants);
  const std::optional<Image> sheet =
      w.platform.decodeImage(readFile(kVariants / "png_alpha.SZG").value());
  ASSERT_TRUE(sheet);
  w.c.ITMPicture1.setPicture(*sheet);
  w.window.items().ItemWait = 0;
  w.window.items().ItemSel = 0;
  w.window.items().ITMSET();
  const Image& shown = w.c.ITEM.backing();
  EXPECT_EQ(shown.pixel(3, 8), kA);
  EXPECT_EQ(shown.pixel(12, 3), w.c.ITEM.backColor);
  EXPECT_EQ(shown.pixel(12, 12), rgb(147, 147, 227));  // B at half alpha over white
}

}  // namespace
}  // namespace qov::test
