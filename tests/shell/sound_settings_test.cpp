// The music's and the effects' volumes and the music's soundfont, chosen on the settings page.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "tests/shell/ShellTestSupport.h"

namespace qov::test {
namespace {

namespace fs = std::filesystem;

struct Game {
  TempDir dir;
  TempDir data;
  Game() { writeScript(dir.path(), "wnatu", U"MES,一ページ目。￥\nEXIT"); }
};

void clickAt(ShellWindow& w, const Rect& r) {
  w.platform.click(r.x + r.w / 2, r.y + r.h / 2);
}

void openSettings(ShellWindow& w) {
  w.platform.key(Key::Escape);
  for (int i = 0; i < 3; ++i) w.platform.key(Key::Down);
  w.platform.key(Key::Enter);  // 設定
}

// Clicks the "＜" (-1) or "＞" (+1) of the row of that name.
void change(ShellWindow& w, std::u32string_view row, int step) {
  SettingsPage& page = w.shell.settingsPage();
  ASSERT_LT(page.rowNamed(row), 100u);
  clickAt(w, page.arrowPlace(page.rowNamed(row), step));
}

void write(const fs::path& file, std::string_view bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << bytes;
}

TEST(SoundSettings, TheMusicAndEffectsVolumesReachTheAudioAndAreKept) {
  Game game;
  const fs::path settings = game.data.path() / "qov.ini";
  write(settings, "[sound]\nvolume = 80\nmusic = 50\neffects = 30\n");
  ShellWindow w(game.dir.path());
  w.platform.setSettingsFile(settings);
  w.then([&] {
    EXPECT_EQ(w.platform.volume(), 80);
    EXPECT_EQ(w.platform.musicLevel(), 50);
    EXPECT_EQ(w.platform.effectsLevel(), 30);
    openSettings(w);
  });
  w.then([&] {
    change(w, U"Music volume", +1);
    change(w, U"Effects volume", -1);
    for (int i = 0; i < 5; ++i) change(w, U"Effects volume", -1);  // not below 0
  });
  w.then([&] {
    EXPECT_EQ(w.platform.musicLevel(), 60);
    EXPECT_EQ(w.platform.effectsLevel(), 0);
    EXPECT_EQ(w.platform.volume(), 80);  // the overall volume over both
    w.platform.closeWindow();
  });
  EXPECT_EQ(w.run(), 0);
  const PlayerSettings::Read kept = PlayerSettings::read(settings);
  EXPECT_EQ(kept.settings.musicVolume, 60);
  EXPECT_EQ(kept.settings.effectsVolume, 0);
  EXPECT_EQ(kept.settings.volume, 80);
}

TEST(SoundSettings, TheSoundFontsInstalledAreListedOnceByName) {
  TempDir system;
  TempDir own;
  for (const char* name : {"b.sf2", "A.SF3", "notes.txt", "std.sf2"})
    write(system.path() / name, "x");
  fs::create_directories(system.path() / "folder.sf2");
  fs::create_symlink(system.path() / "b.sf2", system.path() / "link.sf2");
  write(own.path() / "c.sf3", "x");
  const std::vector<fs::path> found = installedSoundFonts(
      {system.path(), own.path(), own.path() / "missing"}, system.path() / "std.sf2");
  EXPECT_EQ(found, (std::vector<fs::path>{system.path() / "A.SF3", system.path() / "b.sf2",
                                          own.path() / "c.sf3"}));
}

TEST(SoundSettings, ASoundFontThatFailsToLoadIsANoticeAndTheOneBeforeStays) {
  Game game;
  // Last in the list, so that a step down from the default reaches them whatever the system has.
  const fs::path good = game.data.path() / "soundfonts" / "zz-good.sf2";
  const fs::path broken = game.data.path() / "soundfonts" / "zz-broken.sf2";
  write(good, std::string("RIFF\0\0\0\0sfbkLIST", 16));
  write(broken, "not a soundfont at all");
  ShellWindow w(game.dir.path());
  w.platform.setDataFolder(game.data.path());
  w.then([&] { openSettings(w); });
  w.then([&] { change(w, U"Soundfont", -1); });
  w.then([&] {
    EXPECT_EQ(w.platform.soundFont(), good);
    EXPECT_EQ(w.comforts.settings().soundFont, good.string());
    change(w, U"Soundfont", -1);
  });
  w.then([&] {  // the notice over the page
    EXPECT_EQ(w.platform.soundFont(), good);
    EXPECT_EQ(w.comforts.settings().soundFont, good.string());
    w.platform.closeWindow();
  });
  std::string err;
  EXPECT_EQ(w.run(&err), 0);
  EXPECT_NE(err.find(broken.string()), std::string::npos) << err;
}

}  // namespace
}  // namespace qov::test
