#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace qov::author {

struct AutoplayOptions {
  int runs = 1;
  // Run k (from 0) chooses from the seed `seed + k`, so one run can be played again alone.
  std::uint64_t seed = 1;
  // A run that has not ended after this many answers (clicks and choices), or this many
  // commands, is cut.
  int answerBudget = 5000;
  long commandBudget = 2'000'000;
};

// The first run that ended in a script error.
struct AutoplayFault {
  int run = 0;  // from 1
  std::uint64_t seed = 0;
  std::string report;  // as the error report shows it, lines separated by "\n"
  // The scripts loaded and the choices made, one per line, in order.
  std::vector<std::string> route;
};

struct AutoplayResult {
  int runs = 0;
  int ended = 0;                      // by EXIT, EOF or the window's closing by the game
  int cut = 0;                        // at the budget
  std::vector<std::string> endings;   // the lines that ended the game, as NAME.QOV:LINE
  int commandLines = 0;               // lines of the game's scripts that hold a command
  std::vector<std::string> neverRun;  // of those, the ones no run reached, as NAME.QOV:LINE
  long answers = 0;
  std::optional<AutoplayFault> fault;
};

// Plays a copy of the game in `gameDir` (its save file untouched) on the headless platform
// with the virtual clock, without window or sound, answering every wait at random: a click
// on the message window, a menu entry, an item. Stops at the first script error.
[[nodiscard]] AutoplayResult autoplay(const std::filesystem::path& gameDir,
                                      const AutoplayOptions& options);

// The fault with its route, or the one-line summary.
void printAutoplay(const AutoplayResult& result, const AutoplayOptions& options, std::ostream& out);

}  // namespace qov::author
