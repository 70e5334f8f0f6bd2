#include "platform/render/Render.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/Encoding.h"
#include "platform/Files.h"

namespace qov {
namespace {

int inkCount(const Mask& m) {
  return static_cast<int>(std::count(m.alpha.begin(), m.alpha.end(), 255));
}

TEST(Fonts, JapaneseFacesAtWindowsSizes) {
  FontLibrary fonts;
  // Both faces are real Japanese fonts, not a fallback that fontconfig chose.
  EXPECT_NE(fonts.file(FontFace::Gothic).string().find("ipag"), std::string::npos);
  EXPECT_NE(fonts.file(FontFace::Mincho).string().find("ipam"), std::string::npos);

  // A full-width glyph advances 13 pixels at 10 points, as on the original system.
  const auto gothic = fonts.font(FontRequest{FontFace::Gothic, 10.0, false});
  EXPECT_EQ(gothic->measure(U"漢字かな"), 52);
  EXPECT_EQ(gothic->measure(U"AB"), 14);
  EXPECT_EQ(gothic->lineHeight(), 13);
  EXPECT_EQ(fonts.font(FontRequest{FontFace::Gothic, 12.0, false})->measure(U"あ"), 16);
  EXPECT_EQ(fonts.font(FontRequest{FontFace::Gothic, 8.25, false})->lineHeight(), 11);
  EXPECT_EQ(fonts.font(FontRequest{FontFace::Mincho, 9.75, false})->measure(U"あ"), 13);

  const Mask a = gothic->render(U"あ");
  ASSERT_EQ(a.width, 13);
  ASSERT_EQ(a.height, 13);
  EXPECT_GT(inkCount(a), 20);
  // No anti-aliasing: every pixel is ink or empty.
  EXPECT_TRUE(
      std::all_of(a.alpha.begin(), a.alpha.end(), [](auto v) { return v == 0 || v == 255; }));
  const Mask blank = gothic->render(U"\u3000");
  EXPECT_EQ(blank.width, 13);
  EXPECT_EQ(inkCount(blank), 0);

  const auto bold = fonts.font(FontRequest{FontFace::Gothic, 9.75, true});
  const auto normal = fonts.font(FontRequest{FontFace::Gothic, 9.75, false});
  EXPECT_GT(inkCount(bold->render(U"選択")), inkCount(normal->render(U"選択")));
  EXPECT_NE(fonts.font(FontRequest{FontFace::Mincho, 9.75, false})->render(U"永").alpha,
            normal->render(U"永").alpha);
}

// Every double-byte character of code page 932 outside the private-use area (7,724 with the
// NEC and IBM extensions) is drawn: from the font, or else from another installed font that
// has it ("∑" is not in IPAGothic), never as the font's missing-glyph box.
TEST(Fonts, EveryCharacterOfTheCodePageIsDrawn) {
  FontLibrary fonts;
  Cp932Decoder cp932;
  for (const FontRequest request :
       {FontRequest{FontFace::Gothic, 10.0, false}, FontRequest{FontFace::Mincho, 9.75, false},
        FontRequest{FontFace::Gothic, 9.75, true}}) {
    const auto font = fonts.font(request);
    // No font has a character of plane 16's private use: the font's own box stands for it.
    const Mask box = font->render(U"\U0010FFFD");
    ASSERT_GT(inkCount(box), 0);
    int characters = 0;
    std::vector<std::string> missing;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
      if (lead == 0xA0) lead = 0xE0;
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        if (trail == 0x7F) continue;
        const std::string bytes{char(lead), char(trail)};
        const std::optional<std::u32string> text = cp932.decode(bytes);
        if (!text || text->size() != 1 || ((*text)[0] >= 0xE000 && (*text)[0] <= 0xF8FF)) continue;
        ++characters;
        const Mask mask = font->render(*text);
        const bool blank = (*text)[0] == U'\u3000';
        if (mask.alpha == box.alpha || (inkCount(mask) == 0) != blank) {
          missing.push_back(toUtf8(*text));
        }
      }
    }
    EXPECT_EQ(characters, 7724);
    EXPECT_TRUE(missing.empty()) << missing.size() << " missing, the first " << missing.front();
  }

  // A character from another font stands in a full-width cell, beside the font's own glyphs
  // as if drawn alone; the full-width rules of the font's own characters stay.
  const auto gothic = fonts.font(FontRequest{FontFace::Gothic, 10.0, false});
  EXPECT_EQ(gothic->measure(U"∑"), 13);
  EXPECT_EQ(gothic->measure(U"あ∑A"), 13 + 13 + 7);
  const Mask mixed = gothic->render(U"あ∑A");
  int x = 0;
  for (const std::u32string_view piece : {U"あ", U"∑", U"A"}) {
    const Mask alone = gothic->render(piece);
    EXPECT_GT(inkCount(alone), 10) << toUtf8(piece);
    int differ = 0;
    for (int y = 0; y < alone.height; ++y) {
      for (int dx = 0; dx < alone.width; ++dx) {
        differ += mixed.alpha[static_cast<std::size_t>(y * mixed.width + x + dx)] !=
                  alone.alpha[static_cast<std::size_t>(y * alone.width + dx)];
      }
    }
    EXPECT_EQ(differ, 0) << toUtf8(piece);
    x += alone.width;
  }
}

// The low lines "_" and "＿" lie below the line of the 13-pixel fonts: they are raised until
// they are seen on the line's last row, and nothing else moves.
TEST(Fonts, LowLinesAreSeen) {
  FontLibrary fonts;
  for (const FontRequest request :
       {FontRequest{FontFace::Gothic, 9.75, false}, FontRequest{FontFace::Gothic, 10.0, false},
        FontRequest{FontFace::Mincho, 9.75, false}, FontRequest{FontFace::Gothic, 9.75, true},
        FontRequest{FontFace::Gothic, 12.0, false}}) {
    SCOPED_TRACE(request.points);
    const auto font = fonts.font(request);
    for (const std::u32string_view line : {U"_", U"＿"}) {
      const Mask mask = font->render(line);
      const auto last = mask.alpha.end() - mask.width;
      EXPECT_GT(std::count(last, mask.alpha.end(), 255), mask.width / 2) << toUtf8(line);
    }
    // Nothing else moves: beside other glyphs, the text is drawn as with blanks of the same
    // widths in their place (where the low lines were drawn out of sight), with only the low
    // lines' ink added, on the rows where a low line alone is drawn.
    const Mask mixed = font->render(U"A_g＿あy");
    const Mask blanks = font->render(U"A g\u3000あy");
    const Mask low = font->render(U"_");
    ASSERT_EQ(mixed.width, blanks.width);
    int added = 0;
    int otherwise = 0;
    for (int y = 0; y < mixed.height; ++y) {
      const auto row = low.alpha.begin() + y * low.width;
      const bool lowRow = std::find(row, row + low.width, 255) != row + low.width;
      for (int x = 0; x < mixed.width; ++x) {
        const auto at = static_cast<std::size_t>(y * mixed.width + x);
        if (mixed.alpha[at] == blanks.alpha[at]) continue;
        (lowRow && mixed.alpha[at] == 255 ? added : otherwise) += 1;
      }
    }
    EXPECT_GE(added, font->measure(U"_＿") * 3 / 4);
    EXPECT_EQ(otherwise, 0);
  }
}

// JPEG is lossy: near enough in each colour channel.
bool near(Argb a, Argb b) {
  for (int shift = 0; shift < 24; shift += 8) {
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 24) return false;
  }
  return true;
}

TEST(Pictures, DecodedByContent) {
  const std::filesystem::path data = std::filesystem::path(QOV_TEST_DATA) / "platform";
  const auto decode = [&](const char* name) { return decodeImage(readFile(data / name).value()); };
  const auto gif = decode("red_blue.gif");
  ASSERT_TRUE(gif);
  EXPECT_EQ(gif->width(), 8);
  EXPECT_EQ(gif->pixel(0, 0), rgb(255, 0, 0));
  EXPECT_EQ(gif->pixel(7, 3), rgb(0, 0, 255));
  EXPECT_EQ(gif->pixel(3, 7), rgb(0, 255, 0));
  for (const char* name : {"red_blue.bmp", "red_blue.jpg"}) {
    const auto image = decode(name);
    ASSERT_TRUE(image) << name;
    EXPECT_EQ(image->width(), 16) << name;
    EXPECT_TRUE(near(image->pixel(1, 1), rgb(255, 0, 0))) << name;
    EXPECT_TRUE(near(image->pixel(14, 6), rgb(0, 0, 255))) << name;
  }

  // A PNG of ours comes back pixel for pixel; a PNG cut short and what is no picture do not.
  Image picture(5, 3, rgb(1, 2, 3));
  picture.setPixel(4, 2, rgb(200, 100, 50));
  const auto png = std::filesystem::path(::testing::TempDir()) / "qov_platform_test.png";
  ASSERT_TRUE(savePng(picture, png));
  auto bytes = readFile(png).value();
  std::filesystem::remove(png);
  EXPECT_EQ(decodeImage(bytes), picture);
  bytes.resize(bytes.size() / 2);
  EXPECT_FALSE(decodeImage(bytes));
  EXPECT_FALSE(decodeImage(std::vector<std::uint8_t>{'h', 'e', 'l', 'l', 'o'}));
  EXPECT_FALSE(decodeImage({}));
}

}  // namespace
}  // namespace qov
