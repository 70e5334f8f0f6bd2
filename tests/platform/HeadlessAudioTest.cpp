// The headless music device and sound output. Their use by the player is covered by the media
// tests; here are the rules those do not reach.
#include "platform/headless/HeadlessAudio.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>

#include "platform/headless/HeadlessPlatform.h"

namespace qov {
namespace {

namespace fs = std::filesystem;

// A mono 8-bit wave at 8000 Hz of `samples` samples, with an odd-sized chunk before "data".
std::string wave(std::uint32_t samples) {
  const auto le32 = [](std::uint32_t v) {
    return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
  };
  using namespace std::string_literals;
  return "RIFF"s + le32(46 + samples) + "WAVEfmt " + le32(16) + "\1\0\1\0"s + le32(8000) +
         le32(8000) + "\1\0\10\0"s + "LIST" + le32(1) + "\0\0"s + "data" + le32(samples) +
         std::string(samples, '\x80');
}

std::vector<std::uint8_t> bytes(const std::string& s) {
  return {s.begin(), s.end()};
}

TEST(HeadlessAudio, DevicesFindTheirFilesAndFollowTheirCommands) {
  const fs::path root = fs::path(::testing::TempDir()) / ("qov_audio_" + std::to_string(getpid()));
  fs::create_directories(root / "cwd");
  fs::create_directories(root / "game");
  std::ofstream(root / "game" / "Song.mid") << "MThd";
  std::ofstream(root / "cwd" / "SONG.MID") << "MThd";
  std::ofstream(root / "game" / "hit.wav", std::ios::binary) << wave(4000);  // 500 ms
  std::ofstream(root / "cwd" / "bad.wav") << "nope";
  HeadlessPlatform p({root / "cwd", root / "game"});
  MusicDevice& music = p.music();

  // The current directory comes first.
  EXPECT_TRUE(music.send("open song.mid alias bg"));
  EXPECT_EQ(p.headlessMusic().openFile().parent_path().filename(), "cwd");
  EXPECT_FALSE(music.send("frobnicate bg"));
  EXPECT_TRUE(music.send("close bg"));
  EXPECT_FALSE(music.send("close bg"));
  std::string answer = "x";
  EXPECT_FALSE(music.send("status bg mode", &answer));
  EXPECT_EQ(answer, "");

  // A sound lasts as long as its wave file, and its end wakes a wait.
  SoundOutput& sound = p.sound();
  EXPECT_FALSE(sound.play("bad.wav", false));
  ASSERT_TRUE(sound.play("HIT.WAV", false));
  while (sound.playing()) p.waitEvents();
  EXPECT_EQ(p.now(), 500u);
  fs::remove_all(root);

  EXPECT_EQ(waveDurationMs(bytes(wave(12000))), 1500u);
  EXPECT_FALSE(waveDurationMs(bytes(wave(100).substr(0, 30))));
}

// The effect variants of the test game folder (tools/make_variants.py): 0.15 s each, but the
// one no decoder reads, which is named on standard error once.
TEST(HeadlessAudio, EffectVariantsPlayAsSdlDecodesThem) {
  const fs::path variants = fs::path(QOV_TEST_DATA) / "variants";
  HeadlessPlatform p({variants});
  testing::internal::CaptureStderr();
  for (const char* name :
       {"wav_8bit_11k", "wav_ms_adpcm", "wav_ima_adpcm", "wav_mu_law", "wav_a_law", "wav_24bit",
        "wav_float", "wav_extra_chunks", "wav_odd_unpadded"}) {
    SCOPED_TRACE(name);
    const std::uint64_t start = p.now();
    ASSERT_TRUE(p.sound().play(std::string(name) + ".wav", false));
    while (p.sound().playing()) p.waitEvents();
    // ADPCM counts whole blocks of samples.
    EXPECT_GE(p.now() - start, 149u);
    EXPECT_LE(p.now() - start, 190u);
  }
  for (int i = 0; i < 2; ++i) EXPECT_FALSE(p.sound().play("wav_undecodable.wav", false));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "qov: the sound effect " + (variants / "wav_undecodable.wav").string() +
                     " cannot be played (format tag 0x0055 is not one it can decode)\n");
}

}  // namespace
}  // namespace qov
