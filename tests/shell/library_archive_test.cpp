// Archives in the library: extracted once into the games folder, listed as a copy of ours,
// deleted only with the player's word; a hostile one leaves the library as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/ScriptStore.h"
#include "shell/library/GameFinder.h"
#include "tests/shell/LibraryTestSupport.h"

namespace qov::test {
namespace {

namespace fs = std::filesystem;

const fs::path kArchives = QOV_TEST_ARCHIVES;

TEST(LibraryArchive, AnArchiveIsExtractedOnceAndListedAsACopyOfOurs) {
  TestLibrary t;
  const fs::path zip = kArchives / "cp932.zip";
  testing::internal::CaptureStderr();
  const AddedGames first = addGames(t.library, zip);
  const AddedGames again = addGames(t.library, zip);
  testing::internal::GetCapturedStderr();
  ASSERT_EQ(first.problem, "");
  ASSERT_EQ(first.games.size(), 1u);
  EXPECT_EQ(again.games, first.games);
  EXPECT_TRUE(holdsGame(first.games[0]));
  ASSERT_EQ(t.library.entries().size(), 1u);
  EXPECT_TRUE(t.library.entries()[0].copy);
  EXPECT_TRUE(t.library.isCopy(first.games[0]));

  // Taken out of the list, the copy stays; deleted with it, the whole copy goes.
  const fs::path games = t.library.gamesRoot();
  ASSERT_EQ(t.library.remove(first.games[0], false), std::nullopt);
  EXPECT_TRUE(holdsGame(first.games[0]));
  ASSERT_EQ(addGames(t.library, zip).problem, "");
  ASSERT_EQ(t.library.remove(first.games[0], true), std::nullopt);
  EXPECT_TRUE(fs::is_empty(games));
}

TEST(LibraryArchive, AHostileOrDamagedArchiveIsNamedAndAddsNothing) {
  for (const char* name : {"bomb.zip", "cut.zip", "cut.tar.xz", "text.zip"}) {
    SCOPED_TRACE(name);
    TestLibrary t;
    const fs::path archive = kArchives / name;
    testing::internal::CaptureStderr();
    const AddedGames added = addGames(t.library, archive);
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(added.games.empty());
    EXPECT_NE(added.problem.find(name), std::string::npos) << added.problem;
    EXPECT_FALSE(fs::exists(t.file()));
  }
}

}  // namespace
}  // namespace qov::test
