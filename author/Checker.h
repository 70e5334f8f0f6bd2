#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace qov::author {

// One fault of a script, at the line where it is written.
struct Finding {
  std::string file;  // relative to the game directory, as on disk
  int line = 0;
  bool error = true;  // else a warning: the player goes on
  std::string text;
  std::string lineText;
};

// A script of the game as the checker read it.
struct CheckedScript {
  std::string file;
  int lineCount = 0;  // at most 2000
  // Lines that hold data rather than commands: the messages of an FP, the targets of an FJ.
  std::vector<bool> tableLine;  // indexed by line number
  std::vector<bool> caseLine;
};

struct CheckResult {
  std::vector<CheckedScript> scripts;
  std::vector<Finding> findings;  // by script, then by line
  [[nodiscard]] bool hasError() const;
};

// Reads every script of the game (those that ACMLD can reach from "wnatu", then every other
// ".QOV" file in the directory) without running anything, with the player's own grammars.
[[nodiscard]] CheckResult checkGame(const std::filesystem::path& gameDir);

// Each finding as "NAME.QOV:LINE: error: TEXT" and the line itself indented below it.
void printFindings(const CheckResult& result, std::ostream& out);

}  // namespace qov::author
