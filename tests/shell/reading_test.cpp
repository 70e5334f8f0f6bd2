// How the player reads: skipping only the messages seen before, kept between plays, and the
// speed of the typing. Neither changes what the game does.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "platform/UserDirectories.h"
#include "tests/shell/ShellTestSupport.h"

namespace qov::test {
namespace {

namespace fs = std::filesystem;

constexpr std::u32string_view kThreeMessages =
    U"MES,一つ目のことば。￥\n"
    U"MES,二つ目のことば。￥\n"
    U"MES,三つ目のことば。￥\n"
    U"EXIT";

struct Game {
  TempDir dir;
  TempDir data;  // the player's own files
  Game() { writeScript(dir.path(), "wnatu", kThreeMessages); }
  [[nodiscard]] fs::path seenFile() const {
    return data.path() / "seen" / (userGameName(dir.path()) + ".bin");
  }
};

// The game in a shell that skips only what was read, with the player's files in `game.data`.
struct ReadOnlySkip : ShellWindow {
  explicit ReadOnlySkip(const Game& game) : ShellWindow(game.dir.path()) {
    platform.setDataFolder(game.data.path());
    comforts.changeSettings([](PlayerSettings& s) { s.skipReadOnly = true; });
  }
};

TEST(Reading, SkippingReadTextPassesMessagesSeenInAnEarlierPlayAndStopsAtTheFirstUnseen) {
  Game game;
  {
    ReadOnlySkip first(game);
    first.then([&] { first.click(first.c.MES); });
    // The second message's last page is in sight: seen, though never clicked.
    first.then([&] { first.platform.closeWindow(); });
    std::string err;
    EXPECT_EQ(first.run(&err), 0);
    EXPECT_EQ(err, "");
  }
  ASSERT_TRUE(fs::exists(game.seenFile()));

  ReadOnlySkip again(game);
  again.platform.keyDown(Key::Control, 0);
  MessagePlace stoppedAt;
  again.then([&] {
    stoppedAt = again.window.wait().place;
    again.click(again.c.MES);
  });
  EXPECT_EQ(again.run(), 0);
  EXPECT_EQ(again.stalls, 1u);  // the one click, at the message never seen
  EXPECT_EQ(stoppedAt, (MessagePlace{"wnatu.QOV", 3}));
  // The two seen went by as skipping passes them: a short look each.
  EXPECT_LT(again.stallTimes.at(0), 3 * MessageWindow::kSkipPageMs);

  // Skipping everything does not ask.
  ShellWindow all(game.dir.path());
  all.platform.setDataFolder(game.data.path());
  all.platform.keyDown(Key::Control, 0);
  EXPECT_EQ(all.run(), 0);
  EXPECT_EQ(all.stalls, 0u);
}

TEST(Reading, ADamagedFileOfPagesSeenIsOneLineNamingItAndCountsAsNoneSeen) {
  Game game;
  fs::create_directories(game.seenFile().parent_path());
  std::ofstream(game.seenFile(), std::ios::binary) << "QOVSEEN\x01 and then nothing sensible";
  ReadOnlySkip w(game);
  w.platform.keyDown(Key::Control, 0);
  for (int i = 0; i < 3; ++i) w.then([&] { w.click(w.c.MES); });
  std::string err;
  EXPECT_EQ(w.run(&err), 0);
  EXPECT_EQ(w.stalls, 3u);  // every message waited
  EXPECT_EQ(err, "qov: the pages seen " + game.seenFile().string() +
                     " are damaged (its checksum does not match); they count as none seen\n");
  // Written anew with what this play saw.
  const SeenPages::Decoded kept = SeenPages::decode([&] {
    std::ifstream in(game.seenFile(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }());
  ASSERT_TRUE(kept.lines.has_value()) << kept.problem;
  EXPECT_EQ(kept.lines->at("wnatu.QOV"), (std::vector<bool>{false, true, true, true}));
}

TEST(Reading, TheFileOfPagesSeenReadsBackAndRefusesWhatItDidNotWrite) {
  SeenPages::Lines lines;
  lines["wnatu.QOV"] = {false, true, false, true};
  lines["sub\\two.QOV"] = std::vector<bool>(2001, false);
  lines["sub\\two.QOV"].back() = true;
  const std::string bytes = SeenPages::encode(lines);
  EXPECT_LT(bytes.size(), 300u);  // a bit a line
  const SeenPages::Decoded back = SeenPages::decode(bytes);
  ASSERT_TRUE(back.lines.has_value()) << back.problem;
  EXPECT_EQ(*back.lines, lines);

  std::string flipped = bytes;
  flipped[20] ^= 0x01;
  const struct {
    std::string bytes;
    std::string problem;
  } kDamaged[] = {
      {"", "not a file of pages seen"},
      {"PNG and the like", "not a file of pages seen"},
      {bytes.substr(0, 12), "cut short"},
      {bytes.substr(0, bytes.size() - 1), "its checksum does not match"},
      {flipped, "its checksum does not match"},
  };
  for (const auto& damaged : kDamaged) {
    const SeenPages::Decoded decoded = SeenPages::decode(damaged.bytes);
    EXPECT_FALSE(decoded.lines.has_value()) << damaged.problem;
    EXPECT_EQ(decoded.problem, damaged.problem);
  }
}

TEST(Reading, TypingSpeedHalvesTheDelaysOrWritesThePageAtOnce) {
  // Five characters at 100 ms each as the game has it.
  constexpr std::u32string_view kTyped = U"MES,＃02\nMES,あいうえお￥\nEXIT";
  const struct {
    TypingSpeed speed;
    std::uint64_t typingMs;
  } kSpeeds[] = {{TypingSpeed::Instant, 0}, {TypingSpeed::Twice, 250}, {TypingSpeed::AsGame, 500}};
  std::optional<std::uint64_t> untyped;  // when the page wait begins with no typing
  for (const auto& each : kSpeeds) {
    TempDir dir;
    writeScript(dir.path(), "wnatu", kTyped);
    ShellWindow w(dir.path());
    w.comforts.changeSettings([&](PlayerSettings& s) { s.typing = each.speed; });
    w.then([&] { w.click(w.c.MES); });
    EXPECT_EQ(w.run(), 0);
    ASSERT_EQ(w.stallTimes.size(), 1u);
    if (!untyped) untyped = w.stallTimes[0];
    EXPECT_EQ(w.stallTimes[0] - *untyped, each.typingMs) << static_cast<int>(each.speed);
    EXPECT_EQ(w.window.messages().charDelay(), 100);  // the game's own number
  }
}

}  // namespace
}  // namespace qov::test
