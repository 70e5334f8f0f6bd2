// The opening played from the title menu: its transcript, the second of each lyric, and the
// title menu, hidden by the game before the opening, which a right click cannot bring back.

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "tests/game/GamePlay.h"

namespace qov::test {
namespace {

TEST(GameOpening, PlaysFromTheTitleMenuThenTheGameEnds) {
  GameCopy game;
  GamePlay play(game, {"オープニング", "おわる"});
  std::optional<std::uint64_t> start;
  std::vector<std::uint64_t> seconds;
  bool ended = false;
  play.onShow = [&](Qov::Shown shown, std::u32string_view text) {
    const std::int16_t menuShown = play.window.menu().MenuShown;
    if (text == U"OP1") {
      start = play.platform.now();
      play.platform.click(250, 150, kRightButton, *start + 5000);
    }
    if (shown != Qov::Shown::Message) return;
    if (ended) {  // the message after the opening could hide the menu again
      EXPECT_EQ(menuShown, 0);
      ended = false;
    }
    if (!start) return;
    if (text.find(U"おわり") != std::u32string_view::npos) {
      // The game hides its menu before the opening; the right click cannot show it meanwhile.
      EXPECT_EQ(menuShown, 0);
      start.reset();
      ended = true;
      return;
    }
    seconds.push_back((play.platform.now() - *start + 500) / 1000);
  };
  EXPECT_EQ(play.run(), 0);
  EXPECT_EQ(seconds, (std::vector<std::uint64_t>{0, 8, 14, 20, 25, 31, 36, 42, 48, 54, 59}));
  play.expectTranscript("opening");
}

}  // namespace
}  // namespace qov::test
