#include "ui/Qov.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>

#include "platform/ProgramEnd.h"
#include "platform/headless/HeadlessPlatform.h"
#include "tests/ui/UiTestSupport.h"

namespace qov {
namespace {

using test::allPixels;

// Frame points of the controls that tests click.
constexpr int kPictureX = 250, kPictureY = 200;
constexpr int kMessageX = 250, kMessageY = 360;
constexpr int kEntry0X = 192 + 20, kEntry1X = 312 + 20, kEntryRow0Y = 294 + 8;
constexpr int kNextX = 32 + 145 + 10, kNextY = 24 + 18;
constexpr int kUseX = 32 + 121 + 22, kUseY = 24 + 39 + 14;

class QovWindowTest : public ::testing::Test {
 protected:
  void script(std::u32string_view lines) { test::writeScript(dir.path(), "wnatu", lines); }

  // Starts the window and runs its event loop until the program ends; returns the exit code.
  int run() {
    try {
      window.Form_Load();
      for (;;) platform.waitEvents();
    } catch (const ProgramEnd& end) {
      return end.exitCode;
    }
  }

  [[nodiscard]] bool musicGot(const std::string& command) {
    const auto& log = platform.headlessMusic().commands();
    return std::find(log.begin(), log.end(), command) != log.end();
  }

  test::TempDir dir;
  HeadlessPlatform platform{{dir.path()}};
  Qov window{platform, dir.path(), {dir.path()}};
};

TEST_F(QovWindowTest, StartWithoutTheFirstScriptReportsItAndEndsWithoutClosingSteps) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(run(), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "ファイルが読込めません\nwnatu( 0)\n");
  ASSERT_EQ(platform.messageBoxes().size(), 1u);
  EXPECT_EQ(platform.messageBoxes()[0].title, "Qov ERROR");
  EXPECT_EQ(platform.messageBoxes()[0].text, "ファイルが読込めません\r\nwnatu( 0)\r");
  EXPECT_EQ(platform.messageBoxes()[0].icon, MessageIcon::Stop);
  EXPECT_EQ(platform.beeps(), 0);
  EXPECT_FALSE(musicGot("close bg"));
  EXPECT_FALSE(platform.timerEnabled(window.timerQov()));
  EXPECT_FALSE(platform.windowCaption().has_value());
}

TEST_F(QovWindowTest, StartRunsTheScriptAndExitCloses) {
  script(U"LET,3,42\nCMDS,1\nMES,夏の夜。￥\nEXIT\n");
  platform.click(kMessageX, kMessageY);
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(window.variables().var(3), 42);
  EXPECT_EQ(window.messages().MesClick, 0);
  EXPECT_EQ(window.menu().MenuShown, 0);  // the message hid the menu that CMDS showed
  EXPECT_EQ(platform.windowCaption(), "夏灯り");
  EXPECT_EQ(platform.windowIcon().width(), 32);
  EXPECT_EQ(platform.waitCursorImage().height(), 32);
  EXPECT_EQ(window.controls().MES.fontSpec().points, 10.0);
  EXPECT_TRUE(musicGot("close bg"));
  EXPECT_EQ(platform.beeps(), 1);
  EXPECT_TRUE(platform.messageBoxes().empty());
}

TEST_F(QovWindowTest, ClosingWhileTheScriptRunsOrWaitsEndsWithTheClosingSteps) {
  script(U"LET,1,1\nGOTO,1\n");
  window.interpreter().setTickBudget(std::chrono::microseconds(200));
  platform.closeWindow(30);
  EXPECT_EQ(run(), 0);
  EXPECT_TRUE(musicGot("close bg"));
  EXPECT_EQ(platform.beeps(), 1);
}

TEST_F(QovWindowTest, ClosingDuringAMessageWaitEndsFromInsideIt) {
  script(U"MES,待っている。￥\nLET,1,1\nEXIT\n");
  platform.closeWindow();
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(window.variables().var(1), 0);
  EXPECT_TRUE(musicGot("close bg"));
  EXPECT_EQ(platform.beeps(), 1);
}

TEST_F(QovWindowTest, AMissingPictureIsReportedWithItsLine) {
  script(U"GHG,nowhere\n");
  testing::internal::CaptureStderr();
  EXPECT_EQ(run(), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "ファイルが読込めません\nnowhere.SZG( 1)\nGHG,nowhere\n");
  ASSERT_EQ(platform.messageBoxes().size(), 1u);
  EXPECT_EQ(platform.messageBoxes()[0].text,
            "ファイルが読込めません\r\nnowhere.SZG( 1)\rGHG,nowhere");
  EXPECT_EQ(platform.beeps(), 0);
}

TEST_F(QovWindowTest, ClicksReachTheMenuAndTheItemWindowButtons) {
  script(
      U"ITMS,0,1,鍵\nITMS,3,2,地図\nCMST,0,＊調べる￥持ち物\nCMSL,0,10\n"
      U"CASE,0\nLET,9,10\nEXIT\nCASE,1\nLET,9,11\nEXIT\nENDCM\n");
  // The item command, "＞" to item 3, then "やめる" by Esc: the menu is shown again.
  platform.click(kEntry1X, kEntryRow0Y);
  platform.click(kNextX, kNextY);
  platform.key(Key::Escape);
  // Again: "＞" twice wraps from 3 back to 0, once more to 3, and Enter uses it.
  platform.click(kEntry1X, kEntryRow0Y);
  platform.click(kNextX, kNextY);
  platform.click(kNextX, kNextY);
  platform.click(kNextX, kNextY);
  platform.key(Key::Enter);
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(window.variables().var(0), 3);
  EXPECT_EQ(window.variables().var(9), 11);
  EXPECT_FALSE(window.controls().ITEM.visible);
}

TEST_F(QovWindowTest, UseButtonAndPlainMenuEntryByMouse) {
  script(
      U"ITMS,2,1,札\nCMST,0,＊調べる￥持ち物\nCMSL,0,10\n"
      U"CASE,0\nLET,9,10\nEXIT\nCASE,1\nLET,9,11\nEXIT\nENDCM\n");
  platform.click(kEntry1X, kEntryRow0Y);
  platform.click(kNextX, kNextY);
  // A press on "使う" released elsewhere is no click; the next one is.
  platform.mouseDown(kUseX, kUseY);
  platform.mouseUp(kPictureX, kPictureY);
  platform.click(kUseX, kUseY);
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(window.variables().var(0), 2);
  EXPECT_EQ(window.variables().var(9), 11);
}

TEST_F(QovWindowTest, RightClicksToggleTheMenuAndEntriesTakeChoices) {
  script(
      U"CMST,0,＊調べる＊話す\nCMSL,0,10\nCASE,0\nLET,9,10\nEXIT\nCASE,1\nLET,9,11\nEXIT\n"
      U"ENDCM\n");
  const auto& labels = window.controls().Label1;
  // Hide the menu with a right click on an entry, show it again on the picture, then choose
  // "話す" (a right press on it first only colours it).
  platform.click(kEntry0X, kEntryRow0Y, kRightButton);
  platform.click(kPictureX, kPictureY, kRightButton);
  platform.mouseDown(kEntry1X, kEntryRow0Y, kLeftButton);
  platform.mouseUp(kPictureX, kPictureY, kLeftButton);  // the label that was pressed gets it
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(window.variables().var(9), 11);
  EXPECT_TRUE(labels[0].visible);
  EXPECT_EQ(labels[1].backColor, rgb(64, 64, 64));
}

TEST_F(QovWindowTest, FrameIsComposedOnlyAfterAChange) {
  script(U"MES,あ￥\nEXIT\n");
  window.Form_Load();
  EXPECT_TRUE(window.frameChanged());
  const Image first = window.composeFrame();
  EXPECT_FALSE(window.frameChanged());
  window.CMDS(1);
  EXPECT_TRUE(window.frameChanged());
  window.composeFrame();
  window.CMDS(1);  // already shown: the same look
  EXPECT_FALSE(window.frameChanged());
  window.mouseDown(kEntry0X, kEntryRow0Y, kLeftButton);
  EXPECT_TRUE(window.frameChanged());
  // The entries overlap their neighbours by one pixel, as the layout has them.
  EXPECT_TRUE(allPixels(window.composeFrame(), Rect{192, 294, 120, 16}, rgb(192, 0, 0)));
  window.mouseUp(kEntry0X, kEntryRow0Y, kLeftButton);
  EXPECT_TRUE(window.frameChanged());
  EXPECT_TRUE(allPixels(window.composeFrame(), Rect{192, 294, 120, 16}, rgb(64, 64, 64)));
  EXPECT_FALSE(first.empty());
}

TEST_F(QovWindowTest, AWaitThatChangesNothingPresentsNothing) {
  // Music loops all through a five-second page wait: its timer ticks every 10 ms, but the
  // frame stays the same and is not presented again.
  std::ofstream(dir.path() / "song.MID") << "MThd";
  platform.headlessMusic().setPieceLength(700);
  script(U"MUSPL,song,1\nMES,あ￥\nEXIT\n");
  platform.closeWindow(5000);
  EXPECT_EQ(run(), 0);
  EXPECT_GE(platform.now(), 5000u);
  const auto& log = platform.headlessMusic().commands();
  EXPECT_GE(std::count(log.begin(), log.end(), "play bg"), 5);
  EXPECT_LE(platform.presents(), 3);
}

TEST_F(QovWindowTest, EnterAndEscapeAnswerOnlyTheSelection) {
  window.variables().setItemCount(4, 1);
  ItemWindow& items = window.items();
  items.ItemWait = 0;
  items.ItemSel = 4;
  items.ITMSET();
  window.keyDown(Key::Escape);
  window.keyDown(Key::Enter);
  EXPECT_TRUE(window.controls().ITEM.visible);  // display mode: keys do nothing
  EXPECT_EQ(items.ItemSel, 4);

  items.ItemWait = 1;
  items.ITMSET();
  window.keyDown(Key::Other);
  EXPECT_EQ(items.ItemWait, 1);
  window.keyDown(Key::Escape);
  EXPECT_EQ(items.ItemSel, -1);
  EXPECT_EQ(items.ItemWait, 0);
  EXPECT_FALSE(window.controls().ITEM.visible);
}

TEST_F(QovWindowTest, NoticeGoesToStandardErrorAndAnInformationBox) {
  testing::internal::CaptureStderr();
  window.showNotice(U"保存できませんでした\r\nTOVELI2.DAT");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "保存できませんでした\nTOVELI2.DAT\n");
  ASSERT_EQ(platform.messageBoxes().size(), 1u);
  EXPECT_EQ(platform.messageBoxes()[0].title, "夏灯り");
  EXPECT_EQ(platform.messageBoxes()[0].icon, MessageIcon::Information);
}

}  // namespace
}  // namespace qov
