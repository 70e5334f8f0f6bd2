// The folder browser of "ゲームを追加…" inside the library screen.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "shell/library/FolderBrowser.h"
#include "shell/library/LibraryScreen.h"
#include "tests/shell/LibraryTestSupport.h"

namespace qov::test {
namespace {

namespace fs = std::filesystem;

constexpr int kAddGameX = 436;  // "ゲームを追加…"
constexpr int kAddGameY = 15;
constexpr int kAddX = 340;  // the browser's "追加"
constexpr int kFooterY = 367;
int lineY(int line) {
  return FolderBrowser::kListTop + line * FolderBrowser::kLineHeight + 12;
}

struct Home {
  Home() {
    useUtc();
    makeGame(home() / "games" / "alpha", "アルファ");
    makeGame(home() / "games" / "beta");
    makeGame(home() / "solo", "ひとり");
    fs::create_directories(home() / "photos");
    fs::create_directories(home() / ".hidden");
    std::ofstream(home() / "notes.txt") << "text";
  }
  [[nodiscard]] fs::path home() const { return lib.root.path() / "home"; }
  TestLibrary lib;
  HeadlessPlatform platform;
};

TEST(FolderBrowser, ShowsFoldersAndMarksThoseThatHoldGames) {
  Home h;
  screen::Fonts fonts(h.platform);
  std::vector<fs::path> added;
  bool closed = false;
  FolderBrowser browser(h.platform, fonts, h.home(),
                        {[&](const fs::path& p) { added.push_back(p); }, [&] { closed = true; }});
  browser.open(h.home());
  const auto& lines = browser.lines();
  ASSERT_EQ(lines.size(), 4u);  // "..", games, photos, solo: no hidden folder, no text file
  EXPECT_EQ(lines[0].kind, FolderBrowser::Line::Parent);
  EXPECT_EQ(lines[1].name, U"games");
  EXPECT_EQ(lines[1].kind, FolderBrowser::Line::Games);
  EXPECT_EQ(lines[1].games, 2u);
  EXPECT_EQ(lines[2].kind, FolderBrowser::Line::Folder);
  EXPECT_EQ(lines[3].kind, FolderBrowser::Line::Game);

  // A second click on the selected line opens it: a folder is entered, a game is added.
  browser.mouseDown(100, lineY(1));
  browser.mouseUp(100, lineY(1));
  EXPECT_EQ(browser.folder(), h.home());
  browser.mouseDown(100, lineY(1));
  browser.mouseUp(100, lineY(1));
  EXPECT_EQ(browser.folder(), h.home() / "games");
  browser.keyDown(KeyPress{Key::Backspace});
  EXPECT_EQ(browser.folder(), h.home());
  browser.keyDown(KeyPress{Key::End});
  browser.keyDown(KeyPress{Key::Enter});
  EXPECT_EQ(added, std::vector<fs::path>{h.home() / "solo"});
  // "追加" in a folder without games says there is nothing to add.
  browser.keyDown(KeyPress{Key::Up});
  browser.keyDown(KeyPress{Key::Enter});
  EXPECT_EQ(browser.folder(), h.home() / "photos");
  browser.mouseDown(kAddX, kFooterY);
  browser.mouseUp(kAddX, kFooterY);
  EXPECT_EQ(added.size(), 1u);
  EXPECT_FALSE(browser.notice().empty());
  // A folder that cannot be read keeps the one shown.
  browser.open(h.home() / "gone");
  EXPECT_EQ(browser.folder(), h.home() / "photos");
  EXPECT_NE(browser.notice().find(U"開けません"), std::u32string::npos);
  browser.keyDown(KeyPress{Key::Escape});
  EXPECT_TRUE(closed);
}

TEST(FolderBrowser, AddsAGameOrEveryGameOfAFolderToTheLibrary) {
  Home h;
  const fs::path demo = makeGame(h.lib.root.path() / "demo", "デモ");
  LibraryScreen screen(h.platform, h.lib.library, {demo, h.home()});
  h.platform.click(kAddGameX, kAddGameY);
  h.platform.click(100, lineY(1));  // select "games"
  h.platform.click(kAddX, kFooterY);
  std::optional<Image> browsing;
  h.platform.setStallHandler([&] {
    if (browsing) return false;
    browsing = h.platform.frame();
    h.platform.click(kAddGameX, kAddGameY);
    h.platform.click(100, lineY(3));  // "solo"
    h.platform.click(100, lineY(3));
    h.platform.closeWindow();
    return true;
  });
  testing::internal::CaptureStderr();
  EXPECT_EQ(screen.run(), std::nullopt);
  testing::internal::GetCapturedStderr();
  EXPECT_FALSE(screen.browsing());
  const auto& rows = screen.rows();
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0].folder, h.home() / "solo");
  EXPECT_EQ(rows[1].folder, h.home() / "games" / "alpha");
  EXPECT_EQ(rows[2].folder, h.home() / "games" / "beta");
  EXPECT_EQ(rows[3].folder, demo);
  h.lib.library.load();
  EXPECT_EQ(h.lib.library.entries().size(), 3u);
  ASSERT_TRUE(browsing.has_value());
}

}  // namespace
}  // namespace qov::test
