#include "ui/ScenePicture.h"

#include <gtest/gtest.h>

#include <optional>

#include "engine/ScriptError.h"
#include "platform/Files.h"
#include "platform/headless/HeadlessPlatform.h"
#include "tests/ui/UiTestSupport.h"

namespace qov {
namespace {

using test::allPixels;
using test::kUiData;
using test::sameArea;

constexpr Argb kBack = rgb(64, 64, 64);

class ScenePictureTest : public ::testing::Test {
 protected:
  // The picture as the platform decodes the fixture (JPEG is lossy, so no reference file).
  Image decoded(const std::string& file) {
    const std::optional<std::vector<std::uint8_t>> bytes = readFile(kUiData / file);
    EXPECT_TRUE(bytes.has_value()) << file;
    std::optional<Image> image = platform.decodeImage(*bytes);
    EXPECT_TRUE(image.has_value()) << file;
    return image.value_or(Image(1, 1));
  }

  [[nodiscard]] const Image& shown() const { return Picture1.backing(); }

  HeadlessPlatform platform;
  PictureBox Picture1{platform, Rect{0, 0, 504, 336}, kBack, rgb(0, 0, 0),
                      FontSpec{FontFace::Mincho, 9.75, false}};
  ScenePicture scene{platform, Picture1, kUiData};
};

TEST_F(ScenePictureTest, SmallerPicturesOfEveryFormatSitAtTheTopLeft) {
  struct Case {
    const char* name;
    int width;
    int height;
  };
  for (const Case c :
       {Case{"small_bmp", 200, 150}, Case{"small_gif", 130, 90}, Case{"mid_jpeg", 300, 200}}) {
    SCOPED_TRACE(c.name);
    scene.GHG(fromUtf8(c.name));
    const Image image = decoded(std::string(c.name) + ".SZG");
    ASSERT_EQ(image.width(), c.width);
    ASSERT_EQ(image.height(), c.height);
    EXPECT_TRUE(sameArea(shown(), 0, 0, image, 0, 0, c.width, c.height));
    EXPECT_TRUE(allPixels(shown(), Rect{c.width, 0, 504 - c.width, 336}, kBack));
    EXPECT_TRUE(allPixels(shown(), Rect{0, c.height, c.width, 336 - c.height}, kBack));
  }
  // The BMP's green square is where the file has it.
  scene.GHG(U"small_bmp");
  EXPECT_EQ(shown().pixel(20, 20), rgb(0, 255, 0));
}

TEST_F(ScenePictureTest, LargerPictureIsCutAtTheEdgesUnscaled) {
  scene.GHG(U"large_png");
  const Image image = decoded("large_png.SZG");
  EXPECT_TRUE(sameArea(shown(), 0, 0, image, 0, 0, 504, 336));
  EXPECT_EQ(shown().pixel(0, 0), rgb(255, 255, 255));
  EXPECT_NE(shown().pixel(503, 335), rgb(0, 0, 0));  // the black corner lies beyond the box
  EXPECT_EQ(Picture1.rect.w, 504);
  EXPECT_EQ(Picture1.rect.h, 336);
}

TEST_F(ScenePictureTest, NameIsFoundIgnoringCase) {
  scene.GHG(U"mixed");
  EXPECT_TRUE(allPixels(shown(), Rect{0, 0, 50, 40}, rgb(10, 20, 30)));
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

TEST_F(ScenePictureTest, LoadingAgainReadsTheFileAgain) {
  test::TempDir dir;
  std::filesystem::copy_file(kUiData / "small_gif.SZG", dir.path() / "room1.SZG");
  ScenePicture other{platform, Picture1, dir.path()};
  other.GHG(U"room1");
  EXPECT_EQ(shown().pixel(0, 0), rgb(0, 128, 0));
  std::filesystem::copy_file(kUiData / "Mixed.szg", dir.path() / "room1.SZG",
                             std::filesystem::copy_options::overwrite_existing);
  other.GHG(U"room1");
  EXPECT_EQ(shown().pixel(0, 0), rgb(10, 20, 30));
}

}  // namespace
}  // namespace qov
