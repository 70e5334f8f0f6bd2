// Playing by gamepad: its buttons are the shell's actions, so a game played by pad alone ends
// exactly as one played by clicks, and nothing of the pad reaches the game but the clicks, the
// Enter and the Esc it knows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/shell/PlayGame.h"

namespace qov::test {
namespace {

TEST(PadPlay, PadButtonsAloneReachTheSaveThatClicksReach) {
  Game clicked;
  ShellWindow byClicks(clicked.dir.path());
  clickThrough(byClicks);
  ASSERT_EQ(byClicks.run(), 0);

  Game padded;
  ShellWindow w(padded.dir.path());
  std::vector<std::u32string> told;
  w.shell.onFocus([&](std::u32string_view caption) { told.emplace_back(caption); });
  auto& p = w.platform;
  Image secondPage;
  w.then([&] {
    p.pad(PadButton::A);  // no pad yet: lost
    p.plugPad();          // plugged in while the first page waits
    p.pad(PadButton::A);
  });
  w.then([&] {
    secondPage = p.frame();
    p.pad(PadButton::LB);  // the history
  });
  w.then([&] {
    EXPECT_TRUE(w.comforts.historyOpen());
    p.pad(PadButton::A);  // the history's, never the game's
    p.pad(PadButton::B);  // closes it
  });
  w.then([&] {
    EXPECT_FALSE(w.comforts.historyOpen());
    EXPECT_EQ(p.frame(), secondPage);
    p.pad(PadButton::A);
  });
  w.then([&] { p.pad(PadButton::A); });
  w.then([&] {  // the menu: the stick past its dead zone is Right, within it nothing
    p.padStick(Pads::Axis::X, 9000);
    p.padStick(Pads::Axis::X, 20000);
    p.padStick(Pads::Axis::X, 12000);  // still leaning: no second press
    p.padStick(Pads::Axis::X, 0);
    p.pad(PadButton::B);  // the right click hides the menu...
  });
  w.then([&] {
    EXPECT_FALSE(w.c.Label1[0].visible);
    p.pad(PadButton::B);  // ...and shows it
  });
  w.then([&] {
    EXPECT_TRUE(w.c.Label1[0].visible);
    p.pad(PadButton::A);  // 移動
  });
  w.then([&] {
    EXPECT_EQ(w.c.LBcm.caption, U"移動＞");
    p.pad(PadButton::Left);  // the header
    p.pad(PadButton::A);     // back to the first menu
  });
  w.then([&] {
    EXPECT_EQ(w.c.LBcm.caption, U"コマンド");
    p.pad(PadButton::Right);
    p.pad(PadButton::A);
  });
  for (int visit = 0; visit < 2; ++visit) {
    w.then([&] {
      p.pad(PadButton::Down);  // from the first row to the last entry
      p.pad(PadButton::A);
    });
    w.then([&, visit] {  // the item window: B is "やめる" the first time, then Right and "使う"
      ASSERT_TRUE(w.window.items().selecting());
      if (visit == 0) {
        p.pad(PadButton::Start);  // the player's menu, over the item window
        p.pad(PadButton::B);      // closes it
        p.pad(PadButton::B);
      } else {
        p.pad(PadButton::Right);
        p.pad(PadButton::A);
      }
    });
  }
  EXPECT_EQ(w.run(), 0);
  EXPECT_FALSE(w.shell.playerMenu().shown());
  EXPECT_EQ(w.window.variables().vars(), byClicks.window.variables().vars());
  EXPECT_EQ(padded.save(), clicked.save());
  const std::vector<std::u32string> expected{U"移動", U"移動＞", U"移動", U"持ち物を使う",
                                             U"持ち物を使う"};
  EXPECT_EQ(told, expected);
}

TEST(PadPlay, ADirectionHeldRepeatsUntilItIsLetGo) {
  Game game;
  ShellWindow w(game.dir.path());
  int moves = 0;
  w.shell.onFocus([&](std::u32string_view) { ++moves; });
  auto& p = w.platform;
  p.plugPad(3);
  for (int page = 0; page < 3; ++page) w.then([&] { p.pad(PadButton::A, std::nullopt, 3); });
  std::uint64_t start = 0;
  w.then([&] {  // the menu
    start = p.now();
    p.padDown(PadButton::Right, start, 3);
    p.padUp(PadButton::Right, start + Shell::kPadRepeatDelayMs + 2 * Shell::kPadRepeatMs + 10, 3);
  });
  w.then([&] {
    EXPECT_EQ(moves, 4);  // the press and three repeats
    p.closeWindow();
  });
  EXPECT_EQ(w.run(), 0);
}

TEST(PadPlay, RBHeldSkipsUntilLetGoOrUnplugged) {
  for (const bool unplug : {false, true}) {
    SCOPED_TRACE(unplug ? "unplugged" : "let go");
    Game game(U"MES,一ページ目。￥二ページ目。￥三ページ目。￥四ページ目。￥\nEXIT\n");
    ShellWindow w(game.dir.path());
    auto& p = w.platform;
    p.plugPad(0, 0);
    p.padDown(PadButton::RB, 0);
    if (unplug) {
      p.unplugPad(0, MessageWindow::kSkipPageMs + 30);  // during the second page
      w.then([&] { p.pad(PadButton::A); });             // lost: no pad left
      for (int i = 0; i < 3; ++i) w.then([&] { w.click(w.c.MES); });
    } else {
      p.padUp(PadButton::RB, MessageWindow::kSkipPageMs + 30);
      for (int i = 0; i < 3; ++i) w.then([&] { p.pad(PadButton::A); });
    }
    EXPECT_EQ(w.run(), 0);
    EXPECT_EQ(w.stalls, unplug ? 4u : 3u);
  }
}

TEST(PadPlay, TheKeysListOpenedByPadShowsThePadsButtons) {
  const std::vector<std::u32string> padPage = ActionTable(shellActions()).keysPage(true);
  ASSERT_FALSE(padPage.empty());
  EXPECT_EQ(padPage.front(), U"A　進める・決める　　↑・↓・←・→　選ぶ");
  Game game;
  ShellWindow w(game.dir.path());
  auto& p = w.platform;
  p.plugPad();
  w.then([&] { p.pad(PadButton::Back); });
  Image byPad;
  w.then([&] {
    EXPECT_TRUE(w.comforts.keysShown());
    byPad = p.frame();
    p.pad(PadButton::Y);  // closes it, and nothing else
  });
  w.then([&] {
    EXPECT_FALSE(w.comforts.keysShown());
    EXPECT_FALSE(w.shell.keyPlay().autoAdvance());
    p.key(Key::F1);
  });
  w.then([&] {
    EXPECT_NE(p.frame(), byPad);
    p.closeWindow();
  });
  EXPECT_EQ(w.run(), 0);
}

}  // namespace
}  // namespace qov::test
