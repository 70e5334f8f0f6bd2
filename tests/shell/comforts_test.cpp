// The player's comforts: skipping with Ctrl, the message history, screenshots, the keys list
// and the settings kept between runs. None of them may change what the game does.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "engine/SaveFile.h"
#include "tests/shell/ShellTestSupport.h"

namespace qov::test {
namespace {

namespace fs = std::filesystem;

// Five pages with a speaker, colours, a passage and typing delays; then a variable, the save
// and the end.
constexpr std::u32string_view kPages =
    U"MES,＆0ＡＢＣ＃01＠00：0一ページ目のことば。￥＠09二ページ目は青い文字。＾"
    U"：0語り手の＜ここは語りの色＞のあとも続く。￥＠00三ページ目。￥四ページ目。＾次の行も。￥"
    U"五ページ目、最後のページ。￥\n"
    U"LET,1,7\n"
    U"INC,2,05\n"
    U"SAVE\n"
    U"EXIT";

std::string fileBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

struct Game {
  TempDir dir;
  Game() { writeScript(dir.path(), "wnatu", kPages); }
};

TEST(Comforts, CtrlHeldPlaysTheMessageToItsEndAsClicksWould) {
  Game clicked;
  ShellWindow byClicks(clicked.dir.path());
  for (int i = 0; i < 5; ++i) byClicks.then([&] { byClicks.click(byClicks.c.MES); });
  std::string err;
  EXPECT_EQ(byClicks.run(&err), 0) << err;
  EXPECT_EQ(byClicks.stalls, 5u);

  Game skipped;
  ShellWindow byCtrl(skipped.dir.path());
  byCtrl.platform.keyDown(Key::Control, 0);
  EXPECT_EQ(byCtrl.run(), 0);
  EXPECT_EQ(byCtrl.stalls, 0u);  // not one click
  // Each page stayed in sight a moment, and the typing delay was skipped.
  EXPECT_GE(byCtrl.platform.now(), 5 * MessageWindow::kSkipPageMs);
  EXPECT_LT(byCtrl.platform.now(), 5 * MessageWindow::kSkipPageMs + 50);

  EXPECT_EQ(byCtrl.window.variables().vars(), byClicks.window.variables().vars());
  EXPECT_EQ(fileBytes(skipped.dir.path() / SaveFile::kFileName),
            fileBytes(clicked.dir.path() / SaveFile::kFileName));
  EXPECT_EQ(byCtrl.window.variables().var(1), 7);

  // Released, the next page waits for a click again.
  Game released;
  ShellWindow again(released.dir.path());
  again.platform.keyDown(Key::Control, 0);
  again.platform.keyUp(Key::Control, 130);  // during the third page
  for (int i = 0; i < 3; ++i) again.then([&] { again.click(again.c.MES); });
  EXPECT_EQ(again.run(), 0);
  EXPECT_EQ(again.stalls, 3u);
}

TEST(Comforts, AReturnToAnEarlierPageGoesOnAsIfTheLaterPagesHadNeverBeenPlayed) {
  constexpr std::u32string_view kTwoMessages =
      U"MES,一ページ目。￥二ページ目。＄02￥\n"
      U"INC,2,99\n"
      U"MES,三ページ目。＄02￥四ページ目。￥五ページ目。￥\n"
      U"SAVE\n"
      U"EXIT";
  TempDir straight;
  writeScript(straight.path(), "wnatu", kTwoMessages);
  ShellWindow clicks(straight.path());
  for (int i = 0; i < 5; ++i) clicks.then([&] { clicks.click(clicks.c.MES); });
  EXPECT_EQ(clicks.run(), 0);

  TempDir returned;
  writeScript(returned.path(), "wnatu", kTwoMessages);
  ShellWindow w(returned.path());
  Image second;
  w.then([&] { w.click(w.c.MES); });
  w.then([&] {
    second = w.platform.frame();
    w.click(w.c.MES);
  });
  w.then([&] { w.click(w.c.MES); });
  w.then([&] { w.click(w.c.MES); });
  w.then([&] {  // the fifth page: three back is the second
    for (int i = 0; i < 3; ++i) w.platform.wheel(1);
  });
  w.then([&] {
    ASSERT_TRUE(w.comforts.historyOpen());
    expectGolden(w.platform.frame(), "history_return", kShellData);
    w.platform.click(380, 327);  // "ここまで戻る"
  });
  w.then([&] {
    EXPECT_FALSE(w.comforts.historyOpen());
    EXPECT_EQ(w.platform.frame(), second);
    EXPECT_EQ(w.window.variables().var(2), 0);
    w.click(w.c.MES);
  });
  for (int i = 0; i < 3; ++i) w.then([&] { w.click(w.c.MES); });
  std::string err;
  EXPECT_EQ(w.run(&err), 0) << err;
  EXPECT_EQ(w.stalls, 10u);
  EXPECT_EQ(fileBytes(returned.path() / SaveFile::kFileName),
            fileBytes(straight.path() / SaveFile::kFileName));
}

TEST(Comforts, HistoryShowsEarlierPagesAndTheGameSeesNoneOfItsInput) {
  Game game;
  ShellWindow w(game.dir.path());
  Image lastPage;
  for (int i = 0; i < 4; ++i) w.then([&] { w.click(w.c.MES); });
  w.then([&] {  // the fifth page waits: three steps back, by wheel, Page Up and Up
    lastPage = w.platform.frame();
    w.platform.wheel(1);
    w.platform.key(Key::PageUp);
    w.platform.key(Key::Up);
  });
  w.then([&] {
    EXPECT_TRUE(w.comforts.historyOpen());
    expectGolden(w.platform.frame(), "history_three_back", kShellData);
    w.platform.key(Key::Space);  // not the game's while the history is open
    w.click(w.c.MES);            // closes it
  });
  w.then([&] {
    EXPECT_FALSE(w.comforts.historyOpen());
    EXPECT_EQ(w.platform.frame(), lastPage);
    EXPECT_EQ(w.window.variables().var(1), 0);  // still waiting on the fifth page
    w.platform.wheel(2);
    w.platform.wheel(-1);
    w.platform.key(Key::Down);  // past the newest: closed
  });
  w.then([&] {
    EXPECT_FALSE(w.comforts.historyOpen());
    w.platform.key(Key::F1);  // the keys list, until the next click, which the game never sees
  });
  w.then([&] {
    EXPECT_TRUE(w.comforts.keysShown());
    expectGolden(w.platform.frame(), "keys_list", kShellData);
    w.click(w.c.MES);
  });
  w.then([&] {
    EXPECT_FALSE(w.comforts.keysShown());
    EXPECT_EQ(w.platform.frame(), lastPage);
    EXPECT_EQ(w.window.variables().var(1), 0);
    w.click(w.c.MES);
  });
  EXPECT_EQ(w.run(), 0);
  EXPECT_EQ(w.window.variables().var(1), 7);
}

TEST(Comforts, F12WritesTheFrameAsPng) {
  Game game;
  TempDir pictures;
  ShellWindow w(game.dir.path());
  w.platform.setPicturesFolder(pictures.path());
  w.then([&] { w.platform.key(Key::F12); });
  std::string err;
  w.then([&] { w.platform.closeWindow(); });
  EXPECT_EQ(w.run(&err), 0);

  std::vector<fs::path> shots;
  for (const auto& entry : fs::directory_iterator(pictures.path())) shots.push_back(entry.path());
  ASSERT_EQ(shots.size(), 1u);
  const std::string name = shots[0].filename().string();
  EXPECT_TRUE(std::regex_match(
      name, std::regex(*w.platform.windowCaption() + "-20[0-9]{6}-[0-9]{6}\\.png")))
      << name;
  EXPECT_EQ(err, "qov: screenshot saved as " + shots[0].string() + "\n");
  const std::optional<Image> png = loadPng(shots[0]);
  ASSERT_TRUE(png.has_value());
  EXPECT_EQ(*png, w.platform.frame());
}

TEST(Comforts, CtrlHeldWithAnotherKeyIsNoSkip) {
  for (const Key other : {Key::Up, Key::Down, Key::Digit1, Key::Other}) {
    SCOPED_TRACE(static_cast<int>(other));
    Game game;
    ShellWindow w(game.dir.path());
    w.platform.keyDown(Key::Control, 0);
    w.platform.keyDown(other, 0);
    w.then([&] {  // the first page waits for a click: no skipping while the other key is down
      EXPECT_EQ(w.window.variables().var(1), 0);
      w.platform.keyUp(other);  // Ctrl alone again: the rest goes by itself
    });
    EXPECT_EQ(w.run(), 0);
    EXPECT_EQ(w.stalls, 1u);
    EXPECT_EQ(w.window.variables().var(1), 7);
  }
}

TEST(Comforts, ScreenshotNamesSuitEveryFileSystem) {
  struct Case {
    std::string folder;  // the caption without a title
    std::string title;
    std::string stem;  // the name before "-YYYYMMDD-HHMMSS.png"
  };
  std::string summer;
  for (int i = 0; i < 80; ++i) summer += "夏";
  const Case cases[] = {
      {summer, "", summer.substr(0, 78 * 3)},  // cut at a character, 255 bytes in all
      {"a:b*c?d\"e<f>g|h", "", "a_b_c_d_e_f_g_h"},
      {"game", "a:b*c?d\"e<f>g|h\\i", "a_b_c_d_e_f_g_h_i"},
      {"game", ". .hidden", "hidden"},
      {".hidden", "", "hidden"},
      {"game", "　全角", "全角"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folder + " " + c.title);
    TempDir parent;
    const fs::path dir = parent.path() / c.folder;
    fs::create_directory(dir);
    writeScript(dir, "wnatu", kPages);
    if (!c.title.empty()) std::ofstream(dir / "qov.ini") << "[game]\ntitle = " << c.title << "\n";
    TempDir pictures;
    ShellWindow w(dir);
    w.platform.setPicturesFolder(pictures.path());
    w.then([&] {
      w.platform.key(Key::F12);
      w.platform.closeWindow();
    });
    std::string err;
    EXPECT_EQ(w.run(&err), 0);
    std::vector<fs::path> shots;
    for (const auto& entry : fs::directory_iterator(pictures.path())) shots.push_back(entry.path());
    ASSERT_EQ(shots.size(), 1u) << err;
    const std::string name = shots[0].filename().string();
    EXPECT_TRUE(std::regex_search(name, std::regex("-20[0-9]{6}-[0-9]{6}\\.png$"))) << name;
    EXPECT_EQ(name.substr(0, name.size() - 20), c.stem);
    EXPECT_LE(name.size(), 255u);
  }
}

TEST(Comforts, AScreenshotThatCannotBeWrittenSaysWhy) {
  Game game;
  TempDir pictures;
  ShellWindow w(game.dir.path());
  w.platform.setPicturesFolder(pictures.path() / "gone");
  w.then([&] {
    w.platform.key(Key::F12);
    w.platform.closeWindow();
  });
  std::string err;
  EXPECT_EQ(w.run(&err), 0);
  EXPECT_NE(err.find("qov: cannot write the screenshot " + (pictures.path() / "gone").string()),
            std::string::npos)
      << err;
  EXPECT_NE(err.find("(No such file or directory)\n"), std::string::npos) << err;
}

TEST(Comforts, TheSettingsAreWrittenOnceAChangeHasSettled) {
  Game game;
  TempDir config;
  const fs::path settings = config.path() / "qov" / "qov.ini";
  ShellWindow w(game.dir.path());
  w.platform.setSettingsFile(settings);
  std::uint64_t lastChange = 0;
  const Rect mes = w.c.MES.visibleFrameRect();
  const auto clickAt = [&](std::uint64_t at) {
    w.platform.click(mes.x + mes.w / 2, mes.y + mes.h / 2, kLeftButton, at);
  };
  w.then([&] {
    for (int i = 0; i < 5; ++i) w.platform.key(Key::Up, std::nullopt, kCtrlKey);  // at 100 %
    clickAt(w.platform.now() + 2000);
  });
  w.then([&] {
    EXPECT_FALSE(fs::exists(settings));  // nothing changed, nothing written
    const std::uint64_t now = w.platform.now();
    for (int i = 0; i < 3; ++i) w.platform.key(Key::Down, now + 100 * i, kCtrlKey);
    lastChange = now + 200;
    w.click(w.c.MES);  // at once: the keys come first, being due
  });
  w.then([&] {
    EXPECT_LT(w.platform.now(), lastChange + Comforts::kSettleMs);
    EXPECT_FALSE(fs::exists(settings));  // not yet settled
    clickAt(lastChange + Comforts::kSettleMs + 10);
  });
  w.then([&] {
    EXPECT_NE(fileBytes(settings).find("volume = 70\n"), std::string::npos);
    w.platform.key(Key::M);
    w.platform.closeWindow();  // before it settles: written at the end
  });
  EXPECT_EQ(w.run(), 0);
  EXPECT_NE(fileBytes(settings).find("mute = yes\n"), std::string::npos);
}

TEST(Comforts, ScaleAndVolumeSurviveARestart) {
  Game game;
  TempDir config;
  const fs::path settings = config.path() / "qov" / "qov.ini";
  {
    ShellWindow w(game.dir.path());
    w.platform.setSettingsFile(settings);
    w.then([&] {
      w.platform.key(Key::Digit3, std::nullopt, kCtrlKey);  // kept within 1920 x 1080: 2
      w.platform.key(Key::Down, std::nullopt, kCtrlKey);
      w.platform.key(Key::Down, std::nullopt, kCtrlKey);
      w.platform.key(Key::M);
      w.platform.closeWindow();
    });
    std::string err;
    EXPECT_EQ(w.run(&err), 0);
    EXPECT_EQ(err, "");  // none yet is no fault
    EXPECT_EQ(w.platform.windowScale(), 2);
    EXPECT_EQ(w.platform.volume(), 0);
  }
  ShellWindow w(game.dir.path());
  w.platform.setSettingsFile(settings);
  w.then([&] {
    EXPECT_EQ(w.platform.windowScale(), 2);
    EXPECT_EQ(w.platform.volume(), 0);
    w.platform.key(Key::M);
    w.platform.closeWindow();
  });
  std::string err;
  EXPECT_EQ(w.run(&err), 0);
  EXPECT_EQ(err, "");
  EXPECT_EQ(w.platform.volume(), 80);
  EXPECT_EQ(fileBytes(settings),
            "; The Qov player's own settings; the player rewrites this file.\n"
            "[window]\nscale = 2\nfullscreen = no\n\n[sound]\nvolume = 80\nmute = no\n"
            "music = 100\neffects = 100\n"
            "\n[text]\nhook = no\nclipboard = no\n"
            "\n[speech]\nspeak = no\nrate = 0\nvolume = 100\n"
            "\n[reading]\nauto-advance = 1500\nauto-advance-per-character = 80\n"
            "skip = all\ntyping = game\n");
}

TEST(Comforts, ABrokenSettingsFileStartsWithTheDefaults) {
  struct Case {
    std::string text;
    int scale;
    int volume;
    std::string says;
  };
  const Case cases[] = {
      {"[window\nscale = 3\n", 1, 100, " line 1: "},
      {"[window]\nscale = 2\n[sound]\nvolume = loud\n", 2, 100, " line 4: volume \"loud\""},
      {"[window]\nscale = 9\n[sound]\nvolume = 30\n", 1, 30, " line 2: scale \"9\""},
      {std::string("\xff\xfe[", 3), 1, 100, " line 1: "},
      {"[speech]\nrate = 200\n[sound]\nvolume = 30\n", 1, 30, " line 2: rate \"200\""},
      {"[player]\nlanguage = fr\n[sound]\nvolume = 30\n", 1, 30, " line 2: language \"fr\""},
  };
  for (const Case& c : cases) {
    Game game;
    TempDir config;
    const fs::path settings = config.path() / "qov.ini";
    std::ofstream(settings, std::ios::binary) << c.text;
    ShellWindow w(game.dir.path());
    w.platform.setSettingsFile(settings);
    w.then([&] { w.platform.closeWindow(); });
    std::string err;
    EXPECT_EQ(w.run(&err), 0);
    EXPECT_EQ(w.platform.windowScale(), c.scale) << c.text;
    EXPECT_EQ(w.platform.volume(), c.volume) << c.text;
    EXPECT_EQ(err.rfind("qov: " + settings.string() + c.says, 0), 0u) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  }
}

}  // namespace
}  // namespace qov::test
