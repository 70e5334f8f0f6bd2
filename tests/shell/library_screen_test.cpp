// The library screen on the headless platform: what it lists and what a click, a key or the
// wheel does there.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>

#include "platform/UserDirectories.h"
#include "shell/library/LibraryScreen.h"
#include "tests/shell/LibraryTestSupport.h"

namespace qov::test {
namespace {

namespace fs = std::filesystem;

constexpr int kRowX = 200;
int rowY(int shownRow) {
  return LibraryScreen::kListTop + shownRow * LibraryScreen::kRowHeight + 10;
}
int removeY(int shownRow) {
  return LibraryScreen::kListTop + shownRow * LibraryScreen::kRowHeight + 29;
}
constexpr int kRemoveX = 470;

// A player's home with games in it, their library, and the screen over the headless platform.
struct Screen {
  explicit Screen(int games = 3) {
    useUtc();
    demo = makeGame(home() / "demo", "デモ");
    for (int i = 1; i <= games; ++i) {
      const fs::path game =
          makeGame(home() / "games" / ("game" + std::to_string(i)), "ゲーム" + std::to_string(i));
      EXPECT_EQ(lib.library.add(game, 1796680000 + i * 60), std::nullopt);
    }
    screen.emplace(platform, lib.library, LibraryScreen::Places{demo, home()});
  }
  [[nodiscard]] fs::path home() const { return lib.root.path() / "home"; }
  [[nodiscard]] fs::path game(int i) const {
    return home() / "games" / ("game" + std::to_string(i));
  }
  std::optional<fs::path> run() {
    testing::internal::CaptureStderr();
    std::optional<fs::path> chosen;
    try {
      chosen = screen->run();
    } catch (const HeadlessStall& stall) {
      ADD_FAILURE() << "stalled: " << stall.what();
    }
    err = testing::internal::GetCapturedStderr();
    return chosen;
  }

  TestLibrary lib;
  fs::path demo;
  HeadlessPlatform platform;
  std::optional<LibraryScreen> screen;
  std::string err;
};

TEST(LibraryScreen, ListsTheGamesLatestFirstAndTheDemoGameAfterThem) {
  Screen s;
  ASSERT_EQ(s.lib.library.markPlayed(s.game(1), 1796687999), std::nullopt);
  s.screen.emplace(s.platform, s.lib.library, LibraryScreen::Places{s.demo, s.home()});
  s.platform.closeWindow();
  EXPECT_EQ(s.run(), std::nullopt);
  EXPECT_EQ(s.platform.windowCaption(), "Qov");
  const auto& rows = s.screen->rows();
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0].title, U"ゲーム1");
  EXPECT_EQ(rows[1].title, U"ゲーム3");
  EXPECT_EQ(rows[2].title, U"ゲーム2");
  EXPECT_EQ(rows[3].title, U"デモ");
  EXPECT_TRUE(rows[3].demo);
  expectGolden(s.platform.frame(), "library_list", std::filesystem::path(QOV_TEST_DATA) / "shell");
}

TEST(LibraryScreen, AClickOrEnterPlaysAnEntry) {
  {
    Screen s;
    s.platform.click(kRowX, rowY(1));
    EXPECT_EQ(s.run(), s.game(2));
  }
  {
    Screen s;
    s.platform.key(Key::Down);
    s.platform.key(Key::Down);
    s.platform.key(Key::Down);
    s.platform.key(Key::Enter);
    EXPECT_EQ(s.run(), s.demo);
  }
  {
    // A game whose folder has gone is named, not played.
    Screen s;
    fs::remove_all(s.game(3));
    s.platform.click(kRowX, rowY(0));
    s.platform.closeWindow();
    EXPECT_EQ(s.run(), std::nullopt);
    EXPECT_NE(s.screen->notice().find(U"見つかりません"), std::u32string::npos);
  }
}

TEST(LibraryScreen, TheWheelAndTheArrowKeysScroll) {
  Screen s(12);  // 13 rows with the demo game, 8 shown
  s.platform.wheel(-3);
  s.platform.closeWindow();
  EXPECT_EQ(s.run(), std::nullopt);
  EXPECT_EQ(s.screen->top(), 3u);
  EXPECT_EQ(s.screen->selected(), 0u);

  Screen t(12);
  t.platform.wheel(-50);  // no further than the last page
  t.platform.wheel(2);
  t.platform.key(Key::End);
  t.platform.key(Key::Up);
  t.platform.closeWindow();
  EXPECT_EQ(t.run(), std::nullopt);
  EXPECT_EQ(t.screen->selected(), 11u);
  EXPECT_EQ(t.screen->top(), 5u);

  // A click on a shown row plays what it shows after scrolling.
  Screen u(12);
  u.platform.wheel(-2);
  u.platform.click(kRowX, rowY(0));
  EXPECT_EQ(u.run(), u.game(10));
}

TEST(LibraryScreen, AnEntryIsRemovedOnlyAfterItsConfirmation) {
  Screen s;
  // Delete, then Escape: nothing changes.
  s.platform.key(Key::Delete);
  s.platform.key(Key::Escape);
  // The row's button, then "やめる".
  s.platform.click(kRemoveX, removeY(1));
  s.platform.click(388, 246);
  // The row's button, then "外す".
  s.platform.click(kRemoveX, removeY(1));
  s.platform.closeWindow();
  EXPECT_EQ(s.run(), std::nullopt);
  // The last confirmation is still open when the window closes: nothing was removed.
  EXPECT_EQ(s.screen->rows().size(), 4u);

  Screen t;
  t.platform.click(kRemoveX, removeY(1));
  t.platform.click(128, 246);
  t.platform.key(Key::Down);
  t.platform.key(Key::Delete);
  t.platform.key(Key::Enter);
  t.platform.closeWindow();
  EXPECT_EQ(t.run(), std::nullopt);
  ASSERT_EQ(t.screen->rows().size(), 2u);
  EXPECT_EQ(t.screen->rows()[0].folder, t.game(3));
  // The player's folders stay where they were.
  EXPECT_TRUE(fs::exists(t.game(1) / "wnatu.QOV"));
  EXPECT_TRUE(fs::exists(t.game(2) / "wnatu.QOV"));
  t.lib.library.load();
  EXPECT_EQ(t.lib.library.entries().size(), 1u);
}

TEST(LibraryScreen, ACopyOfOursIsDeletedWhenThePlayerSaysSo) {
  Screen s(1);
  const fs::path copyRoot = s.lib.root.path() / "qov" / "games" / "x.lzh-89abcdef";
  const fs::path copy = makeGame(copyRoot / "x", "コピー");
  ASSERT_EQ(s.lib.library.add(copy, 1796690000), std::nullopt);
  s.screen.emplace(s.platform, s.lib.library, LibraryScreen::Places{s.demo, s.home()});
  s.platform.key(Key::Delete);
  s.platform.click(263, 246);  // "コピーも削除"
  s.platform.closeWindow();
  EXPECT_EQ(s.run(), std::nullopt);
  EXPECT_FALSE(fs::exists(copyRoot));
  EXPECT_EQ(s.screen->rows().size(), 2u);
}

TEST(LibraryScreen, AFolderDroppedOntoTheWindowIsAdded) {
  Screen s(0);
  const fs::path dropped = makeGame(s.home() / "new", "新作");
  fs::create_directories(s.home() / "photos");
  s.platform.drop(dropped / "wnatu.QOV");
  s.platform.drop(s.home() / "photos");
  s.platform.closeWindow();
  EXPECT_EQ(s.run(), std::nullopt);
  ASSERT_EQ(s.screen->rows().size(), 2u);
  EXPECT_EQ(s.screen->rows()[0].folder, dropped);
  EXPECT_NE(s.err.find((s.home() / "photos").string()), std::string::npos) << s.err;
  EXPECT_NE(s.screen->notice().find(U"にはゲームがありません"), std::u32string::npos);
}

}  // namespace
}  // namespace qov::test

namespace qov::test {
namespace {

// A game with an autosave offers 続きから beside はじめから: Enter goes on from it, Left or Right
// moves to the other, and a click chooses either.
TEST(LibraryScreen, AGameWithAnAutosaveOffersToGoOn) {
  TempDir data;
  const char* before = std::getenv("XDG_DATA_HOME");
  const std::string kept = before != nullptr ? before : "";
  ::setenv("XDG_DATA_HOME", data.path().c_str(), 1);
  const auto answers = [](const std::function<void(HeadlessPlatform&)>& press) {
    Screen s;
    const std::optional<fs::path> states = userGameDirectory(s.game(2), "states");
    fs::create_directories(*states);
    std::ofstream(*states / "auto.json") << "{}";
    s.screen.emplace(s.platform, s.lib.library, LibraryScreen::Places{s.demo, s.home()});
    EXPECT_FALSE(s.screen->rows()[0].resumable);
    EXPECT_TRUE(s.screen->rows()[1].resumable);
    press(s.platform);
    const std::optional<fs::path> chosen = s.run();
    EXPECT_EQ(chosen, s.game(2));
    return s.screen->resumeChosen();
  };
  EXPECT_TRUE(answers([](HeadlessPlatform& p) {
    p.key(Key::Down);
    p.key(Key::Enter);
  }));
  EXPECT_FALSE(answers([](HeadlessPlatform& p) {
    p.key(Key::Down);
    p.key(Key::Right);
    p.key(Key::Enter);
  }));
  EXPECT_FALSE(answers([](HeadlessPlatform& p) { p.click(400, removeY(1)); }));
  EXPECT_TRUE(answers([](HeadlessPlatform& p) { p.click(330, removeY(1)); }));
  if (before != nullptr) {
    ::setenv("XDG_DATA_HOME", kept.c_str(), 1);
  } else {
    ::unsetenv("XDG_DATA_HOME");
  }
}

}  // namespace
}  // namespace qov::test
