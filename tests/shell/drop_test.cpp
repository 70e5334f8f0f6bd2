// Dropping a file or folder onto the window.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/shell/ShellTestSupport.h"

namespace qov::test {
namespace {

namespace fs = std::filesystem;

constexpr std::u32string_view kOldGame = U"LET,1,1\nMES,待っている。￥\nLET,1,2\nEXIT\n";

long closeCommands(HeadlessPlatform& platform) {
  const auto& log = platform.headlessMusic().commands();
  return std::count(log.begin(), log.end(), "close bg");
}

TEST(Drop, AGameFolderOrAFileInsideOneEndsThisGameAndStartsThatOne) {
  TempDir next;
  writeScript(next.path(), "WNATU", U"LET,5,7\nMES,次の夜。￥\nEXIT\n");
  std::ofstream(next.path() / "TOVELI2.DAT") << "\r\n";
  for (const fs::path& dropped : {next.path(), next.path() / "TOVELI2.DAT"}) {
    SCOPED_TRACE(dropped);
    TempDir old;
    writeScript(old.path(), "wnatu", kOldGame);
    ShellWindow w(old.path());
    w.platform.drop(dropped);
    EXPECT_EQ(w.run(), 0);
    // The closing steps of the old game, and nothing after its wait.
    EXPECT_EQ(closeCommands(w.platform), 1);
    EXPECT_EQ(w.platform.beeps(), 1);
    EXPECT_EQ(w.window.variables().var(1), 1);
    EXPECT_TRUE(w.platform.messageBoxes().empty());
    ASSERT_TRUE(w.shell.nextGame().has_value());
    EXPECT_TRUE(fs::equivalent(*w.shell.nextGame(), next.path()));

    // What the program does next: it starts anew on the dropped folder.
    ShellWindow restarted(*w.shell.nextGame());
    restarted.then([&] {
      EXPECT_EQ(restarted.window.variables().var(5), 7);
      restarted.click(restarted.c.MES);
    });
    EXPECT_EQ(restarted.run(), 0);
    EXPECT_EQ(restarted.stalls, 1u);
  }
}

// The current folder for as long as it lives.
class InFolder {
 public:
  explicit InFolder(const fs::path& dir) : before_(fs::current_path()) { fs::current_path(dir); }
  ~InFolder() { fs::current_path(before_); }
  InFolder(const InFolder&) = delete;
  InFolder& operator=(const InFolder&) = delete;

 private:
  fs::path before_;
};

TEST(Drop, AnythingElseIsNamedInANoticeInTheWindowAndTheGameGoesOn) {
  TempDir elsewhere;
  fs::create_directory(elsewhere.path() / "photos");
  std::ofstream(elsewhere.path() / "photos" / "beach.png") << "PNG";
  // Relative names and texts are never looked up, not even in a game folder that is the
  // current one, as when the program is started there.
  for (const fs::path& dropped :
       {elsewhere.path() / "photos", elsewhere.path() / "photos" / "beach.png",
        elsewhere.path() / "gone", fs::path("just some text"), fs::path("hello"),
        fs::path("wnatu.QOV"), fs::path(".")}) {
    SCOPED_TRACE(dropped);
    TempDir old;
    writeScript(old.path(), "wnatu", kOldGame);
    const InFolder inGame(old.path());
    ShellWindow w(old.path());
    w.platform.drop(dropped);
    Image before;
    w.then([&] {  // the notice waits over the game's first page
      ASSERT_NE(w.shell.screens().top(), nullptr);
      EXPECT_EQ(w.window.variables().var(1), 1);
      before = w.platform.frame();
      w.platform.key(Key::Enter);
    });
    w.then([&] {
      EXPECT_TRUE(w.shell.screens().empty());
      EXPECT_NE(w.platform.frame(), before);
      w.click(w.c.MES);
    });
    std::string err;
    EXPECT_EQ(w.run(&err), 0);
    EXPECT_EQ(w.stalls, 2u);
    EXPECT_EQ(err, "ゲームのフォルダではありません（wnatu.QOV がありません）\n" + dropped.string() +
                       "\n");
    EXPECT_TRUE(w.platform.messageBoxes().empty());
    // The old game went on from its wait to its end.
    EXPECT_EQ(w.window.variables().var(1), 2);
    EXPECT_FALSE(w.shell.nextGame().has_value());
    EXPECT_EQ(closeCommands(w.platform), 1);
  }
}

}  // namespace
}  // namespace qov::test
