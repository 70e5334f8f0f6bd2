// The opening is a timed show with its song: the shell's screens never stop its clock, the
// history stays closed from its start to its end, and the keys list goes when it ends.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/shell/ShellTestSupport.h"

namespace qov::test {
namespace {

namespace fs = std::filesystem;

// The opening's pictures and song, a page before it and one after.
struct OpeningGame {
  TempDir dir;
  OpeningGame() {
    for (const auto& entry : fs::directory_iterator(QOV_GAME_DIR)) {
      const std::string name = entry.path().filename().string();
      if (name.starts_with("OP") || name == "Tv2b.wav") {
        fs::copy_file(entry.path(), dir.path() / name);
      }
    }
    writeScript(dir.path(), "wnatu", U"MES,前のページ。￥\nOP\nMES,後のページ。￥\nEXIT");
  }
};

// Plays the game with a click for each page; `atPicture` sees each of the opening's pictures
// shown, with the milliseconds since the first.
std::vector<std::uint64_t> playOpening(
    ShellWindow& w, const std::function<void(std::u32string_view, std::uint64_t)>& atPicture) {
  std::vector<std::uint64_t> times;
  std::optional<std::uint64_t> start;
  w.window.setShowObserver([&](Qov::Shown shown, std::u32string_view name) {
    if (shown != Qov::Shown::Picture) return;
    if (!start) start = w.platform.now();
    times.push_back(w.platform.now() - *start);
    atPicture(name, w.platform.now());
  });
  w.then([&] { w.click(w.c.MES); });
  w.then([&] {
    EXPECT_TRUE(w.shell.screens().empty());
    w.click(w.c.MES);
  });
  EXPECT_EQ(w.run(), 0);
  EXPECT_EQ(w.stalls, 2u);  // one click for each page, none for a screen left open
  return times;
}

TEST(Opening, ANoticeOverTheOpeningKeepsItsClock) {
  OpeningGame plain;
  ShellWindow alone(plain.dir.path());
  const std::vector<std::uint64_t> expected = playOpening(alone, [](auto, auto) {});
  ASSERT_EQ(expected.size(), 8u);

  OpeningGame game;
  ShellWindow w(game.dir.path());
  std::vector<bool> noticeShown;
  const std::vector<std::uint64_t> times =
      playOpening(w, [&](std::u32string_view name, std::uint64_t now) {
        if (name == U"OP1") {
          w.platform.drop(fs::path("hello"), now + 2000);
          w.platform.click(250, 150, kLeftButton, now + 12000);  // OK, ten seconds later
        }
        noticeShown.push_back(!w.shell.screens().empty());
      });
  EXPECT_EQ(times, expected);
  EXPECT_EQ(noticeShown,
            (std::vector<bool>{false, true, false, false, false, false, false, false}));
}

TEST(Opening, TheHistoryStaysClosedAndTheKeysListGoesWithIt) {
  OpeningGame game;
  ShellWindow w(game.dir.path());
  bool historyEverOpen = false;
  bool keysShownAtOP2 = false;
  static_cast<void>(playOpening(w, [&](std::u32string_view name, std::uint64_t now) {
    historyEverOpen = historyEverOpen || w.comforts.historyOpen();
    if (name == U"OP1") {  // in its first second
      w.platform.key(Key::Up, now);
      w.platform.wheel(1, now + 100);
      w.platform.key(Key::F1, now + 3000);
    }
    if (name == U"OP2") {
      keysShownAtOP2 = w.comforts.keysShown();
      w.platform.key(Key::PageUp, now + 100);  // closes the keys list, opens nothing
    }
    if (name == U"OP3") w.platform.key(Key::F1, now);
  }));
  EXPECT_FALSE(historyEverOpen);
  EXPECT_TRUE(keysShownAtOP2);
  EXPECT_FALSE(w.comforts.keysShown());
}

}  // namespace
}  // namespace qov::test
