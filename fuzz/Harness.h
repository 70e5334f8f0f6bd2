#pragma once

#include <stdexcept>
#include <string_view>

namespace qov::fuzz {

// An input broke a property that must hold for every input.
class Violation : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

// One run of each fuzz target on one input. A run returns normally when the code under test
// behaved: it ran, or it ended in the error report. It throws Violation when a property broke;
// anything else that escapes (another exception, a sanitizer report) is a finding too.

// The condition evaluator on the input read as CP932.
void runConditions(std::string_view input);
// The save-file reader; a state it reads must write out and read back the same.
void runSaveFile(std::string_view input);
// CP932 decoding and the script store's load and field splitting.
void runDecoder(std::string_view input);
// The input as the game's first script, run by the interpreter for a host that answers every
// menu and wait.
void runScript(std::string_view input);
// The input as the game's first script, played by the main window on the headless platform
// (replayed by tests/regress: the window costs too much for a fuzzer's run).
void runScriptInWindow(std::string_view input);
// The input, read as CP932, written by the message window.
void runMarkup(std::string_view input);
// The MIDI reader; a piece it prepares is a clean file that it prepares again.
void runMidi(std::string_view input);
// The INI reader, and the input as a game's qov.ini and as the player's settings file.
void runIni(std::string_view input);

}  // namespace qov::fuzz
