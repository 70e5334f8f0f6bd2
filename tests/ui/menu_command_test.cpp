#include <gtest/gtest.h>

#include <string>

#include "engine/ScriptError.h"
#include "tests/ui/message_rig.h"

namespace qov::testing {
namespace {

class CommandMenuTest : public ::testing::Test {
 protected:
  Rig r;

  [[nodiscard]] std::array<std::u32string, 5> captions() const {
    std::array<std::u32string, 5> out;
    for (std::size_t i = 0; i < 5; ++i) out[i] = r.c.Label1[i].caption;
    return out;
  }
  [[nodiscard]] bool allShown(bool shown) const {
    bool same = r.c.LBcm.visible == shown;
    for (const Label& l : r.c.Label1) same = same && l.visible == shown;
    return same;
  }
  // The next answer: check what the menu shows now, then click.
  void then(std::function<void()> step) { r.answers.push_back(std::move(step)); }

  [[nodiscard]] std::u32string errorOf(const std::function<void()>& f) {
    try {
      f();
    } catch (const ScriptError& e) {
      return e.text;
    }
    return U"(none)";
  }
};

using Captions = std::array<std::u32string, 5>;

TEST_F(CommandMenuTest, DefinitionsFillConsecutiveMenusAndClearWhatTheyReach) {
  r.menu.setMenuText(4, 0, U"＊kept");
  r.menu.CMST(2, U"＊A＊B３C・＊D＠E");
  using M = std::array<std::u32string, 5>;
  EXPECT_EQ(r.menu.MenuText[2], (M{U"＊A", U"＊B", U"３C", U"", U""}));
  EXPECT_EQ(r.menu.MenuText[3], (M{U"＊D", U"＠E", U"", U"", U""}));
  EXPECT_EQ(r.menu.MenuText[4][0], U"＊kept");

  r.menu.CMST(3, U"￥Items・");  // a trailing "・" clears the menu after the last one
  EXPECT_EQ(r.menu.MenuText[3], (M{U"￥Items", U"", U"", U"", U""}));
  EXPECT_EQ(r.menu.MenuText[4], M{});
  r.menu.CMST(2, U"");  // an empty definition clears its menu only
  EXPECT_EQ(r.menu.MenuText[2], M{});
  EXPECT_EQ(r.menu.MenuText[3][0], U"￥Items");
  r.menu.CMST(0, U"＊1＊2＊3＊4＊5");
}

TEST_F(CommandMenuTest, BadDefinitionsAndIndexesStopTheScriptAndChangeNothing) {
  r.menu.CMST(8, U"＊A");
  const auto before = r.menu.MenuText;
  const std::u32string bad = U"メニュー定義が不正";
  EXPECT_EQ(errorOf([&] { r.menu.CMST(8, U"A＊B"); }), bad);
  EXPECT_EQ(errorOf([&] { r.menu.CMST(8, U"＊A・B"); }), bad);
  EXPECT_EQ(errorOf([&] { r.menu.CMST(8, U"＊1＊2＊3＊4＊5＊6"); }), bad);
  EXPECT_EQ(errorOf([&] { r.menu.CMST(8, U"＊A・＊B・＊C"); }), bad);
  EXPECT_EQ(errorOf([&] { r.menu.CMST(9, U"・"); }), bad);
  EXPECT_EQ(errorOf([&] { r.menu.CMST(10, U"＊A"); }), U"範囲外");
  EXPECT_EQ(errorOf([&] { r.menu.CMST(-1, U"＊A"); }), U"範囲外");
  EXPECT_EQ(errorOf([&] { r.menu.setMenuText(10, 0, U"＊A"); }), U"範囲外");
  EXPECT_EQ(errorOf([&] { r.menu.setMenuText(0, 5, U"＊A"); }), U"範囲外");
  EXPECT_EQ(errorOf([&] { r.menu.setMenuText(0, -1, U""); }), U"範囲外");
  EXPECT_EQ(errorOf([&] { (void)r.menu.CMSL(10); }), U"範囲外");
  EXPECT_EQ(errorOf([&] { (void)r.menu.CMSL(-1); }), U"範囲外");
  EXPECT_EQ(r.menu.MenuText, before);
}

TEST_F(CommandMenuTest, EntriesArePackedIntoTheFirstLabelsAndAnswerWithTheirOwnIndex) {
  r.menu.setMenuText(4, 1, U"＊Look");
  r.menu.setMenuText(4, 3, U"＊Talk");
  then([&] {
    EXPECT_EQ(captions(), (Captions{U"Look", U"Talk", U"", U"", U""}));
    EXPECT_EQ(r.c.LBcm.caption, U"コマンド");
    EXPECT_TRUE(allShown(true));
    r.click(r.c.Label1[2]);  // blank: chooses nothing
  });
  then([&] { r.click(r.c.LBcm); });  // the header shows the same menu again
  then([&] {
    EXPECT_EQ(r.c.LBcm.caption, U"コマンド");
    r.click(r.c.Label1[1]);
  });
  EXPECT_EQ(r.menu.CMSL(4), 403);
  EXPECT_EQ(r.menu.MenuChoice, 3);
  EXPECT_TRUE(allShown(true));  // stays shown after a final choice

  // ADDCM adds a fifth entry beside four; DELCM of entry 0 moves the others up a label
  // while their codes stay.
  r.menu.CMST(0, U"＊A＊B＊C＊D");
  r.menu.setMenuText(0, 4, U"＊E");
  then([&] {
    EXPECT_EQ(captions(), (Captions{U"A", U"B", U"C", U"D", U"E"}));
    r.click(r.c.Label1[4]);
  });
  EXPECT_EQ(r.menu.CMSL(0), 4);
  r.menu.setMenuText(0, 0, U"");
  then([&] {
    EXPECT_EQ(captions(), (Captions{U"B", U"C", U"D", U"E", U""}));
    r.click(r.c.Label1[0]);
  });
  EXPECT_EQ(r.menu.CMSL(0), 1);
}

TEST_F(CommandMenuTest, SubmenusBackEntriesAndTheHeader) {
  r.menu.CMST(0, U"＊Wait１Go＝・＊North＠Back０Home");
  r.menu.setMenuText(0, 2, U"!odd");  // only ADDCM stores such an entry: it does nothing
  then([&] { r.click(r.c.Label1[2]); });
  then([&] { r.click(r.c.Label1[1]); });
  then([&] {
    EXPECT_EQ(r.c.LBcm.caption, U"Go＝＞");
    EXPECT_EQ(captions(), (Captions{U"North", U"Back", U"Home", U"", U""}));
    r.click(r.c.Label1[1]);  // "＠": back to the start menu
  });
  then([&] {
    EXPECT_EQ(r.c.LBcm.caption, U"コマンド");
    r.click(r.c.Label1[1]);
  });
  then([&] { r.click(r.c.Label1[2]); });  // a submenu entry naming the start menu
  then([&] {
    EXPECT_EQ(r.c.LBcm.caption, U"コマンド");
    EXPECT_EQ(captions()[0], U"Wait");
    r.click(r.c.Label1[1]);
  });
  then([&] { r.click(r.c.LBcm); });  // the header leads back to the start menu
  then([&] {
    EXPECT_EQ(r.c.LBcm.caption, U"コマンド");
    r.click(r.c.Label1[1]);
  });
  then([&] { r.click(r.c.Label1[0]); });
  EXPECT_EQ(r.menu.CMSL(0), 100);
  EXPECT_EQ(r.stalls, 9u);
}

TEST_F(CommandMenuTest, ItemCommandInASubmenuCancelsBackToItAndUsesTheItemShown) {
  r.vars.setItemName(0, U"Key");
  r.vars.setItemCount(3, 1);
  r.vars.setItemName(3, U"Lamp");
  r.menu.CMST(0, U"＊Look２Bag・・＊Drop￥Use");
  then([&] { r.click(r.c.Label1[1]); });
  then([&] { r.click(r.c.Label1[1]); });
  then([&] {
    EXPECT_TRUE(allShown(false));
    EXPECT_EQ(r.menu.MenuShown, 0);
    EXPECT_TRUE(r.items.selecting());
    EXPECT_EQ(r.c.ITMLabel1.caption, U"Key");
    EXPECT_EQ(r.timerLog, std::vector<bool>{false});
    r.click(r.c.ITMCommand2);  // "やめる"
  });
  then([&] {
    EXPECT_EQ(r.timerLog, (std::vector<bool>{false, true}));
    EXPECT_EQ(r.c.LBcm.caption, U"Bag＞");
    EXPECT_EQ(captions()[1], U"Use");
    EXPECT_TRUE(allShown(true));
    r.click(r.c.Label1[1]);
  });
  then([&] { r.click(r.c.ITMCommand3[1]); });  // "＞" to the item held
  then([&] {
    EXPECT_EQ(r.c.ITMLabel1.caption, U"Lamp");
    r.click(r.c.ITMCommand1);  // "使う"
  });
  EXPECT_EQ(r.menu.CMSL(0), 201);
  EXPECT_EQ(r.vars.var(0), 3);
  EXPECT_TRUE(allShown(false));  // the item branch hid it
  EXPECT_EQ(r.timerLog, (std::vector<bool>{false, true, false, true}));
}

TEST_F(CommandMenuTest, RightClicksToggleTheMenuWhileItWaits) {
  r.menu.CMST(1, U"＊Open＊Shut");
  then([&] { r.click(r.c.Label1[0], kRightButton); });
  then([&] {
    EXPECT_EQ(r.menu.MenuShown, 0);
    EXPECT_TRUE(allShown(false));
    EXPECT_EQ(r.menu.MenuChoice, 99);
    r.click(r.c.Picture1, kRightButton);
  });
  then([&] {
    EXPECT_TRUE(allShown(true));
    EXPECT_EQ(captions()[1], U"Shut");
    r.click(r.c.LBcm, kRightButton);
  });
  then([&] { r.click(r.c.MES, kRightButton); });
  then([&] { r.click(r.c.Label1[1]); });
  EXPECT_EQ(r.menu.CMSL(1), 101);
}

TEST_F(CommandMenuTest, ShowingAndHidingAndTheLockDuringTheOpening) {
  EXPECT_TRUE(allShown(false));
  EXPECT_EQ(r.menu.MenuShown, 0);
  r.menu.CMDS(2);
  EXPECT_TRUE(allShown(true));
  EXPECT_EQ(r.menu.MenuShown, 1);
  r.menu.CMDS(3);
  r.menu.CMDS(-1);
  r.menu.CMDS(1);
  EXPECT_EQ(r.menu.MenuShown, 1);
  r.menu.CMDS(2);
  EXPECT_TRUE(allShown(false));

  r.opTick = 1;
  for (const std::int16_t mode : {1, 2}) r.menu.CMDS(mode);
  EXPECT_TRUE(allShown(false));
  r.opTick = 0;
  r.menu.CMDS(1);
  r.opTick = 3;
  r.menu.CMDS(0);
  r.mes.MESHG(U"");  // the message window's hiding is locked too
  EXPECT_TRUE(allShown(true));
  EXPECT_EQ(r.menu.MenuShown, 1);
}

TEST_F(CommandMenuTest, LabelsShowPressedColoursForAnyButton) {
  r.menu.CMDS(1);
  r.c.Label1[2].caption = U"x";
  for (const int button : {kLeftButton, kRightButton, kMiddleButton}) {
    r.menu.Label1_MouseDown(2, button);
    EXPECT_EQ(r.c.Label1[2].backColor, rgb(192, 0, 0));
    r.menu.LBcm_MouseDown(button);
    EXPECT_EQ(r.c.LBcm.backColor, rgb(0, 192, 0));
    r.menu.MenuChoice = 99;
    r.menu.Label1_MouseUp(2, button);
    EXPECT_EQ(r.c.Label1[2].backColor, rgb(64, 64, 64));
    EXPECT_EQ(r.menu.MenuChoice, button == kLeftButton ? 2 : 99);
    r.menu.LBcm_MouseUp(button);
    EXPECT_EQ(r.c.LBcm.backColor, rgb(0, 128, 0));
    EXPECT_EQ(r.menu.MenuChoice, button == kLeftButton ? -1 : 99);
  }
  // Two right clicks: hidden and shown again.
  EXPECT_EQ(r.menu.MenuShown, 1);
  r.menu.Label1_MouseUp(7, kLeftButton);  // no such label
}

}  // namespace
}  // namespace qov::testing
