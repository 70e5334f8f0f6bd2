#include "media/SoundEffects.h"

#include <gtest/gtest.h>

#include <optional>

#include "platform/Encoding.h"
#include "platform/ProgramEnd.h"
#include "platform/headless/HeadlessPlatform.h"
#include "tests/media/MediaTestSupport.h"

namespace qov {
namespace {

using Call = HeadlessSoundOutput::Call;

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

// One call after the other: what each logs, how long it waits, and whether a sound plays after.
TEST_F(SoundEffectsTest, Flags) {
  const auto door = current.path() / "door.wav";  // the current directory's file wins
  const auto bell = game.path() / "Bell.WAV";     // found whatever its case
  const auto beep = HeadlessSoundOutput::kDefaultSoundMs;
  struct Step {
    std::u32string_view name;
    std::int16_t flags;
    std::optional<Call> call;
    std::filesystem::path file;
    bool loop;
    std::uint64_t waits;
    bool playing;
  };
  const Step steps[] = {
      {U"door.wav", 0, Call::Play, door, false, 500, false},
      {U"bell.wav", 1, Call::Play, bell, false, 0, true},
      {U"door.wav", 17, {}, {}, false, 0, true},  // 16 leaves a playing sound alone
      {U"nothing.wav", 16, {}, {}, false, 0, true},
      {U"door.wav", 9, Call::Play, door, true, 0, true},      // loops until the next effect
      {U"door.wav", 8, Call::Play, door, false, 500, false},  // 8 without 1 plays once
      {U"bell.wav", 16, Call::Play, bell, false, 300, false},
      {U"nothing.wav", 0, Call::PlayDefault, {}, false, beep, false},
      {U"nothing.wav", 1, Call::PlayDefault, {}, false, 0, true},
      {U"nothing.wav", 3, Call::Stop, {}, false, 0, false},  // no default; what played ends
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(toUtf8(step.name) + " " + std::to_string(step.flags));
    const std::size_t logged = log().size();
    const std::uint64_t start = platform.now();
    sound.sndPlaySoundA(step.name, step.flags);
    EXPECT_EQ(platform.now() - start, step.waits);
    EXPECT_EQ(platform.sound().playing(), step.playing);
    ASSERT_EQ(log().size(), logged + (step.call ? 1 : 0));
    if (!step.call) continue;
    EXPECT_EQ(log().back().call, *step.call);
    EXPECT_EQ(log().back().file, step.file);
    EXPECT_EQ(log().back().loop, step.loop);
  }
}

TEST_F(SoundEffectsTest, TheWindowCanBeClosedWhileASoundIsWaitedFor) {
  struct ClosingSink final : EventSink {
    void mouseDown(int, int, int) override {}
    void mouseUp(int, int, int) override {}
    void keyDown(const KeyPress&) override {}
    void keyUp(const KeyPress&) override {}
    void mouseWheel(int) override {}
    void closeRequested() override { throw ProgramEnd{0}; }
    [[nodiscard]] bool frameChanged() const override { return false; }
    const Image& composeFrame() override { return frame; }
    Image frame;
  } sink;
  platform.setEventSink(&sink);
  int ticks = 0;
  platform.setTimerEnabled(platform.createTimer(100, [&ticks] { ++ticks; }), true);
  platform.closeWindow(1250);
  EXPECT_THROW(sound.sndPlaySoundA(U"long.wav", 8), ProgramEnd);
  EXPECT_EQ(platform.now(), 1250u);
  EXPECT_EQ(ticks, 12);  // the window's timers ran during the wait
  platform.setEventSink(nullptr);
}

}  // namespace
}  // namespace qov
