#include "media/SoundEffects.h"

#include <gtest/gtest.h>

#include "platform/ProgramEnd.h"
#include "platform/headless/HeadlessPlatform.h"
#include "tests/media/MediaTestSupport.h"

namespace qov {
namespace {

using Call = HeadlessSoundOutput::Call;

// A window that ends the program when the player closes it.
class ClosingSink final : public EventSink {
 public:
  void mouseDown(int, int, int) override {}
  void mouseUp(int, int, int) override {}
  void keyDown(Key) override {}
  void closeRequested() override { throw ProgramEnd{0}; }
  [[nodiscard]] bool frameChanged() const override { return false; }
  const Image& composeFrame() override { return frame_; }

 private:
  Image frame_;
};

class SoundEffectsTest : public ::testing::Test {
 protected:
  SoundEffectsTest() {
    test::writeFile(current.path() / "door.wav", test::waveFile(440, 500, 0.5, 8000));
    test::writeFile(game.path() / "door.wav", test::waveFile(440, 2000, 0.5, 8000));
    test::writeFile(game.path() / "Bell.WAV", test::waveFile(880, 300, 0.5, 8000));
    test::writeFile(game.path() / "long.wav", test::waveFile(440, 3000, 0.5, 8000));
  }
  const std::vector<HeadlessSoundOutput::Entry>& log() { return platform.headlessSound().log(); }

  test::TempDir current;
  test::TempDir game;
  HeadlessPlatform platform{{current.path(), game.path()}};
  SoundEffects sound{platform, {current.path(), game.path()}};
};

TEST_F(SoundEffectsTest, WaitsForTheEndOrReturnsAtOnce) {
  // Flags 0: the current directory's file wins and plays to its end before the call returns.
  sound.sndPlaySoundA(U"door.wav", 0);
  ASSERT_EQ(log().size(), 1u);
  EXPECT_EQ(log()[0].call, Call::Play);
  EXPECT_EQ(log()[0].file, current.path() / "door.wav");
  EXPECT_FALSE(log()[0].loop);
  EXPECT_EQ(platform.now(), 500u);
  EXPECT_FALSE(platform.sound().playing());

  // Flags 1: returns at once; names are found whatever their case.
  sound.sndPlaySoundA(U"bell.wav", 1);
  EXPECT_EQ(platform.now(), 500u);
  EXPECT_EQ(log().back().file, game.path() / "Bell.WAV");
  EXPECT_TRUE(platform.sound().playing());

  // 1 + 8 loops until the next effect, which replaces it; 8 without 1 plays once, waiting.
  sound.sndPlaySoundA(U"door.wav", 9);
  EXPECT_TRUE(log().back().loop);
  platform.waitEvents(5000);
  EXPECT_TRUE(platform.sound().playing());
  const std::uint64_t start = platform.now();
  sound.sndPlaySoundA(U"door.wav", 8);
  EXPECT_FALSE(log().back().loop);
  EXPECT_EQ(platform.now(), start + 500);
}

TEST_F(SoundEffectsTest, AMissingFilePlaysTheDefaultSoundUnlessToldNot) {
  sound.sndPlaySoundA(U"nothing.wav", 0);
  ASSERT_FALSE(log().empty());
  EXPECT_EQ(log().back().call, Call::PlayDefault);
  EXPECT_EQ(platform.now(), HeadlessSoundOutput::kDefaultSoundMs);  // waited for it

  const std::uint64_t start = platform.now();
  sound.sndPlaySoundA(U"nothing.wav", 1);
  EXPECT_EQ(log().back().call, Call::PlayDefault);
  EXPECT_EQ(platform.now(), start);

  // 2: no default sound; the effect that played ends all the same.
  sound.sndPlaySoundA(U"door.wav", 1);
  const std::size_t before = log().size();
  sound.sndPlaySoundA(U"nothing.wav", 3);
  sound.sndPlaySoundA(U"", 2);
  for (std::size_t i = before; i < log().size(); ++i) EXPECT_NE(log()[i].call, Call::PlayDefault);
  EXPECT_FALSE(platform.sound().playing());
  EXPECT_EQ(platform.now(), start);
}

TEST_F(SoundEffectsTest, NoStopLeavesAPlayingSoundAlone) {
  sound.sndPlaySoundA(U"door.wav", 1);
  const std::size_t before = log().size();
  sound.sndPlaySoundA(U"bell.wav", 17);
  sound.sndPlaySoundA(U"nothing.wav", 16);
  EXPECT_EQ(log().size(), before);
  EXPECT_EQ(platform.now(), 0u);

  // With nothing playing, 16 plays as usual (and waits, without 1).
  while (platform.now() < 600)
    platform.waitEvents(600 - static_cast<std::uint32_t>(platform.now()));
  sound.sndPlaySoundA(U"bell.wav", 16);
  EXPECT_EQ(log().back().file, game.path() / "Bell.WAV");
  EXPECT_EQ(platform.now(), 900u);
}

TEST_F(SoundEffectsTest, TheWindowCanBeClosedWhileASoundIsWaitedFor) {
  ClosingSink sink;
  platform.setEventSink(&sink);
  int ticks = 0;
  const TimerId timer = platform.createTimer(100, [&ticks] { ++ticks; });
  platform.setTimerEnabled(timer, true);
  platform.closeWindow(1250);
  EXPECT_THROW(sound.sndPlaySoundA(U"long.wav", 8), ProgramEnd);
  EXPECT_EQ(platform.now(), 1250u);
  EXPECT_EQ(ticks, 12);  // the window's timers ran during the wait
  platform.setEventSink(nullptr);
}

}  // namespace
}  // namespace qov
