#include <gtest/gtest.h>

#include <string>

#include "tests/ui/message_qov_run.h"

namespace qov::testing {
namespace {

TEST(CommandMenuInQov, SubmenuItemCommandCancelledThenUsedGoesToItsCase) {
  QovRun run("menu");
  WindowControls& c = run.window.controls();
  CommandMenu& menu = run.window.menu();
  run.then([&] {
    // DELCM emptied entry 0, so the entries 1 and 4 take the first two labels.
    EXPECT_EQ(c.LBcm.caption, U"コマンド");
    EXPECT_EQ(c.Label1[0].caption, U"持ち物");
    EXPECT_EQ(c.Label1[1].caption, U"休む");
    EXPECT_EQ(c.Label1[2].caption, U"");
    run.click(c.Label1[0]);
  });
  run.then([&] {
    EXPECT_EQ(c.LBcm.caption, U"持ち物＞");
    EXPECT_EQ(c.Label1[1].caption, U"使う");
    run.click(c.MES, kRightButton);
  });
  run.then([&] {
    EXPECT_EQ(menu.MenuShown, 0);
    EXPECT_FALSE(c.Label1[1].visible);
    run.click(c.Picture1, kRightButton);
  });
  run.then([&] {
    EXPECT_EQ(menu.MenuShown, 1);
    run.click(c.Label1[1]);
  });
  run.then([&] {
    EXPECT_TRUE(run.window.items().selecting());
    EXPECT_EQ(c.ITMLabel1.caption, U"鍵");
    EXPECT_FALSE(run.platform.timerEnabled(run.window.timerQov()));
    run.click(c.ITMCommand2);  // "やめる"
  });
  run.then([&] {
    EXPECT_TRUE(run.platform.timerEnabled(run.window.timerQov()));
    EXPECT_EQ(c.LBcm.caption, U"持ち物＞");
    EXPECT_TRUE(c.Label1[1].shown());
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

}  // namespace
}  // namespace qov::testing
