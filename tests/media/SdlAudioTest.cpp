#include "platform/audio/SdlAudio.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <numbers>
#include <optional>

#include "platform/Files.h"
#include "tests/media/MediaTestSupport.h"

namespace qov {
namespace {

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_)
      ::setenv(name_, old_->c_str(), 1);
    else
      ::unsetenv(name_);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// The level of one frequency in a block of samples (Hann window; a sine of amplitude A gives
// about A / 4).
double level(const std::vector<std::int16_t>& left, std::size_t from, std::size_t count,
             double hz) {
  const double k = 2 * std::cos(2 * std::numbers::pi * hz / 44100);
  double s1 = 0;
  double s2 = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const double window = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / (count - 1));
    const double s0 = left[from + i] * window + k * s1 - s2;
    s2 = s1;
    s1 = s0;
  }
  return std::sqrt(std::max(0.0, s1 * s1 + s2 * s2 - k * s1 * s2)) / count;
}

struct Recording {
  std::vector<std::int16_t> left;
  int peak = 0;
};

// The disk driver writes signed 16-bit stereo at the rate the player asks for.
Recording readRecording(const std::filesystem::path& file) {
  Recording out;
  const auto bytes = readFile(file);
  if (!bytes) return out;
  for (std::size_t i = 0; i + 3 < bytes->size(); i += 4) {
    const auto l = static_cast<std::int16_t>((*bytes)[i] | (*bytes)[i + 1] << 8);
    const auto r = static_cast<std::int16_t>((*bytes)[i + 2] | (*bytes)[i + 3] << 8);
    out.left.push_back(l);
    out.peak = std::max({out.peak, std::abs(int{l}), std::abs(int{r})});
  }
  return out;
}

constexpr std::size_t kBlock = 2048;
// An amplitude of about 120 of 32767 (-48 dB). Silence and the leak of one tone into the other's
// frequency measure about 2, the organ's wavering fundamental 90 to 200, the effect 5700.
constexpr double kHeard = 30;

class SdlAudioTest : public ::testing::Test {
 protected:
  test::TempDir dir;
  std::filesystem::path output = dir.path() / "out.raw";
  ScopedEnv driver{"SDL_AUDIODRIVER", "disk"};
  ScopedEnv file{"SDL_DISKAUDIOFILE", output.string()};
  ScopedEnv delay{"SDL_DISKAUDIODELAY", "0"};
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
    const auto t0 = std::chrono::steady_clock::now();
    SdlAudio audio({dir.path()});
    const auto t1 = std::chrono::steady_clock::now();
    MusicDevice& music = audio.music();
    std::string answer;
    ASSERT_TRUE(music.send("open organ.mid alias bg"));
    const auto t2 = std::chrono::steady_clock::now();
    const auto ms = [](auto d) { return std::chrono::duration<double, std::milli>(d).count(); };
    std::cout << "audio start-up " << ms(t1 - t0) << " ms, first piece opened in " << ms(t2 - t1)
              << " ms\n";

    EXPECT_TRUE(music.send("status bg mode", &answer));
    EXPECT_EQ(answer, "stopped");
    EXPECT_TRUE(music.send("play bg"));
    EXPECT_FALSE(music.send("open OTHER.MID alias bg"));  // one device under "bg"
    EXPECT_TRUE(music.send("status bg mode", &answer));
    EXPECT_EQ(answer, "playing");

    SDL_Delay(100);
    ASSERT_TRUE(audio.sound().play(dir.path() / "ping.wav", false));
    EXPECT_TRUE(audio.sound().playing());
    while (audio.sound().playing()) SDL_Delay(5);
    SDL_Delay(100);
    EXPECT_TRUE(music.send("status bg mode", &answer));
    EXPECT_EQ(answer, "playing");

    EXPECT_TRUE(music.send("stop bg"));
    EXPECT_TRUE(music.send("status bg mode", &answer));
    EXPECT_EQ(answer, "stopped");
    EXPECT_TRUE(music.send("close bg"));
    EXPECT_FALSE(music.send("play bg"));
    EXPECT_FALSE(music.send("status bg mode", &answer));
    EXPECT_EQ(answer, "");
  }

  const Recording rec = readRecording(output);
  std::optional<std::size_t> firstPing;
  std::optional<std::size_t> lastPing;
  std::vector<bool> organ;
  for (std::size_t b = 0; (b + 1) * kBlock <= rec.left.size(); ++b) {
    organ.push_back(level(rec.left, b * kBlock, kBlock, 440) > kHeard);
    if (level(rec.left, b * kBlock, kBlock, 2000) > kHeard) {
      if (!firstPing) firstPing = b;
      lastPing = b;
    }
  }
  ASSERT_TRUE(firstPing) << "the effect was not heard";
  ASSERT_GT(*firstPing, 0u);
  EXPECT_TRUE(organ[*firstPing - 1]) << "no music before the effect";
  for (std::size_t b = *firstPing; b <= *lastPing; ++b) EXPECT_TRUE(organ[b]) << b;
  ASSERT_LT(*lastPing + 2, organ.size());
  EXPECT_TRUE(organ[*lastPing + 1] && organ[*lastPing + 2]) << "the music stopped with the effect";
  EXPECT_LT(rec.peak, 32767) << "the mix clips";
  std::cout << "peak with music and a full-scale effect: " << rec.peak << "\n";
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
  const Recording rec = readRecording(output);
  bool low = false;
  bool high = false;
  bool beep = false;
  for (std::size_t at = 0; at + kBlock <= rec.left.size(); at += kBlock / 2) {
    low = low || level(rec.left, at, kBlock, 659.3) > kHeard;
    high = high || level(rec.left, at, kBlock, 880) > kHeard;
    beep = beep || level(rec.left, at, kBlock, 1000) > kHeard;
  }
  EXPECT_TRUE(low && high) << "the two notes of the default sound";
  EXPECT_TRUE(beep);
}

TEST(SdlAudioWithoutDevice, RunsSilentlyAfterOneWarning) {
  const ScopedEnv driver("SDL_AUDIODRIVER", "no-such-driver");
  test::TempDir dir;
  test::writeFile(dir.path() / "A.MID", test::midiFile({}));
  test::writeFile(dir.path() / "a.wav", test::waveFile(440, 100));
  testing::internal::CaptureStderr();
  {
    SdlAudio audio({dir.path()});
    std::string answer = "x";
    EXPECT_FALSE(audio.music().send("open A.MID alias bg"));
    EXPECT_FALSE(audio.music().send("play bg"));
    EXPECT_FALSE(audio.music().send("status bg mode", &answer));
    EXPECT_EQ(answer, "");
    EXPECT_FALSE(audio.sound().play(dir.path() / "a.wav", true));
    audio.sound().playDefault();
    EXPECT_FALSE(audio.sound().playing());
    audio.sound().stop();
    audio.beep();
  }
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  EXPECT_NE(err.find("no audio output"), std::string::npos) << err;
}

}  // namespace
}  // namespace qov
