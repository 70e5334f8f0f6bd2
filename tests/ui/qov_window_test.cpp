#include "ui/Qov.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <optional>
#include <string>

#include "tests/ui/UiTestSupport.h"

namespace qov::test {
namespace {

class QovWindowTest : public ::testing::Test {
 protected:
  void script(std::u32string_view lines) { writeScript(dir.path(), "wnatu", lines); }
  [[nodiscard]] bool musicGot(const std::string& command) {
    const auto& log = w.platform.headlessMusic().commands();
    return std::find(log.begin(), log.end(), command) != log.end();
  }

  TempDir dir;
  Window w{dir.path()};
  HeadlessPlatform& platform = w.platform;
};

TEST_F(QovWindowTest, StartWithoutTheFirstScriptReportsItAndEndsWithoutClosingSteps) {
  std::string err;
  EXPECT_EQ(w.run(&err), 1);
  // The terminal also learns where the script was looked for; the box is unchanged.
  EXPECT_EQ(err, "qov: no script \"wnatu\" (wnatu.QOV) in the game folder " + dir.path().string() +
                     "\nファイルが読込めません\nwnatu( 0)\n");
  ASSERT_EQ(platform.messageBoxes().size(), 1u);
  EXPECT_EQ(platform.messageBoxes()[0].title, "Qov ERROR");
  EXPECT_EQ(platform.messageBoxes()[0].text, "ファイルが読込めません\r\nwnatu( 0)\r");
  EXPECT_EQ(platform.messageBoxes()[0].icon, MessageIcon::Stop);
  EXPECT_EQ(platform.beeps(), 0);
  EXPECT_FALSE(musicGot("close bg"));
  EXPECT_FALSE(platform.windowCaption().has_value());
}

TEST_F(QovWindowTest, StartRunsTheScriptAndExitCloses) {
  script(U"LET,3,42\nCMDS,1\nMES,夏の夜。￥\nEXIT\n");
  w.then([&] {
    EXPECT_EQ(platform.windowCaption(), dir.path().filename().string());  // no qov.ini
    w.click(w.c.MES);
  });
  EXPECT_EQ(w.run(), 0);
  EXPECT_EQ(w.window.variables().var(3), 42);
  EXPECT_EQ(w.window.menu().MenuShown, 0);  // the message hid the menu that CMDS showed
  EXPECT_TRUE(musicGot("close bg"));
  EXPECT_EQ(platform.beeps(), 1);
  EXPECT_TRUE(platform.messageBoxes().empty());
}

TEST(QovWindowClose, ClosingWhileTheScriptRunsOrWaitsEndsWithTheClosingSteps) {
  struct Case {
    std::u32string_view lines;
    std::optional<std::uint64_t> closeAt;
    std::int16_t var1;  // the LET after a wait must not run
  };
  for (const Case k : {Case{U"LET,1,1\nGOTO,1\n", 30, 1},
                       Case{U"MES,待っている。￥\nLET,1,1\nEXIT\n", std::nullopt, 0}}) {
    TempDir dir;
    writeScript(dir.path(), "wnatu", k.lines);
    Window w(dir.path());
    w.window.interpreter().setTickBudget(std::chrono::microseconds(200));
    w.platform.closeWindow(k.closeAt);
    EXPECT_EQ(w.run(), 0);
    EXPECT_EQ(w.window.variables().var(1), k.var1);
    const auto& log = w.platform.headlessMusic().commands();
    EXPECT_EQ(std::count(log.begin(), log.end(), "close bg"), 1);
    EXPECT_EQ(w.platform.beeps(), 1);
  }
}

TEST_F(QovWindowTest, MouseAndKeysReachTheMenuAndTheItemWindow) {
  script(
      U"ITMS,0,1,鍵\nITMS,3,2,地図\nCMST,0,＊調べる￥持ち物\nCMSL,0,10\n"
      U"CASE,0\nLET,9,10\nEXIT\nCASE,1\nLET,9,11\nEXIT\nENDCM\n");
  constexpr int kRow = 302, kEntry0 = 212, kEntry1 = 332, kNextX = 187, kNextY = 42;
  constexpr int kUseX = 175, kUseY = 77, kPictureX = 250, kPictureY = 200;
  platform.click(kEntry0, kRow, kRightButton);  // hides the menu
  platform.click(kPictureX, kPictureY, kRightButton);
  platform.mouseDown(kEntry1, kRow);  // released elsewhere: the label pressed gets it
  platform.mouseUp(kPictureX, kPictureY);
  platform.click(kNextX, kNextY);
  platform.key(Key::Escape);  // "やめる": the menu again
  platform.click(kEntry1, kRow);
  for (int i = 0; i < 3; ++i) platform.click(kNextX, kNextY);  // 3, wrap to 0, 3
  platform.mouseDown(kUseX, kUseY);  // a press on "使う" released elsewhere is no click
  platform.mouseUp(kPictureX, kPictureY);
  platform.key(Key::Other);
  platform.key(Key::Enter);
  EXPECT_EQ(w.run(), 0);
  EXPECT_EQ(w.window.variables().var(0), 3);
  EXPECT_EQ(w.window.variables().var(9), 11);
  EXPECT_FALSE(w.c.ITEM.visible);
  EXPECT_EQ(w.c.Label1[1].backColor, CommandMenu::kEntryBack);
}

TEST_F(QovWindowTest, AWaitThatChangesNothingPresentsNothing) {
  std::ofstream(dir.path() / "song.MID") << "MThd";
  platform.headlessMusic().setPieceLength(700);  // its timer ticks all through the wait
  script(U"MUSPL,song,1\nMES,あ￥\nEXIT\n");
  platform.closeWindow(5000);
  EXPECT_EQ(w.run(), 0);
  EXPECT_GE(platform.now(), 5000u);
  EXPECT_LE(platform.presents(), 3);
}

TEST_F(QovWindowTest, NoticeGoesToStandardErrorAndAnInformationBox) {
  testing::internal::CaptureStderr();
  w.window.showNotice(U"保存できませんでした\r\nTOVELI2.DAT");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "保存できませんでした\nTOVELI2.DAT\n");
  ASSERT_EQ(platform.messageBoxes().size(), 1u);
  EXPECT_EQ(platform.messageBoxes()[0].title, dir.path().filename().string());
  EXPECT_EQ(platform.messageBoxes()[0].icon, MessageIcon::Information);
}

TEST_F(QovWindowTest, GoldenFrames) {
  script(U"EXIT\n");
  std::filesystem::copy_file(kUiData / "small_bmp.SZG", dir.path() / "scene.SZG");
  w.window.Form_Load();
  expectGolden(w.window.composeFrame(), "empty_window");

  w.window.variables().setItemName(0, U"古い鍵");
  w.window.GHG(U"scene");
  WindowControls& c = w.c;
  c.LBcm.caption = U"コマンド";
  c.Label1[0].caption = U"調べる";
  c.Label1[1].caption = U"話す";
  c.Label1[2].caption = U"持ち物";
  w.window.CMDS(1);
  w.window.items().ItemWait = 1;
  w.window.items().ITMSET();
  c.MES.print(U"　　　　　夏の夜、提灯の灯りが揺れている。", kBlack);
  c.MES.newLine();
  c.MES.print(U"「ＡＢＣ」", rgb(255, 0, 0));
  c.MES.print(U"こんばんは。", kBlack);
  expectGolden(w.window.composeFrame(), "scene_menu_items");
}

}  // namespace
}  // namespace qov::test
