// Finding game files as Windows machines, CD-ROMs and archives leave their names on disk.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/Encoding.h"
#include "platform/Files.h"
#include "platform/UserDirectories.h"

namespace qov {
namespace {

namespace fs = std::filesystem;

std::string sjis(std::u32string_view text) {
  return encodeCp932(text);
}
std::string utf8(std::u32string_view text) {
  return toUtf8(text);
}

TEST(FindFile, MatchesNamesAsTheyComeFromOldMachines) {
  const struct {
    const char* what;
    std::vector<std::string> onDisk;  // bytes, "/" between directories
    std::string wanted;               // as a script names it (UTF-8)
    std::string found;                // the entry found, "" for none
    bool warns = false;
  } cases[] = {
      {"exact", {"room1.SZG"}, "room1.SZG", "room1.SZG"},
      {"ASCII case", {"room1.szg"}, "ROOM1.SZG", "room1.szg"},
      {"CP932 bytes", {sjis(U"夜景.SZG")}, utf8(U"夜景.SZG"), sjis(U"夜景.SZG")},
      {"NFD", {utf8(U"か\u3099っこう.SZG")}, utf8(U"がっこう.SZG"), utf8(U"か\u3099っこう.SZG")},
      {"full-width case", {utf8(U"ｂｇ１.szg")}, utf8(U"ＢＧ１.SZG"), utf8(U"ｂｇ１.szg")},
      {"Greek case in CP932", {sjis(U"αβ.SZG")}, utf8(U"ΑΒ.SZG"), sjis(U"αβ.SZG")},
      {"wave dash", {utf8(U"夏\u301C.SZG")}, utf8(U"夏\uFF5E.SZG"), utf8(U"夏\u301C.SZG")},
      {"minus", {utf8(U"A\u2212B.SZG")}, utf8(U"A\uFF0DB.SZG"), utf8(U"A\u2212B.SZG")},
      {"ASCII tilde is its own character", {"a~1.SZG"}, utf8(U"a\uFF5E1.SZG"), ""},
      {"backslash and case in folders",
       {"Sub/Deep/Pic.szg"},
       "SUB\\deep/PIC.SZG",
       "Sub/Deep/Pic.szg"},
      {"CP932 folder", {sjis(U"絵") + "/x.SZG"}, utf8(U"絵\\X.szg"), sjis(U"絵") + "/x.SZG"},
      {"dot-dot inside the name", {"room1.SZG"}, "sub\\..\\.\\room1.SZG", "room1.SZG"},
      {"dot-dot out of the folder", {}, "..\\outside.SZG", ""},
      {"absolute path", {}, "/outside.SZG", ""},
      {"bytes neither UTF-8 nor CP932", {"\xFF\xFE.SZG", "ok.SZG"}, "OK.SZG", "ok.SZG"},
      {"exact wins without a word", {"dup.szg", "DUP.SZG"}, "dup.szg", "dup.szg"},
      {"several matches", {"dup.szg", "Dup.szg", "DUP.SZG"}, "dUp.sZg", "DUP.SZG", true},
      {"same text, other form, comes first",
       {utf8(U"ガ.SZG"), utf8(U"カ\u3099.szg")},
       utf8(U"カ\u3099.SZG"),
       utf8(U"ガ.SZG"),
       true},
      {"missing", {"room1.SZG"}, "room2.SZG", ""},
      {"empty name", {"room1.SZG"}, "", ""},
  };
  const fs::path root = fs::path(testing::TempDir()) / "qov-find-file";
  fs::remove_all(root);
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path base = root / std::to_string(n++);
    const fs::path game = base / "game";
    fs::create_directories(game);
    std::ofstream(base / "outside.SZG") << "outside";
    for (const std::string& file : c.onDisk) {
      fs::create_directories((game / file).parent_path());
      std::ofstream(game / file) << file;
    }
    testing::internal::CaptureStderr();
    const std::optional<fs::path> found = findFile(game, c.wanted);
    const std::string warning = testing::internal::GetCapturedStderr();
    if (c.found.empty()) {
      EXPECT_FALSE(found) << *found;
    } else {
      EXPECT_EQ(found ? fs::relative(*found, game).generic_string() : "(none)", c.found);
    }
    if (c.warns) {
      EXPECT_EQ(std::count(warning.begin(), warning.end(), '\n'), 1) << warning;
      EXPECT_NE(warning.find(std::to_string(c.onDisk.size()) + " files in " + game.string()),
                std::string::npos)
          << warning;
    } else {
      EXPECT_EQ(warning, "");
    }
  }
  fs::remove_all(root);
}

// Links that stay in the game folder are followed; one that leads out of it is not, and the
// file it would reach is not found, with one line naming the link.
TEST(FindFile, FollowsNoLinkOutOfTheGameFolder) {
  const struct {
    const char* what;
    const char* link;    // made in the game folder
    const char* target;  // what it points to, relative to the link
    const char* wanted;
    bool found;
  } cases[] = {
      {"file link inside", "alias.SZG", "pics/room.SZG", "alias.SZG", true},
      {"folder link inside", "more", "pics", "more/room.SZG", true},
      {"folder link inside, other case", "more", "pics", "MORE\\ROOM.szg", true},
      {"link out and back in", "back", "../game/pics", "back/room.SZG", true},
      {"file link out", "secret.SZG", "../outside/secret.SZG", "secret.SZG", false},
      {"file link out, other case", "secret.SZG", "../outside/secret.SZG", "SECRET.szg", false},
      {"folder link out", "out", "../outside", "out/secret.SZG", false},
      {"absolute folder link out", "out", "", "out/secret.SZG", false},
      {"link to the parent", "up", "..", "up/outside/secret.SZG", false},
  };
  const fs::path root = fs::path(testing::TempDir()) / "qov-find-link";
  fs::remove_all(root);
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path base = root / std::to_string(n++);
    const fs::path game = base / "game";
    fs::create_directories(game / "pics");
    fs::create_directories(base / "outside");
    std::ofstream(game / "pics" / "room.SZG") << "room";
    std::ofstream(base / "outside" / "secret.SZG") << "secret";
    const fs::path target = *c.target != '\0' ? fs::path(c.target) : base / "outside";
    fs::create_symlink(target, game / c.link);
    for (int attempt = 0; attempt < 2; ++attempt) {
      testing::internal::CaptureStderr();
      const std::optional<fs::path> found = findFile(game, c.wanted);
      const std::string said = testing::internal::GetCapturedStderr();
      EXPECT_EQ(found.has_value(), c.found) << (found ? found->string() : "");
      if (c.found || attempt > 0) {
        EXPECT_EQ(said, "");
      } else {
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_NE(said.find((game / c.link).string() + " is a link out of the game folder"),
                  std::string::npos)
            << said;
      }
    }
  }
  fs::remove_all(root);
}

// A game looks the same names up at every scene: the several-matches line comes once for the
// program's life, for each folder and name.
TEST(FindFile, SaysSeveralMatchesOncePerName) {
  const fs::path root = fs::path(testing::TempDir()) / "qov-find-once";
  fs::remove_all(root);
  for (const char* file :
       {"a/dup.szg", "a/DUP.SZG", "a/two.szg", "a/TWO.SZG", "b/dup.szg", "b/DUP.SZG"}) {
    fs::create_directories((root / file).parent_path());
    std::ofstream(root / file) << file;
  }
  const struct {
    const char* dir;
    const char* wanted;
    bool says;
  } lookups[] = {
      {"a", "Dup.szg", true},  {"a", "Dup.szg", false}, {"a", "dUP.SZG", false},
      {"a", "Two.szg", true},  {"b", "Dup.szg", true},  {"a", "Dup.szg", false},
      {"b", "dup.SZG", false},
  };
  for (const auto& l : lookups) {
    SCOPED_TRACE(std::string(l.dir) + "/" + l.wanted);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(findFile(root / l.dir, l.wanted));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), l.says ? 1 : 0) << said;
  }
  fs::remove_all(root);
}

TEST(UserSaveDirectory, OnePlacePerGameFolder) {
  const fs::path root = fs::path(testing::TempDir()) / "qov-user-dirs";
  fs::create_directories(root / "a" / "game");
  fs::create_directories(root / "b" / "game");
  ::setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
  const std::optional<fs::path> place = userSaveDirectory(root / "a" / "game");
  ASSERT_TRUE(place);
  EXPECT_EQ(place->parent_path(), root / "data" / "qov" / "saves");
  const std::string name = place->filename().string();
  ASSERT_EQ(name.size(), std::string("game-").size() + 8) << name;
  EXPECT_EQ(name.substr(0, 5), "game-");
  EXPECT_EQ(name.find_first_not_of("0123456789abcdef", 5), std::string::npos) << name;
  // The same folder however it is spelt; another folder of the same name elsewhere differs.
  EXPECT_EQ(userSaveDirectory(root / "b" / ".." / "a" / "game/"), place);
  EXPECT_NE(userSaveDirectory(root / "b" / "game"), place);

  // Unset or relative: under $HOME, as the XDG rules say.
  ::setenv("HOME", (root / "home").c_str(), 1);
  for (const char* value : {"", "relative/data"}) {
    ::setenv("XDG_DATA_HOME", value, 1);
    EXPECT_EQ(userSaveDirectory(root / "a" / "game")->parent_path(),
              root / "home" / ".local" / "share" / "qov" / "saves");
  }
  fs::remove_all(root);
}

}  // namespace
}  // namespace qov
