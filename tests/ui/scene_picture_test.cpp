#include "ui/ScenePicture.h"

#include <gtest/gtest.h>

#include <optional>

#include "engine/ScriptError.h"
#include "platform/Files.h"
#include "platform/headless/HeadlessPlatform.h"
#include "tests/ui/UiTestSupport.h"

namespace qov::test {
namespace {

class ScenePictureTest : public ::testing::Test {
 protected:
  [[nodiscard]] const Image& shown() const { return Picture1.backing(); }

  HeadlessPlatform platform;
  PictureBox Picture1{platform, Rect{0, 0, 504, 336}, kDarkGrey, kBlack,
                      FontRequest{FontFace::Mincho, 9.75, false}};
  ScenePicture scene{platform, Picture1, kUiData};
};

TEST_F(ScenePictureTest, EachFormatSitsAtTheTopLeftUnscaledAndIsCutAtTheEdges) {
  struct Case {
    const char* name;  // as the script names it; the file's name may differ in case
    const char* file;
    int x, y;
    std::optional<Argb> colour;  // what the file has at (x, y)
  };
  for (const Case k : {Case{"small_bmp", "small_bmp.SZG", 20, 20, rgb(0, 255, 0)},
                       Case{"small_gif", "small_gif.SZG", 0, 0, rgb(0, 128, 0)},
                       Case{"mid_jpeg", "mid_jpeg.SZG", 0, 0, std::nullopt},
                       Case{"large_png", "large_png.SZG", 0, 0, kWhite},
                       Case{"mixed", "Mixed.szg", 0, 0, rgb(10, 20, 30)}}) {
    SCOPED_TRACE(k.name);
    scene.GHG(fromUtf8(k.name));
    const std::optional<Image> image = platform.decodeImage(readFile(kUiData / k.file).value());
    ASSERT_TRUE(image.has_value());
    const int w = std::min(image->width(), 504);
    const int h = std::min(image->height(), 336);
    EXPECT_TRUE(sameArea(shown(), 0, 0, *image, 0, 0, w, h));
    EXPECT_TRUE(all(shown(), Rect{w, 0, 504 - w, 336}, kDarkGrey));
    EXPECT_TRUE(all(shown(), Rect{0, h, w, 336 - h}, kDarkGrey));
    if (k.colour) {
      EXPECT_EQ(shown().pixel(k.x, k.y), *k.colour);
    }
    EXPECT_EQ(Picture1.rect.w, 504);
    EXPECT_EQ(Picture1.rect.h, 336);
  }
}

TEST_F(ScenePictureTest, MissingOrUndecodableFileIsAScriptErrorAndThePictureStays) {
  scene.GHG(U"small_gif");
  const Image before = shown();
  for (const std::u32string name : {U"nowhere", U"broken", U"small_gif.SZG"}) {
    try {
      scene.GHG(name);
      ADD_FAILURE() << toUtf8(name) << " loaded";
    } catch (const ScriptError& e) {
      EXPECT_EQ(e.text, U"ファイルが読込めません\r\n" + name + U".SZG");
    }
    EXPECT_EQ(shown(), before);
  }
}

}  // namespace
}  // namespace qov::test
