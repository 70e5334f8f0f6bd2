// A game's own caption, window icon, wait cursor and item sheet, from the qov.ini of its folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "tests/ui/UiTestSupport.h"
#include "ui/WindowImages.h"

namespace qov::test {
namespace {

namespace fs = std::filesystem;

class GameDataTest : public ::testing::Test {
 protected:
  GameDataTest() {
    fs::create_directories(game);
    writeScript(game, "wnatu", U"EXIT\n");
  }
  void ini(const std::string& text) { std::ofstream(game / "qov.ini", std::ios::binary) << text; }
  static Image picture(int w, int h, Argb colour) {
    Image image(w, h, colour);
    image.fill(Rect{1, 1, 2, 2}, rgb(255, 0, 0));
    return image;
  }
  // Opens the game; returns what it said on stderr.
  std::string open() {
    testing::internal::CaptureStderr();
    window.emplace(game);
    window->window.Form_Load();
    return testing::internal::GetCapturedStderr();
  }
  [[nodiscard]] const Image& sheet() const { return window->c.ITMPicture1.picture(); }

  TempDir dir;
  const fs::path game = dir.path() / "夏のゲーム";
  std::optional<Window> window;
};

TEST_F(GameDataTest, WithoutQovIniTheFolderNameAndThePlayersOwnPictures) {
  EXPECT_EQ(open(), "");
  EXPECT_EQ(window->platform.windowCaption(), "夏のゲーム");
  EXPECT_EQ(window->platform.windowIcon(), windowIcon());
  EXPECT_EQ(window->platform.waitCursorImage(), waitCursorImage());
  expectGolden(sheet(), "default_item_sheet");
}

TEST_F(GameDataTest, QovIniNamesCaptionIconCursorAndItemSheet) {
  ASSERT_TRUE(savePng(picture(32, 32, rgb(0, 0, 255)), game / "ICON.PNG"));
  ASSERT_TRUE(savePng(picture(32, 32, rgb(0, 255, 0)), game / "wait.png"));
  ASSERT_TRUE(savePng(picture(720, 300, rgb(9, 99, 199)), game / "Items.png"));
  // The names are found as any game file is: case and "\" as on Windows.
  fs::create_directories(game / "pics");
  fs::rename(game / "Items.png", game / "pics" / "Items.png");
  ini("[game]\ntitle = 夏灯り\nicon = icon.png\ncursor = WAIT.PNG\nitems = PICS\\items.png\n");
  EXPECT_EQ(open(), "");
  EXPECT_EQ(window->platform.windowCaption(), "夏灯り");
  EXPECT_EQ(window->platform.windowIcon(), picture(32, 32, rgb(0, 0, 255)));
  EXPECT_EQ(window->platform.waitCursorImage(), picture(32, 32, rgb(0, 255, 0)));
  EXPECT_EQ(sheet(), picture(720, 300, rgb(9, 99, 199)));
}

TEST_F(GameDataTest, EachBadValueIsOneLineAndTheDefault) {
  ASSERT_TRUE(savePng(picture(16, 16, rgb(0, 0, 255)), game / "small.png"));
  std::ofstream(game / "text.gif") << "not a picture";
  ini("[game]\n"
      "title = \xFF\xFE\n"
      "icon = missing.png\n"
      "cursor = small.png\n"
      "items = text.gif\n"
      "colour = red\n"
      "this line is no setting\n");
  const std::string err = open();
  for (const char* expected : {"line 2: the title is not UTF-8", "line 3: icon \"missing.png\"",
                               "line 4: cursor \"small.png\": 16 x 16 pixels, not 32 x 32",
                               "line 5: items \"text.gif\": not a picture",
                               "line 6: unknown key \"colour\"", "line 7: neither"}) {
    EXPECT_NE(err.find((game / "qov.ini").string() + " " + expected), std::string::npos)
        << expected << " in:\n"
        << err;
  }
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 6) << err;
  EXPECT_EQ(window->platform.windowCaption(), "夏のゲーム");
  EXPECT_EQ(window->platform.windowIcon(), windowIcon());
  EXPECT_EQ(window->platform.waitCursorImage(), waitCursorImage());
  EXPECT_EQ(sheet(), defaultItemSheet());
}

}  // namespace
}  // namespace qov::test
