#pragma once

// A player for long runs of the game on the headless platform: it answers every wait with a
// click (the message window, a menu entry at random, "使う" in the item window) and never
// gives up before the game ends or its answers run out.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/ProgramEnd.h"
#include "platform/headless/HeadlessPlatform.h"
#include "ui/Qov.h"

namespace qov::soak {

struct PlayResult {
  int exitCode = -1;
  int answers = 0;
  int menuChoices = 0;
  bool gaveUp = false;  // closed after its answers ran out
  std::uint64_t virtualMs = 0;
  std::vector<HeadlessPlatform::MessageBoxEntry> boxes;
};

// Plays the game in `dir` once: starts a new game, then picks menu entries at random from a
// sequence seeded with `seed`, so that the player goes through the story (time passes as the
// player moves about) instead of asking the same thing forever. After `maxAnswers` answers the
// player closes the window.
inline PlayResult playOnce(const std::filesystem::path& dir, std::uint64_t seed,
                           int maxAnswers = 5000) {
  std::uint64_t random = 0x9E3779B97F4A7C15ull * (seed + 1);
  const auto pick = [&random](int bound) {
    random = random * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<int>((random >> 33) % static_cast<std::uint64_t>(bound));
  };
  HeadlessPlatform platform({dir});
  Qov window(platform, dir, {dir});
  PlayResult result;
  const auto clickOn = [&platform](const Control& c) {
    const Rect r = c.visibleFrameRect();
    platform.click(r.x + r.w / 2, r.y + r.h / 2);
  };
  platform.setStallHandler([&] {
    if (++result.answers > maxAnswers) {
      result.gaveUp = true;
      platform.closeWindow();
      return true;
    }
    WindowControls& c = window.controls();
    if (c.ITEM.shown() && c.ITMCommand1.shown()) {
      clickOn(c.ITMCommand1);
    } else if (c.Label1[0].shown()) {
      int shown = 0;
      while (shown < 5 && c.Label1[static_cast<std::size_t>(shown)].shown()) ++shown;
      const int entry = result.menuChoices == 0 ? 0 : pick(shown);
      clickOn(c.Label1[static_cast<std::size_t>(entry)]);
      ++result.menuChoices;
    } else {
      clickOn(c.MES);
    }
    return true;
  });
  result.exitCode = window.run();
  result.virtualMs = platform.now();
  result.boxes = platform.messageBoxes();
  return result;
}

}  // namespace qov::soak
