// A state taken at a wait and gone on from in a fresh window plays on exactly as the game would
// have without stopping: the same frames, music and effects, and the same save file.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/game/GamePlay.h"

namespace qov::test {
namespace {

// What the player sees and hears at each wait, and the save file at the end.
struct Record {
  std::vector<std::string> steps;
  std::string save;
  friend bool operator==(const Record&, const Record&) = default;
};

std::uint64_t digest(const Image& frame) {
  std::uint64_t hash = 0xcbf29ce484222325ull;
  for (const Argb pixel : frame.pixels()) hash = (hash ^ pixel) * 0x100000001b3ull;
  return hash;
}

// A small generator of our own, so that a seed plays the same answers everywhere.
int pick(std::uint64_t seed, int bound) {
  std::uint64_t z = seed + 0x9E3779B97F4A7C15ull;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  z ^= z >> 31;
  return static_cast<int>(z % static_cast<std::uint64_t>(bound));
}

// Answers the wait shown: an item button, a menu label or the header, a left click on the
// message window, now and then a right click that shows or hides the menu.
void answer(HeadlessPlatform& platform, Qov& window, std::uint64_t seed) {
  WindowControls& c = window.controls();
  const auto clickOn = [&platform](const Control& control, int button = kLeftButton) {
    const Rect r = control.visibleFrameRect();
    platform.click(r.x + r.w / 2, r.y + r.h / 2, button);
  };
  if (pick(seed * 3 + 1, 12) == 0) return clickOn(c.MES, kRightButton);
  if (c.ITEM.shown() && c.ITMCommand1.shown()) {
    const int action = pick(seed, 10);
    if (action < 5) return clickOn(c.ITMCommand1);
    if (action < 9) return clickOn(c.ITMCommand3[static_cast<std::size_t>(action % 2)]);
    return clickOn(c.ITMCommand2);
  }
  if (c.LBcm.shown() && window.menu().choosing()) {
    std::vector<const Control*> targets = {&c.LBcm};
    // Never the title's "おわる", so that plays go deep into the game.
    for (const Label& label : c.Label1) {
      if (!label.caption.empty() && label.caption != U"おわる") targets.push_back(&label);
    }
    const Control* t = targets[static_cast<std::size_t>(pick(seed, static_cast<int>(targets.size())))];
    return clickOn(*t);
  }
  clickOn(c.MES);
}

struct Play {
  std::optional<GameSnapshot> state;  // taken at the wait `at`
  std::string saveThen;               // the save file as it was then ("" when there was none)
  Record record;
};

// Where a state was taken: script, line, what it waited for.
std::string place(const GameSnapshot& state) {
  return state.scriptFile + ":" + std::to_string(state.lineNo) + " " +
         (state.wait == GameSnapshot::Wait::Page ? "page " + std::to_string(state.page)
          : state.wait == GameSnapshot::Wait::Menu ? "menu " + std::to_string(state.menuPage)
                                                   : std::string("items"));
}

// Plays the game in `dir` (from `start`, when given) with the answers of `seed`. From the wait
// `at` on where a state is taken at `wanted` (or anywhere, "", or from `start`: its first wait)
// it records `steps` waits, then closes the window.
Play play(const fs::path& dir, std::uint64_t seed, int at, int steps, const std::string& wanted,
          const std::optional<GameSnapshot>& start = std::nullopt) {
  HeadlessPlatform platform({dir});
  Qov window(platform, dir, {dir});
  platform.setEventSink(&window);
  if (start) {
    EXPECT_EQ(window.refusal(*start), std::nullopt);
    window.startFrom(*start);
  }
  Play result;
  int wait = 0;
  std::size_t musicSeen = 0;
  std::size_t soundSeen = 0;
  bool recording = false;
  platform.setStallHandler([&] {
    if (!recording && wait >= at) {
      result.state = window.snapshot();
      if (result.state && !wanted.empty() && place(*result.state) != wanted) result.state.reset();
      recording = result.state.has_value();
      if (recording) {
        result.saveThen = readBytes(dir / "TOVELI2.DAT");
        musicSeen = platform.headlessMusic().commands().size();
        soundSeen = platform.headlessSound().log().size();
      }
    }
    if (recording) {
      std::string step = std::to_string(digest(platform.frame()));
      const auto& music = platform.headlessMusic().commands();
      for (; musicSeen < music.size(); ++musicSeen) {
        if (!music[musicSeen].starts_with("status")) step += " | " + music[musicSeen];
      }
      const auto& sound = platform.headlessSound().log();
      for (; soundSeen < sound.size(); ++soundSeen) {
        step += " | sound " + sound[soundSeen].file.filename().string() +
                (sound[soundSeen].loop ? " loop" : "");
      }
      result.record.steps.push_back(step);
      if (static_cast<int>(result.record.steps.size()) > steps) {
        platform.closeWindow();
        return true;
      }
    }
    // The answers from the state's wait on are the same in both plays.
    answer(platform, window,
           seed * 1'000'000 + (recording ? 500'000 + result.record.steps.size() : wait));
    ++wait;
    return true;
  });
  (void)window.run();
  for (const auto& box : platform.messageBoxes()) ADD_FAILURE() << box.title << ": " << box.text;
  result.record.save = readBytes(dir / "TOVELI2.DAT");
  return result;
}

// A game of our own with what states find hardest: the second and third page of a message (a
// speaker's line and an item's picture among them), a value that changes after its message, a
// submenu, the item window, a subroutine and a message FP chooses, a looping effect, and a shorter script that runs a
// line of the longer one it replaced.
void writeHardGame(const fs::path& dir) {
  writeScript(dir, "wnatu",
              U"MUSPL,machi,1\n"
              U"GHG,HOME\n"
              U"ITMS,0,1,鍵\n"
              U"ITMS,3,1,貝殻\n"
              U"LET,5,42\n"
              U"MES,＆0アキラ＃01＠03一ページ目。￥二ページ目、＄05。￥：0三ページ目。＊03品物の絵。￥\n"
              U"INC,5,99\n"
              U"SOUND,fire,9\n"
              U"CMST,0,＊話す＊調べる１移動￥持ち物・＊海へ＊山へ＠戻る\n"
              U"CMSL,0,21\n"
              U"CASE,0\n"
              U"GOSUB,30\n"
              U"CASE,1\n"
              U"SAVE\n"
              U"MES,＠12調べた。＄05￥\n"
              U"CASE,3\n"
              U"MES,＄00を使った。￥\n"
              U"CASE,100\n"
              U"ACMLD,short\n"
              U"CASE,101\n"
              U"ENDCM\n"
              U"GOTO,6\n"
              U"\n\n\n\n\n\n\n"
              U"MES,サブルーチンの中。￥もう一ページ。￥\n"
              U"LET,6,2\n"
              U"FP,6,35\n"
              U"一つ目の文。￥\n"
              U"二つ目の文。＄05￥もう一ページ。￥\n"
              U"ENDFP\n"
              U"RET");
  writeScript(dir, "short", U"MES,短い台本です。￥二ページ目。￥三ページ目。￥\nGOSUB,30\nACMLD,wnatu");
}

// Plays on from a state taken at or after the wait `at` of the play of `seed` (at `wanted` when
// given), and returns where it was taken ("" when the game had ended before).
std::string expectSamePlayOn(std::uint64_t seed, int at, int steps, bool hardGame = false,
                             const std::string& wanted = "") {
  SCOPED_TRACE("seed " + std::to_string(seed) + ", wait " + std::to_string(at));
  GameCopy straight;
  if (hardGame) writeHardGame(straight.path());
  const Play first = play(straight.path(), seed, at, steps, wanted);
  if (!first.state) return {};
  GameCopy resumed;
  if (hardGame) writeHardGame(resumed.path());
  if (first.saveThen.empty()) {
    fs::remove(resumed.path() / "TOVELI2.DAT");
  } else {
    std::ofstream(resumed.path() / "TOVELI2.DAT", std::ios::binary) << first.saveThen;
  }
  const Play second = play(resumed.path(), seed, 0, steps, "", first.state);
  EXPECT_EQ(first.record, second.record);
  return place(*first.state);
}

TEST(States, GoingOnFromAStateInAFreshWindowPlaysTheSame) {
  // Random waits of random plays of the demo game: pages, menus and submenus, the item
  // window, its scripts loaded by ACMLD, its subroutines and its music.
  for (std::uint64_t seed = 1; seed <= 8; ++seed) {
    expectSamePlayOn(seed, pick(seed, 200), 30);
  }
}

TEST(States, GoingOnFromTheHardestWaitsPlaysTheSame) {
  // Each place at least once, then anywhere.
  const std::vector<std::string> places = {
      "wnatu.QOV:6 page 1",  "wnatu.QOV:6 page 3",  "wnatu.QOV:10 menu 1",
      "wnatu.QOV:10 items",  "wnatu.QOV:30 page 1", "wnatu.QOV:32 page 1",
      "short.QOV:1 page 2"};
  for (std::uint64_t seed = 1; seed <= 16; ++seed) {
    const std::string wanted = seed <= places.size() ? places[seed - 1] : "";
    const std::string taken = expectSamePlayOn(seed, pick(seed, 60), 15, true, wanted);
    if (!wanted.empty()) {
      EXPECT_EQ(taken, wanted);
    }
  }
}

}  // namespace
}  // namespace qov::test
