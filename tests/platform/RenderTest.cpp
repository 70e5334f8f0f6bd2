#include "platform/render/Render.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "platform/Files.h"

namespace qov {
namespace {

const std::filesystem::path kData = std::filesystem::path(QOV_TEST_DATA) / "platform";

int inkCount(const Mask& m) {
  return static_cast<int>(std::count(m.alpha.begin(), m.alpha.end(), 255));
}

TEST(Fonts, JapaneseFacesAtWindowsSizes) {
  FontLibrary fonts;
  // Both faces are real Japanese fonts, not a fallback that fontconfig chose.
  EXPECT_NE(fonts.file(FontFace::Gothic).string().find("ipag"), std::string::npos)
      << fonts.file(FontFace::Gothic);
  EXPECT_NE(fonts.file(FontFace::Mincho).string().find("ipam"), std::string::npos)
      << fonts.file(FontFace::Mincho);

  const auto gothic = fonts.font(FontSpec{FontFace::Gothic, 10.0, false});
  // A full-width glyph advances 13 pixels at 10 points, as on the original system.
  EXPECT_EQ(gothic->measure(U"あ"), 13);
  EXPECT_EQ(gothic->measure(U"漢字かな"), 52);
  EXPECT_EQ(gothic->measure(U"AB"), 14);
  EXPECT_EQ(gothic->measure(U""), 0);
  EXPECT_EQ(gothic->lineHeight(), 13);
  EXPECT_EQ(fonts.font(FontSpec{FontFace::Gothic, 12.0, false})->measure(U"あ"), 16);
  EXPECT_EQ(fonts.font(FontSpec{FontFace::Gothic, 8.25, false})->lineHeight(), 11);
  EXPECT_EQ(fonts.font(FontSpec{FontFace::Mincho, 9.75, false})->measure(U"あ"), 13);

  // The same request gives the same font.
  EXPECT_EQ(gothic, fonts.font(FontSpec{FontFace::Gothic, 10.0, false}));

  const Mask a = gothic->render(U"あ");
  ASSERT_EQ(a.width, 13);
  ASSERT_EQ(a.height, 13);
  ASSERT_EQ(a.alpha.size(), 13u * 13u);
  EXPECT_GT(inkCount(a), 20);
  // No anti-aliasing: every pixel is ink or empty.
  EXPECT_TRUE(
      std::all_of(a.alpha.begin(), a.alpha.end(), [](auto v) { return v == 0 || v == 255; }));
  // A blank draws nothing but still advances.
  const Mask blank = gothic->render(U"\u3000");
  EXPECT_EQ(blank.width, 13);
  EXPECT_EQ(inkCount(blank), 0);

  const auto bold = fonts.font(FontSpec{FontFace::Gothic, 9.75, true});
  const auto normal = fonts.font(FontSpec{FontFace::Gothic, 9.75, false});
  EXPECT_NE(bold, normal);
  EXPECT_GT(inkCount(bold->render(U"選択")), inkCount(normal->render(U"選択")));
  const auto mincho = fonts.font(FontSpec{FontFace::Mincho, 9.75, false});
  EXPECT_NE(mincho->render(U"永").alpha, normal->render(U"永").alpha);

  // Text rendered at once equals its characters rendered one after another.
  const Mask whole = gothic->render(U"あg");
  const Mask g = gothic->render(U"g");
  ASSERT_EQ(whole.width, a.width + g.width);
  for (int y = 0; y < whole.height; ++y) {
    for (int x = 0; x < whole.width; ++x) {
      const Mask& part = x < a.width ? a : g;
      const int px = x < a.width ? x : x - a.width;
      EXPECT_EQ(whole.alpha[static_cast<std::size_t>(y * whole.width + x)],
                part.alpha[static_cast<std::size_t>(y * part.width + px)]);
    }
  }
  // A font may outlive its library.
  std::shared_ptr<const Font> kept;
  {
    FontLibrary other;
    kept = other.font(FontSpec{FontFace::Gothic, 10.0, false});
  }
  EXPECT_EQ(kept->render(U"あ").alpha, a.alpha);

  // The descender of "g" is inside the line.
  bool lowest = false;
  for (int x = 0; x < g.width; ++x)
    lowest |= g.alpha[static_cast<std::size_t>(12 * g.width + x)] != 0;
  EXPECT_TRUE(lowest);
}

std::vector<std::uint8_t> bytesOf(const std::filesystem::path& p) {
  const auto bytes = readFile(p);
  EXPECT_TRUE(bytes.has_value()) << p;
  return bytes.value_or(std::vector<std::uint8_t>{});
}

bool near(Argb a, Argb b) {
  for (int shift = 0; shift < 32; shift += 8) {
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) >
        24) {
      return false;
    }
  }
  return true;
}

TEST(Pictures, DecodesByContent) {
  const auto gif = decodeImage(bytesOf(kData / "red_blue.gif"));
  ASSERT_TRUE(gif);
  EXPECT_EQ(gif->width(), 8);
  EXPECT_EQ(gif->height(), 8);
  EXPECT_EQ(gif->pixel(0, 0), rgb(255, 0, 0));
  EXPECT_EQ(gif->pixel(7, 3), rgb(0, 0, 255));
  EXPECT_EQ(gif->pixel(3, 7), rgb(0, 255, 0));

  for (const char* name : {"red_blue.bmp", "red_blue.jpg"}) {
    const auto image = decodeImage(bytesOf(kData / name));
    ASSERT_TRUE(image) << name;
    EXPECT_EQ(image->width(), 16) << name;
    EXPECT_EQ(image->height(), 8) << name;
    EXPECT_TRUE(near(image->pixel(1, 1), rgb(255, 0, 0))) << name << std::hex << image->pixel(1, 1);
    EXPECT_TRUE(near(image->pixel(14, 6), rgb(0, 0, 255))) << name;
  }

  // A PNG of ours comes back pixel for pixel, also through decodeImage.
  Image picture(5, 3, rgb(1, 2, 3));
  picture.setPixel(4, 2, rgb(200, 100, 50));
  const auto png = std::filesystem::temp_directory_path() / "qov_platform_test.png";
  ASSERT_TRUE(savePng(picture, png));
  EXPECT_EQ(loadPng(png), picture);
  EXPECT_EQ(decodeImage(bytesOf(png)), picture);

  // What is not a picture, or only the start of one, is not decoded.
  const std::vector<std::uint8_t> text{'h', 'e', 'l', 'l', 'o'};
  EXPECT_FALSE(decodeImage(text));
  EXPECT_FALSE(decodeImage({}));
  auto cut = bytesOf(png);
  cut.resize(cut.size() / 2);
  EXPECT_FALSE(decodeImage(cut));
  std::filesystem::remove(png);
  EXPECT_FALSE(loadPng(png));
  EXPECT_FALSE(savePng(Image(), png));
}

}  // namespace
}  // namespace qov
