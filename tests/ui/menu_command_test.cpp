#include <gtest/gtest.h>

#include <array>
#include <string>

#include "engine/ScriptError.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/ItemWindow.h"

namespace qov::test {
namespace {

using Captions = std::array<std::u32string, 5>;

Captions captions(const WindowControls& c) {
  Captions out;
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = c.Label1[i].caption;
  return out;
}

TEST(CommandMenuInQov, SubmenuItemCommandCancelledThenUsedGoesToItsCase) {
  Window run(kUiData / "menu");
  WindowControls& c = run.c;
  run.then([&] {  // DELCM emptied entry 0: entries 1 and 4 take the first two labels
    EXPECT_EQ(captions(c), (Captions{U"持ち物", U"休む", U"", U"", U""}));
    EXPECT_EQ(c.LBcm.caption, U"コマンド");
    run.click(c.Label1[0]);
  });
  run.then([&] {
    EXPECT_EQ(c.LBcm.caption, U"持ち物＞");
    EXPECT_EQ(c.Label1[1].caption, U"使う");
    run.click(c.MES, kRightButton);
  });
  run.then([&] {
    EXPECT_EQ(run.window.menu().MenuShown, 0);
    EXPECT_FALSE(c.Label1[1].visible);
    run.click(c.Picture1, kRightButton);
  });
  run.then([&] {
    EXPECT_EQ(run.window.menu().MenuShown, 1);
    run.click(c.Label1[1]);
  });
  run.then([&] {
    EXPECT_EQ(c.ITMLabel1.caption, U"鍵");
    EXPECT_FALSE(run.platform.timerEnabled(run.window.timerQov()));
    run.click(c.ITMCommand2);  // "やめる": back to the submenu
  });
  run.then([&] {
    EXPECT_TRUE(run.platform.timerEnabled(run.window.timerQov()));
    EXPECT_EQ(c.LBcm.caption, U"持ち物＞");
    run.click(c.Label1[1]);
  });
  run.then([&] { run.click(c.ITMCommand3[1]); });
  run.then([&] {
    EXPECT_EQ(c.ITMLabel1.caption, U"ランプ");
    run.click(c.ITMCommand1);  // "使う"
  });
  EXPECT_EQ(run.run(), 0);
  EXPECT_EQ(run.stalls, 8u);
  EXPECT_EQ(run.window.variables().var(0), 3);
  EXPECT_EQ(run.window.variables().var(9), 201);
  EXPECT_TRUE(run.platform.messageBoxes().empty());
}

TEST(CommandMenu, DefinitionsFillConsecutiveMenusAndBadOnesChangeNothing) {
  Window w;
  CommandMenu& m = w.window.menu();
  m.setMenuText(4, 0, U"＊kept");
  m.CMST(2, U"＊A＊B３C・＊D＠E");
  EXPECT_EQ(m.MenuText[2], (Captions{U"＊A", U"＊B", U"３C", U"", U""}));
  EXPECT_EQ(m.MenuText[3], (Captions{U"＊D", U"＠E", U"", U"", U""}));
  EXPECT_EQ(m.MenuText[4][0], U"＊kept");
  m.CMST(3, U"￥Items・");  // a trailing "・" clears the menu after the last one
  EXPECT_EQ(m.MenuText[3], (Captions{U"￥Items", U"", U"", U"", U""}));
  EXPECT_EQ(m.MenuText[4], Captions{});
  m.CMST(2, U"");  // clears its menu only
  EXPECT_EQ(m.MenuText[2], Captions{});
  EXPECT_EQ(m.MenuText[3][0], U"￥Items");

  const auto before = m.MenuText;
  const std::u32string bad = U"メニュー定義が不正";
  const std::pair<std::function<void()>, std::u32string> cases[] = {
      {[&] { m.CMST(8, U"＊A・＊B・＊C"); }, bad},
      {[&] { m.CMST(9, U"・"); }, bad},
      {[&] { m.CMST(10, U"＊A"); }, U"範囲外"},
      {[&] { m.CMST(-1, U"＊A"); }, U"範囲外"},
      {[&] { m.setMenuText(10, 0, U"＊A"); }, U"範囲外"},
      {[&] { m.setMenuText(0, 5, U"＊A"); }, U"範囲外"},
      {[&] { m.setMenuText(0, -1, U""); }, U"範囲外"},
      {[&] { (void)m.CMSL(10); }, U"範囲外"},
  };
  for (const auto& [call, error] : cases) {
    try {
      call();
      ADD_FAILURE() << "no error: " << toUtf8(error);
    } catch (const ScriptError& e) {
      EXPECT_EQ(e.text, error);
    }
  }
  EXPECT_EQ(m.MenuText, before);
}

TEST(CommandMenu, EntriesArePackedSubmenusLeadOnAndTheHeaderLeadsBack) {
  Window w;
  CommandMenu& m = w.window.menu();
  WindowControls& c = w.c;
  m.setMenuText(4, 1, U"＊Look");
  m.setMenuText(4, 3, U"＊Talk");
  w.then([&] {
    EXPECT_EQ(captions(c), (Captions{U"Look", U"Talk", U"", U"", U""}));
    w.click(c.Label1[2]);  // blank: chooses nothing
  });
  w.then([&] { w.click(c.LBcm); });  // the header shows the menu again
  w.then([&] { w.click(c.Label1[1]); });
  EXPECT_EQ(m.CMSL(4), 403);
  EXPECT_TRUE(c.LBcm.shown());  // a final choice leaves the menu shown

  m.CMST(0, U"＊Wait１Go＝・＊North＠Back０Home");
  m.setMenuText(0, 2, U"!odd");  // only ADDCM stores such an entry: it does nothing
  w.answers.clear();
  w.stalls = 0;
  w.then([&] { w.click(c.Label1[2]); });
  w.then([&] { w.click(c.Label1[1]); });
  w.then([&] {
    EXPECT_EQ(c.LBcm.caption, U"Go＝＞");
    EXPECT_EQ(captions(c), (Captions{U"North", U"Back", U"Home", U"", U""}));
    w.click(c.Label1[1]);  // "＠": back to the start menu
  });
  w.then([&] {
    EXPECT_EQ(c.LBcm.caption, U"コマンド");
    w.click(c.Label1[1]);
  });
  w.then([&] { w.click(c.Label1[2]); });  // an entry naming menu 0 leads there
  w.then([&] {
    EXPECT_EQ(captions(c)[0], U"Wait");
    w.click(c.Label1[1]);
  });
  w.then([&] { w.click(c.LBcm); });  // the header leads back to the start menu
  w.then([&] {
    EXPECT_EQ(c.LBcm.caption, U"コマンド");
    w.click(c.Label1[1]);
  });
  w.then([&] { w.click(c.Label1[0]); });
  EXPECT_EQ(m.CMSL(0), 100);
  EXPECT_EQ(w.stalls, 9u);
}

TEST(CommandMenu, ShowHideToggleLockedDuringTheOpeningAndPressedColours) {
  HeadlessPlatform p;
  WindowControls c(p);
  Variables vars;
  ItemWindow items(c, vars);
  std::int16_t opTick = 0;
  CommandMenu menu(
      p, c.LBcm, {&c.Label1[0], &c.Label1[1], &c.Label1[2], &c.Label1[3], &c.Label1[4]}, items,
      vars, [](bool) {}, [&] { return opTick; });
  MessageWindow mes(p, c.MES, menu, items, vars, [](Cursor) {});
  const auto shown = [&](bool on) {
    bool same = c.LBcm.visible == on && menu.MenuShown == (on ? 1 : 0);
    for (const Label& l : c.Label1) same = same && l.visible == on;
    return same;
  };
  EXPECT_TRUE(shown(false));
  menu.CMDS(2);
  EXPECT_TRUE(shown(true));
  for (const std::int16_t mode : {3, -1, 1}) menu.CMDS(mode);
  EXPECT_TRUE(shown(true));
  menu.CMDS(2);
  EXPECT_TRUE(shown(false));

  opTick = 1;
  for (const std::int16_t mode : {1, 2}) menu.CMDS(mode);
  EXPECT_TRUE(shown(false));
  opTick = 0;
  menu.CMDS(1);
  opTick = 3;
  menu.CMDS(0);
  mes.MESHG(U"");  // the message window's hiding is locked too
  EXPECT_TRUE(shown(true));
  opTick = 0;

  c.Label1[2].caption = U"x";
  for (const int button : {kLeftButton, kRightButton, kMiddleButton}) {
    menu.Label1_MouseDown(2, button);
    menu.LBcm_MouseDown(button);
    EXPECT_EQ(c.Label1[2].backColor, CommandMenu::kEntryPressed);
    EXPECT_EQ(c.LBcm.backColor, CommandMenu::kHeaderPressed);
    menu.MenuChoice = 99;
    menu.Label1_MouseUp(2, button);
    EXPECT_EQ(menu.MenuChoice, button == kLeftButton ? 2 : 99);
    menu.LBcm_MouseUp(button);
    EXPECT_EQ(menu.MenuChoice, button == kLeftButton ? -1 : 99);
    EXPECT_EQ(c.Label1[2].backColor, CommandMenu::kEntryBack);
    EXPECT_EQ(c.LBcm.backColor, CommandMenu::kHeaderBack);
  }
}

}  // namespace
}  // namespace qov::test
