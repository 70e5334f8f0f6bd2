// Golden frames of the main window.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/headless/HeadlessPlatform.h"
#include "platform/render/Render.h"
#include "tests/ui/Golden.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/Qov.h"

namespace qov {
namespace {

namespace fs = std::filesystem;

using test::expectGolden;

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
