// Presses that the shell's screens take, or that were made before one opened, never reach the
// game: no menu choice, no item button, and one click closes a screen and does nothing else.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/shell/ShellTestSupport.h"

namespace qov::test {
namespace {

const std::filesystem::path kGame = kShellData / "presses";

struct Opening {
  std::string name;
  std::function<void(HeadlessPlatform&)> open;  // queues what opens the screen
  std::function<bool(Comforts&)> shown;
};

const Opening kScreens[] = {
    {"history", [](HeadlessPlatform& p) { p.wheel(1); },
     [](Comforts& c) { return c.historyOpen(); }},
    {"keys list", [](HeadlessPlatform& p) { p.key(Key::F1); },
     [](Comforts& c) { return c.keysShown(); }},
};

void pressOpenRelease(ShellWindow& w, const Control& target, const Opening& screen) {
  const Rect r = target.visibleFrameRect();
  w.platform.mouseDown(r.x + r.w / 2, r.y + r.h / 2);
  screen.open(w.platform);
  w.platform.mouseUp(r.x + r.w / 2, r.y + r.h / 2);
}

TEST(Presses, AMenuEntryPressedBeforeAScreenOpenedIsNotChosenBehindIt) {
  for (const Opening& screen : kScreens) {
    SCOPED_TRACE(screen.name);
    ShellWindow w(kGame);
    w.then([&] { w.click(w.c.MES); });
    w.then([&] { w.click(w.c.MES); });
    w.then([&] { pressOpenRelease(w, w.c.Label1[1], screen); });  // "休む"
    w.then([&] {
      EXPECT_TRUE(screen.shown(w.comforts));
      EXPECT_EQ(w.window.menu().MenuChoice, 99);
      w.click(w.c.Label1[1]);  // closes the screen, chooses nothing
    });
    Argb entryBack = 0;
    w.then([&] {
      EXPECT_FALSE(screen.shown(w.comforts));
      EXPECT_EQ(w.window.menu().MenuChoice, 99);
      EXPECT_EQ(w.window.variables().var(9), 0);
      entryBack = w.c.Label1[1].backColor;
      w.click(w.c.Label1[1]);
    });
    EXPECT_EQ(w.run(), 0);
    EXPECT_EQ(w.stalls, 5u);
    EXPECT_EQ(w.window.variables().var(9), 4);
    EXPECT_EQ(entryBack, w.c.Label1[0].backColor);  // no longer pressed
  }
}

TEST(Presses, AnItemButtonPressedBeforeAScreenOpenedComesUpWithoutAClick) {
  for (const Opening& screen : kScreens) {
    SCOPED_TRACE(screen.name);
    ShellWindow w(kGame);
    w.then([&] { w.click(w.c.MES); });
    w.then([&] { w.click(w.c.MES); });
    w.then([&] { w.click(w.c.Label1[0]); });  // "持ち物"
    w.then([&] { w.click(w.c.Label1[1]); });  // "使う": the item window
    w.then([&] { pressOpenRelease(w, w.c.ITMCommand1, screen); });
    w.then([&] {
      EXPECT_TRUE(screen.shown(w.comforts));
      EXPECT_TRUE(w.window.items().selecting());
      EXPECT_FALSE(w.c.ITMCommand1.pressed);
      EXPECT_FALSE(w.platform.timerEnabled(w.window.timerQov()));
      w.click(w.c.ITMCommand3[1]);  // closes the screen, browses nothing
    });
    w.then([&] {
      EXPECT_FALSE(screen.shown(w.comforts));
      EXPECT_EQ(w.c.ITMLabel1.caption, U"鍵");
      w.click(w.c.ITMCommand3[1]);
    });
    w.then([&] { w.click(w.c.ITMCommand1); });  // "ランプ" used
    EXPECT_EQ(w.run(), 0);
    EXPECT_EQ(w.stalls, 8u);
    EXPECT_EQ(w.window.variables().var(9), 201);
  }
}

}  // namespace
}  // namespace qov::test
