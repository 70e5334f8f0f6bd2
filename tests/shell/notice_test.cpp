// The game's notices (a save that failed) in the window: the game waits until the player has
// closed it, the clocks go on meanwhile, and the keys that close it reach nothing else.
#include <gtest/gtest.h>

#include <string>

#include "tests/shell/ShellTestSupport.h"

namespace qov::test {
namespace {

TEST(Notice, TheGameWaitsUnderItUntilAClickEnterSpaceOrEscClosesIt) {
  const std::function<void(HeadlessPlatform&, std::uint64_t)> closes[] = {
      [](HeadlessPlatform& p, std::uint64_t at) { p.click(250, 150, kLeftButton, at); },
      [](HeadlessPlatform& p, std::uint64_t at) { p.click(250, 150, kRightButton, at); },
      [](HeadlessPlatform& p, std::uint64_t at) { p.key(Key::Enter, at); },
      [](HeadlessPlatform& p, std::uint64_t at) { p.key(Key::Space, at); },
      [](HeadlessPlatform& p, std::uint64_t at) { p.key(Key::Escape, at); },
  };
  for (std::size_t k = 0; k < std::size(closes); ++k) {
    SCOPED_TRACE(k);
    TempDir game;
    writeScript(game.path(), "wnatu", U"LET,1,1\nMES,待っている。￥\nLET,1,2\nEXIT");
    ShellWindow w(game.path());
    std::uint64_t returnedAt = 0;
    w.then([&] {  // the page waits: the notice comes from inside the game's tick
      const std::uint64_t shownAt = w.platform.now();
      w.platform.key(Key::Other, shownAt + 1000);  // read, but does not close it
      w.platform.key(Key::F1, shownAt + 2000);     // no keys list under a notice
      closes[k](w.platform, shownAt + 10000);
      w.window.showNotice(U"保存できません\r\nTOVELI2.DAT");
      returnedAt = w.platform.now() - shownAt;
      EXPECT_FALSE(w.comforts.keysShown());
      w.click(w.c.MES);
    });
    std::string err;
    EXPECT_EQ(w.run(&err), 0);
    EXPECT_EQ(err, "保存できません\nTOVELI2.DAT\n");
    EXPECT_TRUE(w.platform.messageBoxes().empty());
    EXPECT_EQ(returnedAt, 10000u);
    EXPECT_EQ(w.stalls, 1u);
    EXPECT_EQ(w.window.variables().var(1), 2);
  }
}

}  // namespace
}  // namespace qov::test
