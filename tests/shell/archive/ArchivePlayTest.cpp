// Every kind of archive the games came in plays as the same game from a plain folder does.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/SaveFile.h"
#include "tests/shell/archive/ArchiveSupport.h"

namespace qov::test {
namespace {

namespace fs = std::filesystem;

// Plays the game in `folder` to its end; returns its save file.
std::string play(const fs::path& folder) {
  Window w(folder);
  std::string err;
  EXPECT_EQ(w.run(&err), 0) << folder << ": " << err;
  return fileText(folder / SaveFile::kFileName);
}

TEST(ArchivePlay, EveryArchiveSavesWhatThePlainFolderSaves) {
  TempDir plain;
  fs::copy(kArchives / "game", plain.path(), fs::copy_options::recursive);
  const std::string expected = play(plain.path());
  ASSERT_FALSE(expected.empty()) << "the plain game wrote no save file";

  const std::vector<std::string> archives = archivesOf("game");
  EXPECT_GE(archives.size(), 3u);
  for (const std::string& name : archives) {
    TempDir games;
    std::vector<double> progress;
    ::testing::internal::CaptureStderr();
    const ExtractedGame game =
        extractGame(kArchives / name, games.path(), [&](double p) { progress.push_back(p); });
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << name;
    // As far as each entry, never backwards, and done at the end.
    EXPECT_GE(progress.size(), 2u) << name;
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end())) << name;
    EXPECT_EQ(progress.empty() ? 0.0 : progress.back(), 1.0) << name;
    EXPECT_TRUE(game.fresh);
    EXPECT_EQ(game.copy.parent_path(), games.path());
    EXPECT_EQ(play(game.gameFolder), expected) << name;
  }
}

}  // namespace
}  // namespace qov::test
