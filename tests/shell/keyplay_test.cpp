// Playing by keys: at the game's waits the keys make the clicks the mouse would, so that a
// game played by keys alone ends exactly as one played by clicks; auto-advance ends pages by
// itself and never a menu.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "engine/SaveFile.h"
#include "tests/shell/PlayGame.h"

namespace qov::test {
namespace {

namespace fs = std::filesystem;

constexpr Argb kFocus = rgb(0, 255, 255);

// The labels of a row overlap by a column; the one between them is left out.
int focusPixels(const Image& frame, const Control& label) {
  const Rect r = label.visibleFrameRect();
  return count(frame, Rect{r.x + 1, r.y, r.w - 2, r.h}, kFocus);
}

// The keys of a whole play of kGame, each group answering one wait.
void playByKeys(ShellWindow& w, const std::function<void(std::function<void()>)>& then) {
  const auto secondPage = std::make_shared<Image>();
  then([&w, secondPage] { w.platform.key(Key::Enter); });
  then([&w, secondPage] {
    *secondPage = w.platform.frame();
    w.platform.key(Key::Up);  // the history, at a page wait
  });
  then([&w, secondPage] {
    EXPECT_TRUE(w.comforts.historyOpen());
    w.platform.key(Key::Space);  // the history's, never the game's
    w.platform.key(Key::Down);   // closes it
  });
  then([&w, secondPage] {
    EXPECT_FALSE(w.comforts.historyOpen());
    EXPECT_EQ(w.platform.frame(), *secondPage);
    w.platform.key(Key::Space);
  });
  then([&w, secondPage] { w.platform.key(Key::Z); });
  then([&w, secondPage] {  // the menu, keys in use: the mark on its first entry
    EXPECT_GT(focusPixels(w.platform.frame(), w.c.Label1[0]), 0);
    w.platform.key(Key::Right);
  });
  then([&w, secondPage] {
    EXPECT_GT(focusPixels(w.platform.frame(), w.c.Label1[1]), 0);
    EXPECT_EQ(focusPixels(w.platform.frame(), w.c.Label1[0]), 0);
    EXPECT_FALSE(w.comforts.historyOpen());  // Up and Down are the menu's here
    w.platform.key(Key::Backspace);          // the right click hides the menu...
  });
  then([&w, secondPage] {
    EXPECT_FALSE(w.c.Label1[0].visible);
    w.platform.key(Key::X);  // ...and shows it
  });
  then([&w, secondPage] {
    EXPECT_TRUE(w.c.Label1[0].visible);
    w.platform.key(Key::Enter);  // 移動
  });
  then([&w, secondPage] {  // the submenu starts on its first entry
    EXPECT_EQ(w.c.LBcm.caption, U"移動＞");
    EXPECT_GT(focusPixels(w.platform.frame(), w.c.Label1[0]), 0);
    w.platform.key(Key::Left);   // the header
    w.platform.key(Key::Enter);  // back to the first menu
  });
  then([&w, secondPage] {
    EXPECT_EQ(w.c.LBcm.caption, U"コマンド");
    w.platform.key(Key::Right);
    w.platform.key(Key::Enter);
  });
  then([&w, secondPage] {
    w.platform.key(Key::Down);  // from the first row to the last entry
    w.platform.key(Key::Enter);
  });
  then([&w, secondPage] {  // the item window: Right is "＞", Enter "使う" as ever
    ASSERT_TRUE(w.window.items().selecting());
    w.platform.key(Key::Right);
    w.platform.key(Key::Enter);
  });
}

TEST(KeyPlay, KeysAloneReachTheSaveThatClicksReach) {
  Game clicked;
  ShellWindow byClicks(clicked.dir.path());
  clickThrough(byClicks);
  EXPECT_EQ(byClicks.run(), 0);
  EXPECT_EQ(byClicks.window.variables().var(9), 2);
  EXPECT_EQ(byClicks.window.variables().var(0), 3);

  for (const bool menuAtEachWait : {false, true}) {
    SCOPED_TRACE(menuAtEachWait ? "the player's menu opened and closed at each wait" : "keys");
    Game keyed;
    ShellWindow w(keyed.dir.path());
    std::vector<std::u32string> told;
    w.shell.onFocus([&](std::u32string_view caption) { told.emplace_back(caption); });
    // The player's menu, opened and closed before the keys that answer the wait; it holds the
    // game and the game never sees its presses.
    const auto then = [&](std::function<void()> answer) {
      w.then([&w, answer, menuAtEachWait] {
        if (menuAtEachWait && !w.window.items().selecting() && !w.comforts.historyOpen()) {
          w.platform.key(Key::Escape);
          w.platform.key(Key::Down);
          w.platform.key(Key::Up);
          w.platform.key(Key::Escape);
        }
        answer();
      });
    };
    playByKeys(w, then);
    EXPECT_EQ(w.run(), 0);
    EXPECT_EQ(w.window.variables().vars(), byClicks.window.variables().vars());
    EXPECT_EQ(keyed.save(), clicked.save());
    std::vector<std::u32string> expected;
    // The game's own, after the waits (counted from 0, the history's left out) they come in.
    const std::vector<std::pair<int, std::u32string>> game{
        {4, U"移動"}, {8, U"移動＞"}, {9, U"移動"}, {10, U"持ち物を使う"}};
    for (int wait = 0; wait < 11; ++wait) {
      if (menuAtEachWait) expected.insert(expected.end(), {U"セーブ", U"続ける"});
      for (const auto& [at, caption] : game) {
        if (at == wait) expected.push_back(caption);
      }
    }
    EXPECT_EQ(told, expected);
  }
}

TEST(KeyPlay, AMouseClickPutsTheFocusMarkAway) {
  Game game;
  ShellWindow w(game.dir.path());
  for (int i = 0; i < 3; ++i) w.then([&] { w.platform.key(Key::Enter); });
  w.then([&] {  // keys in use: the menu appears with its mark on the first entry
    EXPECT_GT(focusPixels(w.platform.frame(), w.c.Label1[0]), 0);
    w.click(w.c.Picture1);  // a click that chooses nothing
  });
  w.then([&] {
    EXPECT_EQ(focusPixels(w.platform.frame(), w.c.Label1[0]), 0);
    w.click(w.c.Label1[0]);
  });
  EXPECT_EQ(w.run(), 0);
  EXPECT_EQ(w.window.variables().var(9), 1);
}

TEST(KeyPlay, EnterWhileTheTextIsWrittenWritesTheRestOfThePageAtOnce) {
  Game game(U"MES,＃02一二三四五六七八九十。￥\nLET,9,1\nEXIT\n");  // 100 ms a character
  ShellWindow w(game.dir.path());
  w.platform.key(Key::Enter, 250);
  w.then([&] {  // the page wait, the whole page written soon after the key
    EXPECT_LT(w.stallTimes.back(), 400u);
    EXPECT_EQ(w.window.variables().var(9), 0);
    w.platform.key(Key::Space);
  });
  EXPECT_EQ(w.run(), 0);
  EXPECT_EQ(w.window.variables().var(9), 1);
}

TEST(KeyPlay, AutoAdvanceEndsPagesAfterTheirDelaysAndNeverAMenu) {
  Game game(
      U"MES,一ページ目。￥二ページ目、長め。￥\n"
      U"CMST,0,＊調べる\n"
      U"CMSL,0,7\n"
      U"CASE,0\n"
      U"LET,9,1\n"
      U"EXIT\n"
      U"ENDCM\n");
  TempDir config;
  const fs::path settings = config.path() / "qov.ini";
  std::ofstream(settings) << "[reading]\nauto-advance = 1000\nauto-advance-per-character = 50\n";
  ShellWindow w(game.dir.path());
  w.platform.setSettingsFile(settings);
  w.platform.key(Key::A);  // at the first page wait, with the clock at 0
  w.then([&] {             // the menu waits for the player
    const std::uint64_t pages = (1000u + 6 * 50) + (1000u + 9 * 50);
    EXPECT_GE(w.stallTimes.back(), pages);
    EXPECT_LT(w.stallTimes.back(), pages + 10);  // a tick of the interpreter or two
    EXPECT_TRUE(w.shell.keyPlay().autoAdvance());
    expectGolden(w.platform.frame(), "auto_advance_mark", kShellData);
    w.platform.key(Key::A);  // off: the mark goes
  });
  w.then([&] {
    EXPECT_FALSE(w.shell.keyPlay().autoAdvance());
    EXPECT_EQ(count(w.platform.frame(), w.c.MES.visibleFrameRect(), rgb(0, 0, 96)), 0);
    w.click(w.c.Label1[0]);
  });
  EXPECT_EQ(w.run(), 0);
  EXPECT_EQ(w.window.variables().var(9), 1);
}

}  // namespace
}  // namespace qov::test
