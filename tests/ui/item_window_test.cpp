#include "ui/ItemWindow.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/headless/HeadlessPlatform.h"
#include "tests/ui/UiTestSupport.h"

namespace qov {
namespace {

using test::allPixels;
using test::sameArea;

class ItemWindowTest : public ::testing::Test {
 protected:
  ItemWindowTest() {
    for (int i = 0; i < Variables::kItemCount; ++i) {
      vars.setItemName(i, U"品" + std::u32string(1, static_cast<char32_t>(U'Ａ' + i)));
    }
  }

  void hold(std::initializer_list<int> items, std::int16_t count = 1) {
    for (const int i : items) vars.setItemCount(i, count);
  }

  // Opens the selection as the command menu does.
  void openSelection() {
    items.ItemWait = 1;
    items.ITMSET();
  }

  // True when ITEM shows the sheet's cell of item n at its top left.
  [[nodiscard]] bool showsCell(int n) const {
    const int x = 120 * (n % 6);
    const int y = 100 * (n / 6);
    return sameArea(controls.ITEM.backing(), 0, 0, controls.ITMPicture1.picture(), x, y, 120, 100);
  }

  HeadlessPlatform platform;
  WindowControls controls{platform};
  Variables vars;
  ItemWindow items{controls, vars};
};

TEST_F(ItemWindowTest, TheSheetCellsFollowTheItemNumbers) {
  ASSERT_EQ(controls.ITMPicture1.picture().width(), 720);
  ASSERT_EQ(controls.ITMPicture1.picture().height(), 300);
  for (const int n : {0, 5, 6, 11, 12, 16, 17}) {
    items.ItemSel = static_cast<std::int16_t>(n);
    items.ITMHG();
    EXPECT_TRUE(showsCell(n)) << n;
  }
  // Item 16 is the cell at (480, 200), item 6 the one at (0, 100).
  items.ItemSel = 16;
  items.ITMHG();
  EXPECT_TRUE(
      sameArea(controls.ITEM.backing(), 0, 0, controls.ITMPicture1.picture(), 480, 200, 120, 100));
}

TEST_F(ItemWindowTest, SelectionOpensOnItemZeroAndBrowsesOnlyTheItemsHeld) {
  hold({5});
  items.ItemSel = 9;
  openSelection();
  EXPECT_TRUE(controls.ITEM.visible);
  EXPECT_TRUE(items.selecting());
  EXPECT_EQ(controls.ITEM.rect.w, 169);
  EXPECT_EQ(controls.ITEM.rect.h, 129);
  EXPECT_EQ(items.ItemSel, 0);  // whatever item 0's count is
  EXPECT_EQ(controls.ITMLabel1.caption, U"品Ａ");
  EXPECT_EQ(controls.focus, &controls.ITMPicture1);
  EXPECT_TRUE(showsCell(0));

  items.ITMCommand3_Click(1);
  EXPECT_EQ(items.ItemSel, 5);
  EXPECT_EQ(controls.ITMLabel1.caption, U"品Ｆ");
  EXPECT_TRUE(showsCell(5));
  // With only the item shown held, a step goes all the way round back to it.
  items.ITMCommand3_Click(1);
  EXPECT_EQ(items.ItemSel, 5);
  items.ITMCommand3_Click(0);
  EXPECT_EQ(items.ItemSel, 5);

  openSelection();
  items.ITMCommand3_Click(0);
  EXPECT_EQ(items.ItemSel, 5);
  EXPECT_EQ(controls.focus, &controls.ITMPicture1);
}

TEST_F(ItemWindowTest, BrowsingWrapsBetweenSixteenAndZeroAndSkipsCountsBelowOne) {
  hold({0, 16});
  hold({3}, -2);
  hold({8}, 0);
  openSelection();
  items.ITMCommand3_Click(0);
  EXPECT_EQ(items.ItemSel, 16);
  EXPECT_TRUE(showsCell(16));
  items.ITMCommand3_Click(1);
  EXPECT_EQ(items.ItemSel, 0);
  items.ITMCommand3_Click(1);
  EXPECT_EQ(items.ItemSel, 16);  // 3 (negative) and 8 (zero) are passed
}

TEST_F(ItemWindowTest, BrowsingWithNothingHeldEndsOnTheItemShown) {
  hold({0, 1, 2}, 0);
  openSelection();
  items.ITMCommand3_Click(1);
  EXPECT_EQ(items.ItemSel, 0);
  EXPECT_EQ(controls.ITMLabel1.caption, U"品Ａ");
  items.ITMCommand3_Click(0);
  EXPECT_EQ(items.ItemSel, 0);
  EXPECT_TRUE(showsCell(0));
}

TEST_F(ItemWindowTest, UseAnswersTheItemShownAndCancelAnswersMinusOne) {
  hold({2, 7});
  openSelection();
  items.ITMCommand3_Click(1);
  items.ITMCommand3_Click(1);
  items.ITMCommand1_Click();
  EXPECT_EQ(items.ItemSel, 7);
  EXPECT_EQ(items.ItemWait, 0);
  EXPECT_FALSE(controls.ITEM.visible);
  EXPECT_FALSE(items.selecting());

  // Item 0 is not held, but the window opens on it and "使う" answers it all the same.
  openSelection();
  items.ITMCommand1_Click();
  EXPECT_EQ(items.ItemSel, 0);

  openSelection();
  items.ITMCommand3_Click(1);
  items.ITMCommand2_Click();
  EXPECT_EQ(items.ItemSel, -1);
  EXPECT_EQ(items.ItemWait, 0);
  EXPECT_FALSE(controls.ITEM.visible);
}

TEST_F(ItemWindowTest, DisplayModeShowsOnlyThePictureArea) {
  hold({4});
  controls.ITMLabel1.caption = U"前の名前";
  items.ItemWait = 0;
  items.ItemSel = 4;
  items.ITMSET();
  EXPECT_EQ(items.ItemSel, 4);
  EXPECT_EQ(controls.ITMLabel1.caption, U"前の名前");
  EXPECT_FALSE(items.selecting());
  EXPECT_EQ(controls.ITEM.rect.w, 120);
  EXPECT_EQ(controls.ITEM.rect.h, 100);

  // In the frame: the cell at ITEM's place, and around it only the scene picture.
  Image frame(WindowControls::kWidth, WindowControls::kHeight);
  controls.form.draw(frame);
  EXPECT_TRUE(sameArea(frame, 32, 24, controls.ITMPicture1.picture(), 480, 0, 120, 100));
  EXPECT_TRUE(allPixels(frame, Rect{152, 24, 60, 140}, rgb(64, 64, 64)));
  EXPECT_TRUE(allPixels(frame, Rect{32, 124, 180, 40}, rgb(64, 64, 64)));
  EXPECT_EQ(controls.form.hitTest(200, 50), &controls.Picture1);
  EXPECT_EQ(controls.form.hitTest(100, 50), &controls.ITEM);

  // A number the sheet has no cell for paints nothing new.
  items.ItemSel = 18;
  items.ITMSET();
  EXPECT_TRUE(showsCell(4));
  items.ItemSel = -3;
  items.ITMHG();
  EXPECT_TRUE(showsCell(4));

  items.hide();
  EXPECT_FALSE(controls.ITEM.visible);
}

TEST_F(ItemWindowTest, SelectionShowsButtonsAndNameInTheFrame) {
  hold({1});
  openSelection();
  Image frame(WindowControls::kWidth, WindowControls::kHeight);
  controls.form.draw(frame);
  // The name label under the picture, and a button's raised edge beside it.
  EXPECT_EQ(frame.pixel(32 + 165, 24 + 126), rgb(255, 192, 128));
  EXPECT_EQ(frame.pixel(32 + 121, 24 + 39), rgb(255, 255, 255));
  EXPECT_EQ(frame.pixel(32 + 165, 24 + 66), rgb(0, 0, 0));
  // ITMPicture1 lies outside ITEM's 169 x 129 and is never seen.
  EXPECT_TRUE(allPixels(frame, Rect{32 + 169, 24, 100, 129}, rgb(64, 64, 64)));
  EXPECT_EQ(controls.form.hitTest(32 + 130, 24 + 45), &controls.ITMCommand1);
  EXPECT_EQ(controls.form.hitTest(32 + 150, 24 + 10), &controls.ITMCommand3[1]);
}

}  // namespace
}  // namespace qov
