#include "ui/ItemWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/HeadlessPlatform.h"
#include "tests/ui/UiTestSupport.h"

namespace qov::test {
namespace {

class ItemWindowTest : public ::testing::Test {
 protected:
  ItemWindowTest() {
    for (int i = 0; i < Variables::kItemCount; ++i) {
      vars.setItemName(i, U"品" + std::u32string(1, static_cast<char32_t>(U'Ａ' + i)));
    }
  }
  void openSelection() {
    items.ItemWait = 1;
    items.ITMSET();
  }
  // ITEM shows the sheet's cell of item n, six cells a row.
  [[nodiscard]] bool showsCell(int n) const {
    return sameArea(c.ITEM.backing(), 0, 0, c.ITMPicture1.picture(), 120 * (n % 6), 100 * (n / 6),
                    120, 100);
  }

  HeadlessPlatform platform;
  WindowControls c{platform};
  Variables vars;
  ItemWindow items{c, vars};
};

TEST_F(ItemWindowTest, DisplayModeShowsTheCellOfTheItemAlone) {
  for (const int n : {0, 5, 6, 11, 12, 16, 17}) {
    items.ItemWait = 0;
    items.ItemSel = static_cast<std::int16_t>(n);
    items.ITMSET();
    EXPECT_TRUE(showsCell(n)) << n;
  }
  EXPECT_FALSE(items.selecting());
  EXPECT_EQ(c.ITEM.rect.w, 120);
  EXPECT_EQ(c.ITEM.rect.h, 100);
  EXPECT_EQ(c.form.hitTest(200, 50), &c.Picture1);
  // A number the sheet has no cell for paints nothing new.
  for (const std::int16_t n : {18, -3}) {
    items.ItemSel = n;
    items.ITMHG();
    EXPECT_TRUE(showsCell(17));
  }
  items.hide();
  EXPECT_FALSE(c.ITEM.visible);
}

TEST_F(ItemWindowTest, SelectionOpensOnItemZeroAndBrowsesOnlyTheItemsHeld) {
  struct Case {
    const char* what;
    std::vector<std::pair<int, std::int16_t>> counts;
    std::string clicks;  // '<' and '>'
    std::vector<int> shown;
  };
  const Case cases[] = {
      {"only item 5 held", {{5, 1}}, ">><", {5, 5, 5}},
      {"wrap; counts below one passed", {{0, 1}, {16, 1}, {3, -2}, {8, 0}}, "<>>", {16, 0, 16}},
      {"nothing held", {{0, 0}}, "><", {0, 0}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    for (int i = 0; i < Variables::kItemCount; ++i) vars.setItemCount(i, 0);
    for (const auto& [item, n] : k.counts) vars.setItemCount(item, n);
    items.ItemSel = 9;
    openSelection();
    EXPECT_TRUE(items.selecting());
    EXPECT_EQ(items.ItemSel, 0);
    for (std::size_t i = 0; i < k.clicks.size(); ++i) {
      items.ITMCommand3_Click(k.clicks[i] == '>' ? 1 : 0);
      EXPECT_EQ(items.ItemSel, k.shown[i]) << i;
      EXPECT_EQ(c.ITMLabel1.caption, vars.itemName(k.shown[i]));
      EXPECT_TRUE(showsCell(k.shown[i]));
    }
  }
}

TEST_F(ItemWindowTest, UseAnswersTheItemShownEvenIfNotHeldAndCancelAnswersMinusOne) {
  vars.setItemCount(7, 1);
  openSelection();
  items.ITMCommand1_Click();
  EXPECT_EQ(items.ItemSel, 0);
  EXPECT_EQ(items.ItemWait, 0);
  EXPECT_FALSE(c.ITEM.visible);
  openSelection();
  items.ITMCommand3_Click(1);
  items.ITMCommand2_Click();
  EXPECT_EQ(items.ItemSel, -1);
  EXPECT_EQ(items.ItemWait, 0);
  EXPECT_FALSE(items.selecting());
}

}  // namespace
}  // namespace qov::test
