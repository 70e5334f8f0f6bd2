// The music device on FluidSynth, driven as the window's thread and the audio thread drive it;
// the test renders the sound itself, block by block.
#include "platform/audio/FluidMusic.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <future>
#include <thread>

#include "platform/Files.h"
#include "tests/media/MediaTestSupport.h"

namespace qov {
namespace {

constexpr int kRate = 44100;
constexpr std::size_t kBlock = 1024;

std::optional<std::filesystem::path> soundFont() {
  for (const char* file :
       {"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/default-GM.sf2"}) {
    if (std::filesystem::exists(file)) return file;
  }
  return std::nullopt;
}

class FluidMusicTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!soundFont()) GTEST_SKIP() << "no General MIDI soundfont";
  }

  // A device whose synthesizers are counted; `gate`, when given, holds the loading back.
  std::unique_ptr<FluidMusic> device(std::shared_future<void> gate = {}) {
    return std::make_unique<FluidMusic>(
        [this, gate] {
          if (gate.valid()) gate.wait();
          ++synthesizers;
          auto synth = Synthesizer::create(kRate);
          synth->loadSoundFont(*soundFont());
          loaded = true;
          return synth;
        },
        [this](std::string_view name) { return findFile(dir.path(), name); }, kRate, 1.0, nullptr);
  }

  void waitReady(FluidMusic& music) {
    for (int i = 0; i < 1000 && !music.ready(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(music.ready());
  }

  // Plays `seconds` of sound block by block, as the audio thread does, with the loop of the
  // window's timer between the blocks: a piece that says "stopped" starts again.
  std::vector<std::int16_t> playLooping(FluidMusic& music, double seconds, int& restarts) {
    std::vector<std::int16_t> left;
    std::vector<std::int16_t> block(2 * kBlock);
    std::string answer;
    while (left.size() < seconds * kRate) {
      music.render(block);
      for (std::size_t i = 0; i < kBlock; ++i) left.push_back(block[2 * i]);
      if (music.send("status bg mode", &answer) && answer.starts_with("stopp")) {
        EXPECT_TRUE(music.send("seek bg to start"));
        EXPECT_TRUE(music.send("play bg"));
        ++restarts;
      }
    }
    return left;
  }

  test::TempDir dir;
  std::atomic<int> synthesizers = 0;
  std::atomic<bool> loaded = false;
};

// An organ (quick to sound and to fall silent) playing A4 from tick 0 to `offTick` in a piece
// of `endTick` ticks at 120 bpm.
test::Bytes organPiece(std::uint32_t offTick, std::uint32_t endTick) {
  test::MidiTrack track;
  track.event(0, {0xC0, 16}).event(0, {0x90, 69, 110}).event(offTick, {0x80, 69, 0});
  track.end(endTick - offTick);
  return test::midiFile({track});
}

TEST_F(FluidMusicTest, TheCommandsAnswerAsTheMultimediaDeviceDid) {
  test::writeFile(dir.path() / "A.MID", organPiece(480, 960));
  test::writeFile(dir.path() / "B.MID", organPiece(480, 960));
  auto music = device();
  waitReady(*music);
  struct Step {
    const char* command;
    bool ok;
    const char* answer;  // of "status bg mode" after the command; nullptr: the query fails
  };
  const Step steps[] = {
      {"open missing.MID alias bg", false, nullptr},
      {"play bg", false, nullptr},
      {"open a.mid alias bg", true, "stopped"},
      {"play bg", true, "playing"},
      {"open B.MID alias bg", false, "playing"},  // one device under "bg"
      {"stop bg", true, "stopped"},
      {"play bg", true, "playing"},
      {"seek bg to start", true, "stopped"},
      {"play bg", true, "playing"},
      {"pause bg", false, "playing"},
      {"close bg", true, nullptr},
      {"close bg", false, nullptr},
      {"open B.MID alias bg", true, "stopped"},
      {"close bg", true, nullptr},
  };
  std::string answer = "x";
  for (const Step& step : steps) {
    EXPECT_EQ(music->send(step.command), step.ok) << step.command;
    EXPECT_EQ(music->send("status bg mode", &answer), step.answer != nullptr) << step.command;
    EXPECT_EQ(answer, step.answer ? step.answer : "") << step.command;
  }
}

TEST_F(FluidMusicTest, ALoopStartsOnTheSampleOfTheEndWithTheOneSynthesizer) {
  test::writeFile(dir.path() / "LOOP.MID", organPiece(240, 480));  // 0.5 s
  test::writeFile(dir.path() / "NONE.MID", test::midiFile({test::MidiTrack().end(0)}));
  auto music = device();
  waitReady(*music);
  ASSERT_TRUE(music->send("open LOOP.MID alias bg"));
  ASSERT_TRUE(music->send("play bg"));
  int restarts = 0;
  const std::vector<std::int16_t> left = playLooping(*music, 3.2, restarts);
  EXPECT_EQ(restarts, 6);

  // Each pass sounds 0.5 s after the one before, to within the synthesizer's block of 64
  // samples: no gap, no overlap.
  std::vector<std::size_t> onsets;
  std::size_t quiet = kRate;  // samples since the sound was last loud
  for (std::size_t i = 0; i < left.size(); ++i) {
    const bool loud = std::abs(left[i]) > 1000;
    if (loud && quiet > kRate / 10) onsets.push_back(i);
    quiet = loud ? 0 : quiet + 1;
  }
  ASSERT_EQ(onsets.size(), 7u);
  for (std::size_t k = 1; k < onsets.size(); ++k) {
    EXPECT_NEAR(static_cast<double>(onsets[k] - onsets[0]), k * kRate / 2.0, 64 + kRate / 1000)
        << "pass " << k;
  }

  // A piece of no length starts again at most once a block, and the next piece gets a player
  // of its own on the same synthesizer.
  ASSERT_TRUE(music->send("close bg"));
  ASSERT_TRUE(music->send("open NONE.MID alias bg"));
  ASSERT_TRUE(music->send("play bg"));
  restarts = 0;
  (void)playLooping(*music, 1.0, restarts);
  EXPECT_GT(restarts, 0);
  EXPECT_LE(restarts, static_cast<int>(kRate / kBlock) + 1);
  EXPECT_EQ(synthesizers, 1);
  EXPECT_EQ(music->playersMade(), 2);
}

TEST_F(FluidMusicTest, TheTimeLeftIsNeverLaterThanTheEndAndNotFarBefore) {
  test::writeFile(dir.path() / "A.MID", organPiece(480, 960));  // 1 s
  auto music = device();
  waitReady(*music);
  ASSERT_TRUE(music->send("open A.MID alias bg"));
  EXPECT_EQ(music->playingFor(), std::nullopt);  // stopped
  ASSERT_TRUE(music->send("play bg"));
  EXPECT_EQ(music->playingFor(), std::nullopt);  // no block taken yet: the pace is unknown
  std::vector<std::int16_t> block(2 * kBlock);
  std::vector<std::size_t> predicted;  // for each block: the block at which the end may be found
  std::string answer;
  for (std::size_t b = 0; b < 100; ++b) {
    (void)music->render(block);
    ASSERT_TRUE(music->send("status bg mode", &answer));
    if (answer == "stopped") {
      ASSERT_FALSE(predicted.empty());
      for (std::size_t k = 0; k < predicted.size(); ++k) EXPECT_LE(predicted[k], b) << k;
      EXPECT_GE(predicted.back() + 4, b);
      return;
    }
    const auto left = music->playingFor();
    ASSERT_TRUE(left) << b;
    predicted.push_back(b + static_cast<std::size_t>(left->count()) * kRate / 1000 / kBlock);
  }
  ADD_FAILURE() << "the piece never ended";
}

TEST_F(FluidMusicTest, CommandsDoNotWaitForTheSynthesizerToLoad) {
  test::writeFile(dir.path() / "A.MID", organPiece(480, 960));
  std::promise<void> release;
  auto music = device(release.get_future().share());
  // The window's thread goes on while the soundfont loads: the piece waits for it.
  std::string answer;
  EXPECT_TRUE(music->send("open A.MID alias bg"));
  EXPECT_TRUE(music->send("play bg"));
  EXPECT_TRUE(music->send("status bg mode", &answer));
  EXPECT_EQ(answer, "not ready");
  std::vector<std::int16_t> block(2 * kBlock, 1);
  music->render(block);
  EXPECT_EQ(std::count(block.begin(), block.end(), 0), static_cast<long>(block.size()));
  EXPECT_FALSE(loaded);

  release.set_value();
  waitReady(*music);
  EXPECT_TRUE(music->send("status bg mode", &answer));
  EXPECT_EQ(answer, "playing");
  int peak = 0;
  for (int i = 0; i < 10; ++i) {
    music->render(block);
    for (const std::int16_t s : block) peak = std::max(peak, std::abs(int{s}));
  }
  EXPECT_GT(peak, 1000) << "the piece opened while loading is heard once loaded";
}

TEST_F(FluidMusicTest, TheSoundFontChangesWhileThePiecePlaysAndOneThatFailsLeavesTheOldSounds) {
  test::writeFile(dir.path() / "LONG.MID", organPiece(960 * 60, 960 * 60 + 10));  // a minute
  test::writeFile(dir.path() / "broken.sf2", test::Bytes{'R', 'I', 'F', 'F'});
  auto music = device();
  waitReady(*music);
  ASSERT_TRUE(music->send("open LONG.MID alias bg"));
  ASSERT_TRUE(music->send("play bg"));
  std::vector<std::int16_t> block(2 * kBlock);
  const auto peakOfBlock = [&] {
    music->render(block);
    int peak = 0;
    for (const std::int16_t s : block) peak = std::max(peak, std::abs(int{s}));
    return peak;
  };
  for (int i = 0; i < 10; ++i) (void)peakOfBlock();
  const struct {
    std::filesystem::path file;
    bool loads;
  } kChanges[] = {{dir.path() / "broken.sf2", false},
                  {dir.path() / "missing.sf2", false},
                  {*soundFont(), true}};
  for (const auto& change : kChanges) {
    music->changeSoundFont(change.file);
    std::optional<bool> loaded;
    // The audio thread goes on meanwhile, about as fast as it is heard.
    for (int i = 0; i < 2000 && !loaded; ++i) {
      (void)peakOfBlock();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      loaded = music->soundFontChanged();
    }
    EXPECT_EQ(loaded, change.loads) << change.file;
    EXPECT_EQ(music->soundFontChanged(), std::nullopt);  // told once
    std::string answer;
    EXPECT_TRUE(music->send("status bg mode", &answer));
    EXPECT_EQ(answer, "playing") << change.file;
    EXPECT_GT(peakOfBlock(), 1000) << change.file;
  }
}

TEST_F(FluidMusicTest, AFileThatCannotBePlayedLeavesTheDeviceClosedAndIsNamedOnce) {
  const std::pair<const char*, test::Bytes> files[] = {
      {"EMPTY.MID", {}},
      {"TEXT.MID", {'h', 'e', 'l', 'l', 'o', '\n'}},
      {"CUT.MID", {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1}},
      {"WAVE.MID", test::waveFile(440, 10)},
  };
  auto music = device();
  testing::internal::CaptureStderr();
  for (const auto& [name, bytes] : files) {
    test::writeFile(dir.path() / name, bytes);
    for (int i = 0; i < 3; ++i) {
      std::string answer = "x";
      EXPECT_FALSE(music->send(std::string("open ") + name + " alias bg")) << name;
      EXPECT_FALSE(music->send("play bg"));
      EXPECT_FALSE(music->send("status bg mode", &answer));
      EXPECT_EQ(answer, "");
    }
  }
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), std::size(files)) << err;
  for (const auto& [name, bytes] : files) {
    EXPECT_NE(err.find((dir.path() / name).string() + "\" cannot be played"), std::string::npos)
        << err;
  }
}

}  // namespace
}  // namespace qov
