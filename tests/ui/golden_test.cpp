// Golden frames of the main window. A changed pixel fails and leaves the frame and a diff image
// in the build folder; QOV_UPDATE_GOLDEN=1 rewrites the golden files instead.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/headless/HeadlessPlatform.h"
#include "platform/render/Render.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/Qov.h"

namespace qov {
namespace {

namespace fs = std::filesystem;

const fs::path kGoldenDir = test::kUiData / "golden";
const fs::path kOutputDir = fs::path(QOV_TEST_OUTPUT) / "golden";

bool updating() {
  const char* value = std::getenv("QOV_UPDATE_GOLDEN");
  return value != nullptr && std::string(value) == "1";
}

// Changed pixels in red over a dimmed copy of the golden frame.
Image diffImage(const Image& golden, const Image& actual) {
  Image diff(golden.width(), golden.height());
  for (int y = 0; y < golden.height(); ++y) {
    for (int x = 0; x < golden.width(); ++x) {
      const Argb g = golden.pixel(x, y);
      const bool same = x < actual.width() && y < actual.height() && actual.pixel(x, y) == g;
      diff.setPixel(x, y, same ? ((g >> 2) & 0x003F3F3Fu) | 0xFF000000u : rgb(255, 0, 0));
    }
  }
  return diff;
}

void expectGolden(const Image& frame, const std::string& name) {
  const fs::path golden = kGoldenDir / (name + ".png");
  if (updating()) {
    ASSERT_TRUE(savePng(frame, golden)) << golden;
    return;
  }
  const std::optional<Image> expected = loadPng(golden);
  ASSERT_TRUE(expected.has_value())
      << "no golden frame " << golden << " (QOV_UPDATE_GOLDEN=1 ctest -R golden writes it)";
  if (*expected == frame) return;
  fs::create_directories(kOutputDir);
  const fs::path actualFile = kOutputDir / (name + ".actual.png");
  const fs::path diffFile = kOutputDir / (name + ".diff.png");
  EXPECT_TRUE(savePng(frame, actualFile));
  EXPECT_TRUE(savePng(diffImage(*expected, frame), diffFile));
  ADD_FAILURE() << "frame " << name << " differs from " << golden << "; see " << actualFile
                << " and " << diffFile;
}

class GoldenFrames : public ::testing::Test {
 protected:
  GoldenFrames() {
    test::writeScript(dir.path(), "wnatu", U"EXIT\n");
    fs::copy_file(test::kUiData / "small_bmp.SZG", dir.path() / "scene.SZG");
  }
  test::TempDir dir;
  HeadlessPlatform platform{{dir.path()}};
  Qov window{platform, dir.path(), {dir.path()}};
};

TEST_F(GoldenFrames, EmptyWindowAtStart) {
  window.Form_Load();
  const Image& frame = window.composeFrame();
  // What the golden file must show in any case: grey strips right and below, the dark scene
  // picture and the white message window.
  EXPECT_TRUE(test::allPixels(frame, Rect{504, 0, 2, 384}, rgb(128, 128, 128)));
  EXPECT_TRUE(test::allPixels(frame, Rect{0, 381, 506, 3}, rgb(128, 128, 128)));
  EXPECT_TRUE(test::allPixels(frame, Rect{0, 0, 504, 336}, rgb(64, 64, 64)));
  EXPECT_TRUE(test::allPixels(frame, Rect{0, 336, 504, 45}, rgb(255, 255, 255)));
  expectGolden(frame, "empty_window");
}

TEST_F(GoldenFrames, SceneWithMenuItemWindowAndMessage) {
  window.Form_Load();
  window.variables().setItemName(0, U"古い鍵");
  window.GHG(U"scene");
  window.CMST(0, U"＊調べる＊話す￥持ち物");
  WindowControls& c = window.controls();
  c.LBcm.caption = U"コマンド";
  c.Label1[0].caption = U"調べる";
  c.Label1[1].caption = U"話す";
  c.Label1[2].caption = U"持ち物";
  window.CMDS(1);
  window.items().ItemWait = 1;
  window.items().ITMSET();
  c.MES.print(U"　　　　　夏の夜、提灯の灯りが揺れている。", rgb(0, 0, 0));
  c.MES.newLine();
  c.MES.print(U"「ＡＢＣ」", rgb(255, 0, 0));
  c.MES.print(U"こんばんは。", rgb(0, 0, 0));
  expectGolden(window.composeFrame(), "scene_menu_items");
}

}  // namespace
}  // namespace qov
