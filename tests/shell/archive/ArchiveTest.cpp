// Archives are input, never trusted: what they may not do, and the copy they leave.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "tests/shell/archive/ArchiveSupport.h"

namespace qov::test {
namespace {

namespace fs = std::filesystem;

// Everything below `folder`, relative, as "name" or "name -> what it is not" for the odd ones.
std::vector<std::string> listing(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    std::string name = fs::relative(entry.path(), folder).native();
    if (entry.is_symlink())
      name += " (symbolic link)";
    else if (!entry.is_directory() && !entry.is_regular_file())
      name += " (special)";
    else if (entry.is_regular_file() && entry.hard_link_count() > 1)
      name += " (hard link)";
    names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

TEST(Archive, HostileEntriesAreRefusedOneLineEachAndNothingLandsOutside) {
  struct Case {
    std::string archive;
    std::vector<std::string> lines;    // stderr lines, in their order
    std::vector<std::string> present;  // inside the copy
  };
  const std::string escaped = (kArchives / "escaped").native();
  const Case cases[] = {
      {"dotdot.tar",
       {"\"../dotdot-x\" refused: \"..\" would leave the folder",
        "\"game/../../dotdot-y\" refused: \"..\" would leave the folder"},
       {}},
      {"absolute.tar", {'"' + escaped + "/absolute\" refused: an absolute name"}, {}},
      {"symlink.tar",
       {"\"root\" refused: a symbolic link to \"/\", which is no file unpacked inside the folder",
        "\"up\" refused: a symbolic link to \"" + escaped +
            "\", which is no file unpacked inside the folder",
        "\"inside\" unpacked as a copy of \"表示/ソース.QOV\": a symbolic link"},
       {"up/through-link", "inside"}},
      {"hardlink.tar",
       {"\"hard\" refused: a hard link to \"" + (kArchives / "outside.txt").native() +
            "\", which is no file unpacked inside the folder",
        "\"hard2\" refused: a hard link to \"../outside.txt\", which is no file unpacked inside "
        "the folder",
        "\"copy.QOV\" unpacked as a copy of \"wnatu.QOV\": a hard link"},
       {"hard", "copy.QOV"}},
      {"special.tar", {"\"fifo\" skipped: a FIFO", "\"null\" skipped: a device file"}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.archive);
    TempDir games;
    const fs::path root = games.path() / "games";
    std::string err;
    const ExtractedGame game = extractQuietly(kArchives / c.archive, root, err);
    std::string expected;
    for (const std::string& line : c.lines) {
      expected += "qov: " + (kArchives / c.archive).native() + ": " + line + "\n";
    }
    EXPECT_EQ(err, expected);
    // The game is there, and nothing but its copy beside it, in the archives' folder or in "/".
    EXPECT_EQ(game.gameFolder, game.copy);
    EXPECT_EQ(game.copy.parent_path(), root);
    EXPECT_EQ(std::distance(fs::directory_iterator(games.path()), fs::directory_iterator()), 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(root), fs::directory_iterator()), 1);
    const std::vector<std::string> inside = listing(game.copy);
    EXPECT_TRUE(contains(inside, "wnatu.QOV"));
    for (const std::string& name : inside) {
      EXPECT_EQ(name.find(" ("), std::string::npos) << name;  // no link, no device, no FIFO
    }
    for (const std::string& name : c.present) EXPECT_TRUE(contains(inside, name)) << name;
    EXPECT_FALSE(fs::exists(kArchives / "escaped"));
    EXPECT_FALSE(fs::exists("/through-link"));
    EXPECT_EQ(fileText(kArchives / "outside.txt"), "original\n");
  }
  // What a harmless link became: a copy of its own.
  TempDir games;
  std::string err;
  const ExtractedGame game = extractQuietly(kArchives / "hardlink.tar", games.path(), err);
  EXPECT_EQ(fileText(game.copy / "copy.QOV"), fileText(game.copy / "wnatu.QOV"));
  EXPECT_EQ(fileText(game.copy / "hard"), "changed\n");
}

TEST(Archive, DamagedBombsAndNonArchivesAreRefusedWholeAndLeaveNothing) {
  struct Case {
    std::string archive;
    std::string why;
  };
  const Case cases[] = {
      {"bomb.zip", "\"zeros.bin\": it inflates more than 1000 times its packed size"},
      {"cut.zip", "\"説明.txt\": damaged or cut off: "},
      {"cut.tar.xz", ": damaged or cut off: "},
      {"text.zip", ": not an archive or disc image that can be opened"},
      {"no-such.zip", ": no such file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.archive);
    TempDir games;
    std::string err;
    try {
      (void)extractQuietly(kArchives / c.archive, games.path(), err);
      ADD_FAILURE() << "extracted";
    } catch (const ArchiveError& error) {
      const std::string message = error.what();
      EXPECT_TRUE(message.starts_with((kArchives / c.archive).native() + ": ")) << message;
      EXPECT_NE(message.find(c.why), std::string::npos) << message;
      EXPECT_GT(message.size(), (kArchives / c.archive).native().size() + 8) << message;
    }
    EXPECT_EQ(listing(games.path()), std::vector<std::string>{});
  }
  EXPECT_FALSE(isArchive(kArchives / "text.zip"));
  EXPECT_FALSE(isArchive(kArchives));
  for (const std::string& name : archivesOf("game"))
    EXPECT_TRUE(isArchive(kArchives / name)) << name;
}

TEST(Archive, LimitsOnCountAndSizeRefuseTheWholeArchive) {
  const fs::path archive = kArchives / "utf8.zip";
  const std::pair<ExtractLimits, std::string> cases[] = {
      {ExtractLimits{.maxEntries = 3}, ": more than 3 entries"},
      {ExtractLimits{.maxBytes = 1000}, ": the archive unpacks to more than 1000 bytes"},
      {ExtractLimits{.maxRatio = 2, .ratioFrom = 100}, " times its packed size"},
  };
  for (const auto& [limits, why] : cases) {
    TempDir games;
    std::string err;
    EXPECT_THROW(
        try {
          (void)extractQuietly(archive, games.path(), err, limits);
        } catch (const ArchiveError& error) {
          EXPECT_NE(std::string(error.what()).find(why), std::string::npos) << error.what();
          throw;
        },
        ArchiveError);
    EXPECT_EQ(listing(games.path()), std::vector<std::string>{});
  }
}

TEST(Archive, OpenedAgainItReturnsItsCopyNamedByContent) {
  TempDir games;
  std::string err;
  const ExtractedGame first = extractQuietly(kArchives / "cp932.zip", games.path(), err);
  EXPECT_TRUE(first.fresh);
  EXPECT_EQ(first.gameFolder, first.copy / "ソフト");
  const std::string name = first.copy.filename().native();
  ASSERT_EQ(name.size(), std::string("cp932-").size() + 8) << name;
  EXPECT_TRUE(name.starts_with("cp932-")) << name;

  fs::copy_file(kArchives / "cp932.zip", games.path() / "same.zip");
  const ExtractedGame again = extractQuietly(kArchives / "cp932.zip", games.path(), err);
  EXPECT_FALSE(again.fresh);
  EXPECT_EQ(again.copy, first.copy);
  EXPECT_EQ(again.gameFolder, first.gameFolder);
  // Another archive of the same name but other content gets a copy of its own.
  TempDir other;
  fs::copy_file(kArchives / "utf8.zip", other.path() / "cp932.zip");
  const ExtractedGame second = extractQuietly(other.path() / "cp932.zip", games.path(), err);
  EXPECT_TRUE(second.fresh);
  EXPECT_NE(second.copy, first.copy);
  EXPECT_TRUE(second.copy.filename().native().starts_with("cp932-"));
}

TEST(Archive, FoldersLeftHalfUnpackedAreRemovedUnlessARunHoldsThem) {
  TempDir games;
  const fs::path stale = games.path() / ".unpacking-stale1";
  const fs::path busy = games.path() / ".unpacking-busy12";
  fs::create_directories(stale / "game");
  fs::create_directories(busy);
  const int held = ::open(busy.c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(held, 0);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  std::string err;
  const ExtractedGame game = extractQuietly(kArchives / "utf8.zip", games.path(), err);
  ::close(held);
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_TRUE(fs::exists(busy));
  EXPECT_TRUE(fs::exists(game.gameFolder / "wnatu.QOV"));
}

}  // namespace
}  // namespace qov::test
