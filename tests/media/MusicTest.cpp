#include "media/Music.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "media/SoundEffects.h"
#include "platform/headless/HeadlessPlatform.h"
#include "tests/media/MediaTestSupport.h"

namespace qov {
namespace {

using State = HeadlessMusicDevice::State;
using Commands = std::vector<std::string>;

class MusicTest : public ::testing::Test {
 protected:
  MusicTest() {
    test::writeFile(dir.path() / "TITLE.MID", {0});
    test::writeFile(dir.path() / "umi.mid", {0});
  }

  // The commands sent since the last call, without the loop's status queries.
  Commands sent() {
    Commands out;
    const auto& all = device().commands();
    for (; seen < all.size(); ++seen) {
      if (all[seen] != "status bg mode") out.push_back(all[seen]);
    }
    return out;
  }
  HeadlessMusicDevice& device() { return platform.headlessMusic(); }
  bool loopOn() const { return platform.timerEnabled(music.timerMIDI()); }

  test::TempDir dir;
  HeadlessPlatform platform{{dir.path()}};
  Music music{platform};
  std::size_t seen = 0;
};

TEST_F(MusicTest, EachModeSendsItsCommandsAndSetsTheLoop) {
  music.MUSPL(U"TITLE", 1);
  EXPECT_EQ(sent(), (Commands{"open TITLE.MID alias bg", "play bg"}));
  EXPECT_TRUE(loopOn());
  EXPECT_EQ(device().state(), State::Playing);

  // Mode 1 while a piece is open: the open fails and the old piece plays on.
  music.MUSPL(U"umi", 1);
  EXPECT_EQ(sent(), (Commands{"open umi.MID alias bg", "play bg"}));
  EXPECT_EQ(device().openFile(), dir.path() / "TITLE.MID");

  // Every other mode does nothing at all, not even a stop.
  for (std::int16_t mode : {2, 5, 8, 10, -1, 32767, -32768}) music.MUSPL(U"TITLE", mode);
  EXPECT_EQ(sent(), Commands{});
  EXPECT_EQ(device().state(), State::Playing);

  music.MUSPL(U"ignored", 0);
  EXPECT_EQ(sent(), (Commands{"stop bg", "close bg"}));
  EXPECT_FALSE(loopOn());
  EXPECT_EQ(device().state(), State::Closed);

  // Names are found whatever their case.
  music.MUSPL(U"UMI", 1);
  EXPECT_EQ(sent(), (Commands{"open UMI.MID alias bg", "play bg"}));
  EXPECT_EQ(device().openFile(), dir.path() / "umi.mid");

  // Mode 9 closes only; the loop keeps its state, on or off.
  music.MUSPL(U"", 9);
  EXPECT_EQ(sent(), (Commands{"close bg"}));
  EXPECT_TRUE(loopOn());
  EXPECT_EQ(device().state(), State::Closed);
  music.MUSPL(U"", 0);
  (void)sent();
  music.MUSPL(U"", 9);
  EXPECT_EQ(sent(), (Commands{"close bg"}));
  EXPECT_FALSE(loopOn());

  // A missing file: both commands fail silently, the loop runs and its queries fail.
  music.MUSPL(U"missing", 1);
  (void)sent();
  EXPECT_TRUE(loopOn());
  platform.waitEvents(100);
  EXPECT_EQ(sent(), Commands{});
  EXPECT_EQ(device().state(), State::Closed);
}

TEST_F(MusicTest, APieceThatEndsStartsAgainWithinOneTick) {
  device().setPieceLength(495);  // ends between two ticks of the loop
  music.MUSPL(U"TITLE", 1);
  (void)sent();
  std::uint64_t endedAt = 0;
  int restarts = 0;
  State last = State::Playing;
  while (platform.now() < 1800) {
    platform.waitEvents(1);
    const State now = device().state();
    if (last == State::Playing && now == State::Stopped) endedAt = platform.now();
    if (last == State::Stopped && now == State::Playing) {
      ++restarts;
      EXPECT_LE(platform.now() - endedAt, 10u);
    }
    last = now;
  }
  EXPECT_EQ(restarts, 3);
  EXPECT_EQ(sent(), (Commands{"seek bg to start", "play bg", "seek bg to start", "play bg",
                              "seek bg to start", "play bg"}));
}

TEST_F(MusicTest, TheLoopAsksOnlyWhenTheAnswerCanChange) {
  // A piece whose length the device knows: the loop sleeps through the ticks that would find it
  // playing, waking once a second and on the first tick after the end.
  device().setPieceLength(4995);
  music.MUSPL(U"TITLE", 1);
  platform.waitEvents(12000);
  EXPECT_EQ(device().restartGaps(), (std::vector<std::uint64_t>{5, 5}));
  const auto queries = [this] {
    return std::count(device().commands().begin(), device().commands().end(), "status bg mode");
  };
  EXPECT_LE(queries(), 20);  // 1,200 ticks

  // A device that cannot tell when its piece ends is asked on every tick.
  music.MUSPL(U"", 0);
  device().setPieceLength(std::nullopt);
  music.MUSPL(U"TITLE", 1);
  const auto before = queries();
  platform.waitEvents(1003);
  EXPECT_EQ(queries() - before, 100);
  device().endPiece();
  platform.waitEvents(10);
  ASSERT_EQ(device().restartGaps().size(), 3u);
  EXPECT_LE(device().restartGaps().back(), 10u);
}

TEST_F(MusicTest, TheLoopGoesOnWhileTheProgramWaitsAndStopsWithModeNine) {
  test::writeFile(dir.path() / "long.wav", test::waveFile(440, 3000, 0.5, 8000));
  device().setPieceLength(450);
  music.MUSPL(U"TITLE", 1);
  (void)sent();
  SoundEffects sound(platform, {dir.path()});
  sound.sndPlaySoundA(U"long.wav", SoundEffects::kSync);  // three seconds of waiting
  const Commands restarts = sent();
  EXPECT_EQ(std::count(restarts.begin(), restarts.end(), "seek bg to start"), 6);
  EXPECT_EQ(device().state(), State::Playing);

  // After mode 9 the loop still ticks, but its queries fail and nothing starts again.
  music.MUSPL(U"", 9);
  (void)sent();
  const std::size_t before = device().commands().size();
  platform.waitEvents(1000);
  EXPECT_GT(device().commands().size(), before + 50);  // status queries every 10 ms
  EXPECT_EQ(sent(), Commands{});
  EXPECT_EQ(device().state(), State::Closed);
}

}  // namespace
}  // namespace qov
