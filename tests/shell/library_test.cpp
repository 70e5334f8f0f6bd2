// The library's file and the games a path stands for.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "shell/library/GameFinder.h"
#include "tests/shell/LibraryTestSupport.h"
#include "tests/shell/WordsTestSupport.h"

namespace qov::test {
namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(Library, TimesAreIso8601InUtcAndNothingElseIsReadAsOne) {
  EXPECT_EQ(isoTime(0), "1970-01-01T00:00:00Z");
  EXPECT_EQ(isoTime(1796687999), "2026-12-07T23:59:59Z");
  const struct {
    std::string_view text;
    std::optional<UnixTime> time;
  } cases[] = {
      {"2026-12-07T23:59:59Z", 1796687999},
      {"2024-02-29T00:00:00Z", 1709164800},
      {"2026-02-29T00:00:00Z", std::nullopt},  // no such day
      {"2026-12-07T24:00:00Z", std::nullopt},
      {"2026-12-07 23:59:59Z", std::nullopt},
      {"2026-12-07T23:59:59", std::nullopt},
      {"2026-1x-07T23:59:59Z", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(parseIsoTime(c.text), c.time) << c.text;
}

TEST(Library, EntriesOutliveTheProgramLatestFirstWithEveryByteOfTheirNames) {
  TestLibrary t;
  // Names that an INI line would misread, and a folder name in CP932 bytes as an old unzip
  // leaves it.
  const fs::path odd = makeGame(t.root.path() / "\x83\x5C\x83\x74\x83\x67", "夏;#1 100%");
  const fs::path plain = makeGame(t.root.path() / "plain");
  ASSERT_EQ(t.library.add(odd, 1000), std::nullopt);
  ASSERT_EQ(t.library.add(plain, 2000), std::nullopt);

  Library again(t.file(), t.root.path() / "qov" / "games");
  again.load();
  ASSERT_EQ(again.entries().size(), 2u);
  EXPECT_EQ(again.entries()[0].folder, plain);
  EXPECT_EQ(again.entries()[0].title, "plain");
  EXPECT_EQ(again.entries()[1].folder, odd);
  EXPECT_EQ(again.entries()[1].title, "夏;#1 100%");
  EXPECT_EQ(again.entries()[1].added, 1000);
  EXPECT_FALSE(again.entries()[1].played.has_value());

  // Playing the older one puts it first.
  ASSERT_EQ(again.markPlayed(odd, 3000), std::nullopt);
  t.library.load();
  EXPECT_EQ(t.library.entries()[0].folder, odd);
  EXPECT_EQ(t.library.entries()[0].played, 3000);
  // Adding a folder again refreshes it rather than listing it twice.
  ASSERT_EQ(t.library.add(plain / ".", 4000), std::nullopt);
  EXPECT_EQ(t.library.entries().size(), 2u);
  EXPECT_EQ(t.library.entries()[0].folder, plain);
  // A folder not in the library is not added by being played.
  ASSERT_EQ(t.library.markPlayed(t.root.path(), 5000), std::nullopt);
  EXPECT_EQ(t.library.entries().size(), 2u);
}

TEST(Library, TwoPlayersAtOnceKeepEachOthersGames) {
  TestLibrary t;
  Library other(t.file(), t.root.path() / "qov" / "games");
  other.load();
  t.library.load();
  ASSERT_EQ(t.library.add(makeGame(t.root.path() / "a"), 10), std::nullopt);
  ASSERT_EQ(other.add(makeGame(t.root.path() / "b"), 20), std::nullopt);
  t.library.load();
  EXPECT_EQ(t.library.entries().size(), 2u);
}

TEST(Library, ABrokenFileIsSetAsideAndTheLibraryStartsEmpty) {
  const struct {
    std::string_view name;
    std::string text;
  } cases[] = {
      {"syntax", "[game 1\nfolder = /x\n"},
      {"relative folder", "[game 1]\nfolder = games/x\nadded = 2026-01-01T00:00:00Z\n"},
      {"no time", "[game 1]\nfolder = /x\n"},
      {"bad time", "[game 1]\nfolder = /x\nadded = yesterday\n"},
      {"bad escape", "[game 1]\nfolder = /x%2\nadded = 2026-01-01T00:00:00Z\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestLibrary t;
    fs::create_directories(t.file().parent_path());
    std::ofstream(t.file()) << c.text;
    testing::internal::CaptureStderr();
    t.library.load();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(t.library.entries().empty());
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find(t.file().string() + " is broken"), std::string::npos) << err;
    fs::path broken = t.file();
    broken += ".broken";
    EXPECT_EQ(slurp(broken), c.text);
    // The next change starts a good file; the broken one stays for the player to look at.
    ASSERT_EQ(t.library.add(makeGame(t.root.path() / "g"), 1), std::nullopt);
    t.library.load();
    EXPECT_EQ(t.library.entries().size(), 1u);
    EXPECT_EQ(slurp(broken), c.text);
  }
}

TEST(Library, RemovingKeepsThePlayersFolderAndDeletesACopyOnlyWhenAsked) {
  TestLibrary t;
  const fs::path own = makeGame(t.root.path() / "own");
  const fs::path copyRoot = t.root.path() / "qov" / "games" / "game.zip-0123abcd";
  const fs::path copy = makeGame(copyRoot / "inner");
  ASSERT_EQ(t.library.add(own, 1), std::nullopt);
  ASSERT_EQ(t.library.add(copy, 2), std::nullopt);
  ASSERT_TRUE(t.library.find(copy)->copy);
  ASSERT_FALSE(t.library.find(own)->copy);

  // Asked to delete a folder of the player's own, it only takes it out of the list.
  ASSERT_EQ(t.library.remove(own, true), std::nullopt);
  EXPECT_TRUE(fs::exists(own / "wnatu.QOV"));
  EXPECT_EQ(t.library.find(own), nullptr);

  ASSERT_EQ(t.library.add(own, 3), std::nullopt);
  ASSERT_EQ(t.library.remove(copy, false), std::nullopt);
  EXPECT_TRUE(fs::exists(copy / "wnatu.QOV"));
  ASSERT_EQ(t.library.add(copy, 4), std::nullopt);
  ASSERT_EQ(t.library.remove(copy, true), std::nullopt);
  // The whole copy goes, the games folder and the other game stay.
  EXPECT_FALSE(fs::exists(copyRoot));
  EXPECT_TRUE(fs::is_directory(t.root.path() / "qov" / "games"));
  EXPECT_TRUE(fs::exists(own / "wnatu.QOV"));
  t.library.load();
  ASSERT_EQ(t.library.entries().size(), 1u);
  EXPECT_EQ(t.library.entries()[0].folder, own);
}

TEST(GameFinder, APathStandsForTheGamesItHolds) {
  TempDir dir;
  const fs::path game = makeGame(dir.path() / "game", "一本");
  const fs::path shelf = dir.path() / "shelf";
  const fs::path first = makeGame(shelf / "b-second");
  const fs::path second = makeGame(shelf / "a-first");
  fs::create_directories(shelf / "photos");
  fs::create_directories(dir.path() / "empty");
  std::ofstream(dir.path() / "notes.txt") << "not a game";
  const struct {
    fs::path path;
    std::vector<fs::path> games;
    std::string problem;  // a part of it
  } cases[] = {
      {game, {game}, ""},
      {game / "wnatu.QOV", {game}, ""},
      {shelf, {second, first}, ""},
      {dir.path() / "empty", {}, "holds no game"},
      {dir.path() / "notes.txt", {}, "is no game"},
      {dir.path() / "gone", {}, "does not exist"},
  };
  const WordsIn english(Language::English);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    const FoundGames found = findGames(c.path, dir.path() / "copies");
    EXPECT_EQ(found.games, c.games);
    if (c.problem.empty()) {
      EXPECT_EQ(found.problem, "");
    } else {
      EXPECT_NE(found.problem.find(c.problem), std::string::npos) << found.problem;
      EXPECT_NE(found.problem.find(c.path.string()), std::string::npos) << found.problem;
    }
  }
}

}  // namespace
}  // namespace qov::test
