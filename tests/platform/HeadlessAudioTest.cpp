#include "platform/headless/HeadlessAudio.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/headless/HeadlessPlatform.h"

namespace qov {
namespace {

namespace fs = std::filesystem;

void writeBytes(const fs::path& p, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(p, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

void put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A mono 8-bit wave at 8000 Hz holding `dataBytes` samples, with an extra chunk before "data".
std::vector<std::uint8_t> wave(std::uint32_t dataBytes) {
  std::vector<std::uint8_t> b{'R', 'I', 'F', 'F'};
  put32(b, 4 + 24 + 10 + 8 + dataBytes);
  for (char c : std::string("WAVEfmt ")) b.push_back(static_cast<std::uint8_t>(c));
  put32(b, 16);
  b.insert(b.end(), {1, 0, 1, 0});  // PCM, mono
  put32(b, 8000);                   // sample rate
  put32(b, 8000);                   // byte rate
  b.insert(b.end(), {1, 0, 8, 0});  // block align, bits
  for (char c : std::string("LIST")) b.push_back(static_cast<std::uint8_t>(c));
  put32(b, 1);
  b.insert(b.end(), {0, 0});  // odd chunk size and its pad byte
  for (char c : std::string("data")) b.push_back(static_cast<std::uint8_t>(c));
  put32(b, dataBytes);
  b.insert(b.end(), dataBytes, 128);
  return b;
}

class HeadlessAudioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() /
           ("qov_audio_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(root);
    fs::create_directories(root / "cwd");
    fs::create_directories(root / "game");
    writeBytes(root / "game" / "Song.mid", {'M', 'T', 'h', 'd'});
    writeBytes(root / "cwd" / "OTHER.MID", {'M', 'T', 'h', 'd'});
    writeBytes(root / "game" / "hit.wav", wave(4000));  // 500 ms
    writeBytes(root / "cwd" / "bad.wav", {'n', 'o', 'p', 'e'});
  }
  void TearDown() override { fs::remove_all(root); }
  fs::path root;
};

TEST_F(HeadlessAudioTest, MusicDeviceFollowsItsCommands) {
  HeadlessPlatform p({root / "cwd", root / "game"});
  HeadlessMusicDevice& bg = p.headlessMusic();
  MusicDevice& music = p.music();
  std::string answer = "x";

  EXPECT_FALSE(music.send("status bg mode", &answer));
  EXPECT_EQ(answer, "");
  EXPECT_FALSE(music.send("open MISSING.MID alias bg"));
  EXPECT_FALSE(music.send("play bg"));
  EXPECT_EQ(bg.state(), HeadlessMusicDevice::State::Closed);

  // Found in the game directory, by a name of another case.
  EXPECT_TRUE(music.send("open SONG.MID alias bg"));
  EXPECT_EQ(bg.openFile().filename(), "Song.mid");
  EXPECT_TRUE(music.send("status bg mode", &answer));
  EXPECT_EQ(answer, "stopped");
  EXPECT_TRUE(music.send("play bg"));
  EXPECT_TRUE(music.send("status bg mode", &answer));
  EXPECT_EQ(answer, "playing");
  // One device under the alias: a second open fails and the first piece goes on.
  EXPECT_FALSE(music.send("open OTHER.MID alias bg"));
  EXPECT_EQ(bg.openFile().filename(), "Song.mid");

  bg.endPiece();
  EXPECT_TRUE(music.send("status bg mode", &answer));
  EXPECT_EQ(answer, "stopped");
  EXPECT_TRUE(music.send("seek bg to start"));
  EXPECT_TRUE(music.send("play bg"));
  EXPECT_EQ(bg.state(), HeadlessMusicDevice::State::Playing);
  EXPECT_TRUE(music.send("stop bg"));
  EXPECT_TRUE(music.send("close bg"));
  EXPECT_FALSE(music.send("close bg"));
  EXPECT_FALSE(music.send("status bg mode", &answer));
  EXPECT_FALSE(music.send("frobnicate bg"));

  // With a length, a playing piece stops by itself on the virtual clock; the current
  // directory comes first.
  bg.setPieceLength(1000);
  EXPECT_TRUE(music.send("open other.mid alias bg"));
  EXPECT_EQ(bg.openFile().parent_path().filename(), "cwd");
  EXPECT_TRUE(music.send("play bg"));
  p.waitEvents(600);
  EXPECT_EQ(bg.state(), HeadlessMusicDevice::State::Playing);
  EXPECT_TRUE(music.send("stop bg"));
  p.waitEvents(5000);
  EXPECT_TRUE(music.send("play bg"));
  p.waitEvents(399);
  EXPECT_EQ(bg.state(), HeadlessMusicDevice::State::Playing);
  p.waitEvents(1);
  EXPECT_EQ(bg.state(), HeadlessMusicDevice::State::Stopped);
  EXPECT_EQ(bg.commands().front(), "status bg mode");
  EXPECT_EQ(bg.commands().size(), 20u);
}

TEST_F(HeadlessAudioTest, SoundsLastAsLongAsTheirWaveFile) {
  HeadlessPlatform p({root / "cwd", root / "game"});
  SoundOutput& sound = p.sound();
  HeadlessSoundOutput& log = p.headlessSound();

  EXPECT_FALSE(sound.play("missing.wav", false));
  EXPECT_FALSE(sound.play("bad.wav", false));
  EXPECT_FALSE(sound.playing());

  ASSERT_TRUE(sound.play("HIT.WAV", false));
  EXPECT_TRUE(sound.playing());
  EXPECT_EQ(log.endTime(), 500u);
  // Its end wakes a wait that has nothing else to wait for.
  while (sound.playing()) p.waitEvents();
  EXPECT_EQ(p.now(), 500u);

  ASSERT_TRUE(sound.play("hit.wav", true));
  p.waitEvents(10'000);
  EXPECT_TRUE(sound.playing());
  EXPECT_FALSE(log.endTime());
  sound.stop();
  EXPECT_FALSE(sound.playing());

  sound.playDefault();
  EXPECT_TRUE(sound.playing());
  p.waitEvents(HeadlessSoundOutput::kDefaultSoundMs);
  EXPECT_FALSE(sound.playing());

  ASSERT_EQ(log.log().size(), 6u);
  EXPECT_FALSE(log.log()[0].ok);
  EXPECT_EQ(log.log()[2].file, "HIT.WAV");
  EXPECT_TRUE(log.log()[3].loop);
  EXPECT_EQ(log.log()[4].call, HeadlessSoundOutput::Call::Stop);
  EXPECT_EQ(log.log()[5].call, HeadlessSoundOutput::Call::PlayDefault);

  EXPECT_EQ(waveDurationMs(wave(12000)), 1500u);
  auto cut = wave(100);
  cut.resize(30);
  EXPECT_FALSE(waveDurationMs(cut));
}

}  // namespace
}  // namespace qov
