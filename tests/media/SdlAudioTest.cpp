// The real audio output, recorded by SDL's disk driver and listened to block by block.
#include "platform/audio/SdlAudio.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <future>
#include <numbers>
#include <optional>
#include <string_view>
#include <thread>

#include "platform/Files.h"
#include "platform/audio/AudioIdle.h"
#include "tests/media/MediaTestSupport.h"

namespace qov {
namespace {

constexpr std::size_t kBlock = 2048;
// An amplitude of about 120 of 32767 (-48 dB). Silence and the leak of one tone into the other's
// frequency measure about 2, the organ's wavering fundamental 90 to 200, the effect 5700.
constexpr double kHeard = 30;

class SdlAudioTest : public ::testing::Test {
 protected:
  SdlAudioTest() {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);
  }

  // The disk driver writes signed 16-bit stereo; keeps the left channel and the peak of both.
  void readRecording() {
    const auto bytes = readFile(output).value_or(test::Bytes{});
    for (std::size_t i = 0; i + 3 < bytes.size(); i += 4) {
      const auto l = static_cast<std::int16_t>(bytes[i] | bytes[i + 1] << 8);
      const auto r = static_cast<std::int16_t>(bytes[i + 2] | bytes[i + 3] << 8);
      left.push_back(l);
      peak = std::max({peak, std::abs(int{l}), std::abs(int{r})});
    }
  }

  // Whether a frequency is heard in the block at `from` (Goertzel over a Hann window; a sine of
  // amplitude A measures about A / 4).
  [[nodiscard]] bool heard(std::size_t from, double hz) const {
    const double k = 2 * std::cos(2 * std::numbers::pi * hz / 44100);
    double s1 = 0;
    double s2 = 0;
    for (std::size_t i = 0; i < kBlock; ++i) {
      const double window = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / (kBlock - 1));
      const double s0 = left[from + i] * window + k * s1 - s2;
      s2 = s1;
      s1 = s0;
    }
    return std::sqrt(std::max(0.0, s1 * s1 + s2 * s2 - k * s1 * s2)) / kBlock > kHeard;
  }

  test::TempDir dir;
  std::string output = (dir.path() / "out.raw").string();
  std::vector<std::int16_t> left;
  int peak = 0;
};

TEST_F(SdlAudioTest, MusicPlaysThroughTheRealDeviceAndAnEffectDoesNotDisturbIt) {
  // An organ holding A4 for five minutes, far longer than the test runs even at the disk
  // driver's speed; then an effect at 2000 Hz, between the organ's harmonics.
  test::MidiTrack track;
  track.event(0, {0xC0, 19}).event(0, {0x90, 69, 100}).event(480 * 600, {0x80, 69, 0}).end(0);
  test::writeFile(dir.path() / "ORGAN.MID", test::midiFile({track}));
  test::writeFile(dir.path() / "OTHER.MID", test::midiFile({track}));
  test::writeFile(dir.path() / "ping.wav", test::waveFile(2000, 300));
  {
    SdlAudio audio({dir.path()});
    MusicDevice& music = audio.music();
    std::string answer;
    ASSERT_TRUE(music.send("open organ.mid alias bg"));
    EXPECT_TRUE(music.send("status bg mode", &answer));
    EXPECT_EQ(answer, "stopped");
    EXPECT_TRUE(music.send("play bg"));
    EXPECT_FALSE(music.send("open OTHER.MID alias bg"));  // one device under "bg"
    // The synthesizer loads on a thread of its own; the piece starts when it is ready.
    for (int i = 0; i < 1000 && music.send("status bg mode", &answer) && answer == "not ready"; ++i)
      SDL_Delay(10);
    ASSERT_EQ(answer, "playing");

    SDL_Delay(100);
    ASSERT_TRUE(audio.sound().play(dir.path() / "ping.wav", false));
    while (audio.sound().playing()) SDL_Delay(5);
    SDL_Delay(100);
    EXPECT_TRUE(music.send("status bg mode", &answer));
    EXPECT_EQ(answer, "playing");

    EXPECT_TRUE(music.send("stop bg"));
    EXPECT_TRUE(music.send("status bg mode", &answer));
    EXPECT_EQ(answer, "stopped");
    EXPECT_TRUE(music.send("close bg"));
    EXPECT_FALSE(music.send("play bg"));
  }

  readRecording();
  std::optional<std::size_t> firstPing;
  std::size_t lastPing = 0;
  std::vector<bool> organ;
  for (std::size_t b = 0; (b + 1) * kBlock <= left.size(); ++b) {
    organ.push_back(heard(b * kBlock, 440));
    if (heard(b * kBlock, 2000)) {
      if (!firstPing) firstPing = b;
      lastPing = b;
    }
  }
  ASSERT_TRUE(firstPing) << "the effect was not heard";
  ASSERT_GT(*firstPing, 0u);
  ASSERT_LT(lastPing + 2, organ.size());
  for (std::size_t b = *firstPing - 1; b <= lastPing + 2; ++b) EXPECT_TRUE(organ[b]) << b;
  EXPECT_LT(peak, 32767) << "the mix clips";
}

TEST_F(SdlAudioTest, TheDefaultSoundAndTheBeepAreHeard) {
  {
    SdlAudio audio({dir.path()});
    audio.sound().playDefault();
    EXPECT_TRUE(audio.sound().playing());
    while (audio.sound().playing()) SDL_Delay(5);
    // A missing file plays nothing and stops what played.
    audio.sound().playDefault();
    EXPECT_FALSE(audio.sound().play(dir.path() / "missing.wav", false));
    EXPECT_FALSE(audio.sound().playing());
    audio.beep();
  }
  readRecording();
  bool low = false;
  bool high = false;
  bool beep = false;
  for (std::size_t at = 0; at + kBlock <= left.size(); at += kBlock / 2) {
    low = low || heard(at, 659.3);
    high = high || heard(at, 880);
    beep = beep || heard(at, 1000);
  }
  EXPECT_TRUE(low && high) << "the two notes of the default sound";
  EXPECT_TRUE(beep);
}

TEST_F(SdlAudioTest, ASoundFontChangeIsToldOnceAndTheDefaultIsTheEmptyName) {
  if (!std::filesystem::exists("/usr/share/sounds/sf2/TimGM6mb.sf2")) GTEST_SKIP();
  SdlAudio audio({dir.path()});
  const auto told = [&] {
    std::optional<bool> loaded;
    for (int i = 0; i < 2000 && !loaded; ++i) {
      SDL_Delay(5);
      loaded = audio.soundFontLoaded();
    }
    return loaded;
  };
  ::testing::internal::CaptureStderr();
  audio.loadSoundFont(dir.path() / "missing.sf2");
  EXPECT_EQ(told(), false);
  audio.loadSoundFont({});
  EXPECT_EQ(told(), true);
  EXPECT_EQ(audio.soundFontLoaded(), std::nullopt);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("missing.sf2"), std::string::npos) << err;  // FluidSynth's reason
}

TEST_F(SdlAudioTest, TheAudioThreadRestsInSilenceAndWhatFollowsStartsAtOnce) {
  test::MidiTrack track;
  track.event(0, {0xC0, 19}).event(0, {0x90, 69, 100}).event(480 * 600, {0x80, 69, 0}).end(0);
  test::writeFile(dir.path() / "ORGAN.MID", test::midiFile({track}));
  test::writeFile(dir.path() / "ping.wav", test::waveFile(2000, 300));
  {
    SdlAudio audio({dir.path()});
    MusicDevice& music = audio.music();
    std::string answer;
    // At the disk driver's full speed a silence the thread did not rest through would fill
    // the recording with thousands of blocks.
    const auto rest = [&audio] {
      for (int i = 0; i < 1000 && !audio.audioResting(); ++i) SDL_Delay(5);
      ASSERT_TRUE(audio.audioResting());
      SDL_Delay(100);
    };
    // A first piece makes the synthesizer; once it and its reverb are silent, the thread rests.
    ASSERT_TRUE(music.send("open ORGAN.MID alias bg"));
    ASSERT_TRUE(music.send("play bg"));
    for (int i = 0; i < 1000 && music.send("status bg mode", &answer) && answer == "not ready"; ++i)
      SDL_Delay(10);
    ASSERT_EQ(answer, "playing");
    SDL_Delay(50);
    ASSERT_TRUE(music.send("stop bg"));
    ASSERT_TRUE(music.send("close bg"));
    rest();
    for (int effect = 0; effect < 2; ++effect) {
      ASSERT_TRUE(audio.sound().play(dir.path() / "ping.wav", false));
      while (audio.sound().playing()) SDL_Delay(5);
      rest();
    }
    const int rests = audio.audioRests();
    ASSERT_TRUE(music.send("open ORGAN.MID alias bg"));
    ASSERT_TRUE(music.send("play bg"));
    SDL_Delay(300);
    EXPECT_EQ(audio.audioRests(), rests) << "no rest while music plays";
    EXPECT_TRUE(music.send("close bg"));
  }

  readRecording();
  struct Run {
    std::size_t first;
    std::size_t last;
  };
  std::vector<Run> pings;
  std::vector<Run> organs;
  const auto extend = [](std::vector<Run>& runs, std::size_t b) {
    if (runs.empty() || runs.back().last + 1 < b) {
      runs.push_back({b, b});
    } else {
      runs.back().last = b;
    }
  };
  std::string seen;
  for (std::size_t b = 0; (b + 1) * kBlock <= left.size(); ++b) {
    // The effect's edges leak into the organ's frequency.
    if (heard(b * kBlock, 2000)) {
      extend(pings, b);
      seen += " p" + std::to_string(b);
    } else if (heard(b * kBlock, 440)) {
      extend(organs, b);
      seen += " o" + std::to_string(b);
    }
  }
  ASSERT_EQ(pings.size(), 2u) << seen;
  ASSERT_EQ(organs.size(), 2u) << seen;
  // The second effect and the music after it start within some blocks of the silence before
  // them (a few, on an idle machine; a loaded one wakes the thread a little longer around a
  // rest, but a rest missed would leave thousands); the effect is heard whole (300 ms, 6.5
  // blocks) and the music without a gap.
  EXPECT_LE(pings[1].first - pings[0].last, 64u);
  EXPECT_GE(pings[1].last - pings[1].first + 1, 6u);
  EXPECT_LE(organs[1].first - pings[1].last, 64u);
  EXPECT_GE(organs[1].last - organs[1].first, 6u);
}

// The effect variants of the test game folder tests/data/variants (tools/make_variants.py):
// each is a 1500 Hz tone, but one that no decoder reads, which gives the default sound.
TEST_F(SdlAudioTest, EveryWaveVariantIsHeard) {
  const std::filesystem::path variants = std::filesystem::path(QOV_TEST_DATA) / "variants";
  for (const char* name :
       {"wav_8bit_11k", "wav_ms_adpcm", "wav_ima_adpcm", "wav_mu_law", "wav_a_law", "wav_24bit",
        "wav_float", "wav_extra_chunks", "wav_odd_unpadded", "wav_undecodable"}) {
    SCOPED_TRACE(name);
    const std::filesystem::path file = variants / (std::string(name) + ".wav");
    const bool decodable = std::string_view(name) != "wav_undecodable";
    testing::internal::CaptureStderr();
    {
      SdlAudio audio({variants});
      EXPECT_EQ(audio.sound().play(file, false), decodable);
      if (!decodable) audio.sound().playDefault();
      while (audio.sound().playing()) SDL_Delay(5);
      SDL_Delay(50);  // the device's last buffer
    }
    const std::string err = testing::internal::GetCapturedStderr();
    left.clear();
    readRecording();
    bool tone = false;
    bool low = false;
    bool high = false;
    for (std::size_t at = 0; at + kBlock <= left.size(); at += kBlock / 2) {
      tone = tone || heard(at, 1500);
      low = low || heard(at, 659.3);
      high = high || heard(at, 880);
    }
    EXPECT_EQ(tone, decodable);
    EXPECT_TRUE(decodable || (low && high)) << "the two notes of the default sound";
    // One line naming the file, and only for the one that cannot be played.
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), decodable ? 0 : 1) << err;
    if (!decodable) {
      EXPECT_NE(err.find(file.string()), std::string::npos) << err;
    }
    std::filesystem::remove(output);
  }
}

// The audio thread's rest, driven as the mixer's callback and the window's thread drive it.
TEST(MixLevels, AtFullSharesTheMusicAndEffectsKeepTheirOwnLevelsUnderTheOverallVolume) {
  const struct {
    int overall, music, effects;
    MixLevels levels;  // music of 1, effects and beep of 128
  } kTable[] = {
      {100, 100, 100, {76.0 / 128, 89, 89}},  // music at 60 %, effects at 70 %
      {50, 100, 100, {38.0 / 128, 44, 44}},
      {100, 50, 20, {38.0 / 128, 17, 89}},  // the beep follows the overall volume only
      {0, 100, 100, {0, 0, 0}},
      {100, 0, 0, {0, 0, 89}},
      {150, -10, 100, {0, 89, 89}},  // out of range: held to 0 to 100
  };
  for (const auto& row : kTable) {
    const MixLevels got = mixLevels(row.overall, row.music, row.effects);
    EXPECT_DOUBLE_EQ(got.music, row.levels.music) << row.overall << " " << row.music;
    EXPECT_EQ(got.effects, row.levels.effects) << row.overall << " " << row.effects;
    EXPECT_EQ(got.beep, row.levels.beep) << row.overall;
  }
}

TEST(AudioIdle, RestsAfterQuietBlocksOnlyAndWakesForWhatMaySound) {
  AudioIdle idle(2);
  // Returns whether the audio thread, at the start of a block, rested; wakes it if it does.
  const auto rests = [&idle] {
    auto block = std::async(std::launch::async, [&idle] { idle.restWhileQuiet(); });
    if (block.wait_for(std::chrono::milliseconds(300)) == std::future_status::ready) return false;
    idle.wake();
    block.wait();
    return true;
  };
  idle.blockDone(false);
  EXPECT_FALSE(rests());
  idle.blockDone(true);
  idle.blockDone(false);
  EXPECT_FALSE(rests()) << "a sound since";
  idle.blockDone(false);
  EXPECT_TRUE(rests());
  EXPECT_EQ(idle.rests(), 1);

  // Blocks mixed while a sound was being started do not count: it is mixed after the hold.
  idle.blockDone(false);
  idle.blockDone(false);
  {
    const AudioIdle::Awake awake(idle);
    EXPECT_FALSE(rests());
    idle.blockDone(false);
    idle.blockDone(false);
    EXPECT_FALSE(rests());
  }
  EXPECT_FALSE(rests());

  // A hold wakes a resting thread.
  idle.blockDone(false);
  idle.blockDone(false);
  auto block = std::async(std::launch::async, [&idle] { idle.restWhileQuiet(); });
  while (!idle.resting()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  {
    const AudioIdle::Awake awake(idle);
    EXPECT_EQ(block.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  }
}

TEST(SdlAudioWithoutDevice, RunsSilentlyAfterOneWarning) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  test::TempDir dir;
  test::writeFile(dir.path() / "A.MID", test::midiFile({}));
  test::writeFile(dir.path() / "a.wav", test::waveFile(440, 100));
  testing::internal::CaptureStderr();
  {
    SdlAudio audio({dir.path()});
    std::string answer = "x";
    EXPECT_FALSE(audio.music().send("open A.MID alias bg"));
    EXPECT_FALSE(audio.music().send("status bg mode", &answer));
    EXPECT_EQ(answer, "");
    EXPECT_FALSE(audio.sound().play(dir.path() / "a.wav", true));
    audio.sound().playDefault();
    EXPECT_FALSE(audio.sound().playing());
    audio.beep();
  }
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  EXPECT_NE(err.find("no audio output"), std::string::npos) << err;
}

}  // namespace
}  // namespace qov
