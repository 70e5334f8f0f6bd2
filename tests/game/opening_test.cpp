// The opening, played from the title menu: its eleven steps at their seconds, the lyrics, and
// the command menu that the player cannot hide while it runs.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "media/Opening.h"
#include "tests/game/GamePlay.h"

namespace qov::testing {
namespace {

TEST(GameOpening, PlaysFromTheTitleMenuThenTheGameEnds) {
  GameCopy game;
  GamePlay play(game.path());
  const WindowControls& c = play.window.controls();

  std::vector<std::u32string> pictures;
  std::vector<std::u32string> texts;
  std::vector<std::uint64_t> seconds;  // of each text, from the first step on
  std::uint64_t firstStep = 0;
  bool running = false;
  play.onShow([&](Qov::Shown shown, std::u32string_view text) {
    if (shown == Qov::Shown::Picture && text == U"OP1") {
      running = true;
      firstStep = play.platform.now();
      // A right click in the middle of the opening: the menu stays as it is.
      play.platform.click(250, 150, kRightButton, firstStep + 5000);
    }
    if (!running) return;
    if (shown == Qov::Shown::Picture) {
      pictures.emplace_back(text);
      if (text == U"OP3") {
        EXPECT_EQ(play.window.menu().MenuShown, 1);
      }
      if (text != U"OP1" && text != U"OP2") {  // the lyric line before it is on the screen
        EXPECT_GT(play.count(Rect{0, 336, 504, 45}, rgb(0, 0, 0)), 0);
      }
      return;
    }
    if (text.find(U"おわり") != std::u32string_view::npos) {
      running = false;
      return;
    }
    texts.emplace_back(text);
    seconds.push_back((play.platform.now() - firstStep + 500) / 1000);
  });

  play.choose({"オープニング"});
  play.atMessage("オープニング　おわり", [&] {
    // The message could hide the menu again: the opening's clock is back at 0.
    EXPECT_EQ(play.window.menu().MenuShown, 0);
    EXPECT_FALSE(c.LBcm.shown());
    play.expectScene("OP8");
  });
  play.choose({"おわる"});
  EXPECT_EQ(play.run(), 0);

  EXPECT_EQ(pictures, (std::vector<std::u32string>{U"OP1", U"OP2", U"OP3", U"OP4", U"OP5", U"OP6",
                                                   U"OP7", U"OP8"}));
  std::vector<std::u32string> lyrics{U"＃００＠００"};
  for (const std::u32string_view line : Opening::kLyrics) lyrics.emplace_back(line);
  EXPECT_EQ(texts, lyrics);
  EXPECT_EQ(seconds, (std::vector<std::uint64_t>{0, 8, 14, 20, 25, 31, 36, 42, 48, 54, 59}));
  play.expectTranscript("opening");
}

}  // namespace
}  // namespace qov::testing
