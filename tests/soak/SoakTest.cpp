// The demo game played many times in one process by a player who picks at random: every way
// through the story ends as the game means it to, without a script error.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "tests/soak/RandomPlayer.h"

namespace qov::soak {
namespace {

namespace fs = std::filesystem;

TEST(Soak, RandomPlaysOfTheDemoGameEndWithoutAScriptError) {
  // The game saves: play a copy.
  const fs::path dir = fs::path(::testing::TempDir()) / ("qov-soak-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::copy(QOV_GAME_DIR, dir, fs::copy_options::recursive);
  ::testing::internal::CaptureStderr();  // notices also go to the terminal
  int menuChoices = 0;
  for (std::uint64_t seed = 0; seed < 3; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    const PlayResult r = playOnce(dir, seed);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_FALSE(r.gaveUp);
    for (const auto& box : r.boxes) EXPECT_NE(box.title, "Qov ERROR") << box.text;
    menuChoices += r.menuChoices;
  }
  static_cast<void>(::testing::internal::GetCapturedStderr());
  // The plays went beyond the title menu.
  EXPECT_GT(menuChoices, 20);
  std::error_code ec;
  fs::remove_all(dir, ec);
}

}  // namespace
}  // namespace qov::soak
