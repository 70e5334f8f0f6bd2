// The player's menu over the held game: reached by Esc, the middle button, the keys and the
// mouse; none of its presses reaches the game.
#include <gtest/gtest.h>

#include <string>

#include "tests/shell/ShellTestSupport.h"
#include "tests/shell/WordsTestSupport.h"

namespace qov::test {
namespace {

constexpr std::u32string_view kGame =
    U"ITMS,0,1,鍵\n"
    U"MES,一ページ目。￥\n"
    U"CMST,0,￥持ち物を使う\n"
    U"CMSL,0,8\n"
    U"CASE,0\n"
    U"LET,9,1\n"
    U"EXIT\n"
    U"ENDCM\n";

struct Game {
  TempDir dir;
  Game() { writeScript(dir.path(), "wnatu", kGame); }
};

void clickAt(ShellWindow& w, const Rect& r, int button = kLeftButton) {
  w.platform.click(r.x + r.w / 2, r.y + r.h / 2, button);
}

TEST(PlayerMenu, OpensOverTheHeldGameAndEveryEntryAnswersMouseAndKeys) {
  Game game;
  ShellWindow w(game.dir.path());
  PlayerMenu& menu = w.shell.playerMenu();
  Image page;
  w.then([&] {
    page = w.platform.frame();
    w.platform.key(Key::Escape);
  });
  w.then([&] {
    ASSERT_TRUE(menu.shown());
    expectGolden(w.platform.frame(), "player_menu", kShellData);
    w.platform.key(Key::Enter);  // 続ける
  });
  w.then([&] {
    EXPECT_FALSE(menu.shown());
    EXPECT_EQ(w.platform.frame(), page);  // still the first page: the game saw nothing
    w.platform.click(100, 100, kMiddleButton);
  });
  w.then([&] {
    ASSERT_TRUE(menu.shown());
    for (int i = 0; i < 4; ++i) w.platform.key(Key::Down);
    w.platform.key(Key::Enter);  // キー操作
  });
  w.then([&] {
    EXPECT_FALSE(menu.shown());
    EXPECT_TRUE(w.comforts.keysShown());
    w.platform.key(Key::Escape);  // closes the keys list only
  });
  w.then([&] {
    EXPECT_FALSE(w.comforts.keysShown());
    EXPECT_FALSE(menu.shown());
    w.platform.key(Key::Escape);
  });
  w.then([&] {
    w.platform.click(5, 5, kRightButton);  // closes it
  });
  w.then([&] {
    EXPECT_FALSE(menu.shown());
    EXPECT_EQ(w.platform.frame(), page);
    w.click(w.c.MES);
  });
  w.then([&] {  // the menu of the game: Esc opens ours, a click on 続ける closes it
    w.platform.key(Key::Escape);
  });
  w.then([&] { clickAt(w, menu.entryPlace(0)); });
  w.then([&] {
    EXPECT_FALSE(menu.shown());
    w.click(w.c.Label1[0]);
  });
  w.then([&] {  // in the item window Esc is "やめる", as ever
    ASSERT_TRUE(w.window.items().selecting());
    w.platform.key(Key::Escape);
  });
  w.then([&] {
    EXPECT_FALSE(menu.shown());
    EXPECT_FALSE(w.window.items().selecting());
    w.platform.key(Key::Escape);
    w.platform.key(Key::Up);  // round to the last: 終了
    w.platform.key(Key::Enter);
  });
  EXPECT_EQ(w.run(), 0);
  EXPECT_EQ(w.window.variables().var(9), 0);  // closed before any choice
  EXPECT_EQ(w.platform.beeps(), 1);           // as closing the window does
}

TEST(PlayerMenu, TheSettingsPageChangesAndKeepsTheSettings) {
  Game game;
  TempDir config;
  const std::filesystem::path settings = config.path() / "qov.ini";
  ShellWindow w(game.dir.path());
  w.platform.setSettingsFile(settings);
  SettingsPage& page = w.shell.settingsPage();
  w.then([&] {
    w.platform.key(Key::Escape);
    for (int i = 0; i < 3; ++i) w.platform.key(Key::Down);
    w.platform.key(Key::Enter);  // 設定
  });
  w.then([&] {
    ASSERT_TRUE(page.shown());
    expectGolden(w.platform.frame(), "settings_page", kShellData);
    w.platform.key(Key::Left);  // the volume, 90 %
    w.platform.key(Key::Down);
    w.platform.key(Key::Enter);  // mute
  });
  w.then([&] {
    EXPECT_EQ(w.platform.volume(), 0);
    EXPECT_EQ(w.comforts.settings().volume, 90);
    for (int i = 0; i < 4; ++i) w.platform.key(Key::Down);
    w.platform.key(Key::Right);          // auto-advance waits 2 s
    clickAt(w, page.arrowPlace(0, -1));  // the volume by the mouse: 80 %, heard again
  });
  w.then([&] {
    EXPECT_EQ(w.platform.volume(), 80);
    EXPECT_EQ(w.comforts.settings().autoAdvanceMs, 2000);
    w.platform.key(Key::Escape);
  });
  w.then([&] {
    EXPECT_FALSE(page.shown());
    w.click(w.c.MES);  // the game goes on where it was
  });
  w.then([&] { w.platform.closeWindow(); });
  std::string err;
  EXPECT_EQ(w.run(&err), 0);
  EXPECT_EQ(err, "");
  const PlayerSettings::Read kept = PlayerSettings::read(settings);
  EXPECT_EQ(kept.settings.volume, 80);
  EXPECT_FALSE(kept.settings.muted);
  EXPECT_EQ(kept.settings.autoAdvanceMs, 2000);
}

TEST(PlayerMenu, GameLibraryEndsTheGameForTheLibrary) {
  Game game;
  ShellWindow w(game.dir.path());
  PlayerMenu& menu = w.shell.playerMenu();
  w.then([&] { w.platform.key(Key::Escape); });
  w.then([&] { clickAt(w, menu.entryPlace(5)); });  // ゲーム一覧
  EXPECT_EQ(w.run(), 0);
  EXPECT_TRUE(w.shell.libraryNext());
  EXPECT_EQ(w.platform.beeps(), 1);  // as closing the window does
  EXPECT_EQ(w.shell.nextGame(), std::nullopt);
}

// The language row changes the words at once and is kept; the menu follows.
TEST(PlayerMenu, TheLanguageRowShowsEnglishAtOnceAndKeepsIt) {
  Game game;
  TempDir config;
  const std::filesystem::path settings = config.path() / "qov.ini";
  const WordsIn japanese(Language::Japanese);
  ShellWindow w(game.dir.path());
  w.platform.setSettingsFile(settings);
  SettingsPage& page = w.shell.settingsPage();
  w.then([&] {
    w.platform.key(Key::Escape);
    for (int i = 0; i < 3; ++i) w.platform.key(Key::Down);
    w.platform.key(Key::Enter);  // 設定
  });
  w.then([&] {
    ASSERT_TRUE(page.shown());
    w.platform.key(Key::Up);     // round to the last row: the language
    w.platform.key(Key::Right);  // 日本語
    w.platform.key(Key::Right);  // English
  });
  w.then([&] {
    EXPECT_EQ(wordsLanguage(), Language::English);
    expectGolden(w.platform.frame(), "settings_page_en", kShellData);
    w.platform.key(Key::Escape);
    w.platform.key(Key::Escape);
  });
  w.then([&] {
    expectGolden(w.platform.frame(), "player_menu_en", kShellData);
    w.platform.key(Key::Up);  // Quit
    w.platform.key(Key::Enter);
  });
  EXPECT_EQ(w.run(), 0);
  EXPECT_EQ(PlayerSettings::read(settings).settings.language, Language::English);
}

}  // namespace
}  // namespace qov::test
