#include "engine/Interpreter.h"

#include <string>
#include <utility>

#include "engine/Decimal.h"
#include "engine/ErrorTexts.h"
#include "engine/ScriptError.h"
#include "platform/ProgramEnd.h"

namespace qov {

namespace {
// The clock is read only every so many commands: reading it costs more than a command.
constexpr unsigned kCommandsPerClockCheck = 256;
}  // namespace

Interpreter::Interpreter(Variables& vars, Host& host, std::filesystem::path gameDir)
    : gameDir_(std::move(gameDir)),
      host_(host),
      store_(vars, commandWords()),
      saveFile_(gameDir_),
      context_{store_, vars, host, saveFile_, gameDir_} {}

void Interpreter::load(std::u32string_view name) {
  try {
    store_.ACMLOAD(gameDir_, name);
  } catch (const ScriptError& error) {
    EEE(error.text);
  }
}

void Interpreter::timerqov_Timer() {
  try {
    runTick();
  } catch (const ScriptError& error) {
    EEE(error.text);
  }
}

void Interpreter::runTick() {
  const std::span<const Command> table = commandTable();
  const auto deadline = std::chrono::steady_clock::now() + tickBudget_;
  for (unsigned count = 1;; ++count) {
    const std::int16_t start = store_.lineNo();
    commandLine_ = start;
    // Without an observer this costs one branch per command.
    if (observer_ != nullptr) [[unlikely]] {
      observer_->commandStarts(store_);
    }
    const std::int16_t index = store_.command();
    if (index == ScriptStore::kNoCommand) throw ScriptError{std::u32string(errors::kNoCommand)};
    const Command& command = table[static_cast<std::size_t>(index)];
    command.run(context_);
    // ACMLD: the new script starts at its line 1 in the next tick.
    if (command.ends == TickEnd::atOnce) return;
    // A command that left LineNo alone, or jumped to its own line, passes on to the next.
    if (store_.lineNo() == start) store_.setLineNo(addChecked(start, 1));
    if (command.ends != TickEnd::goesOn) return;
    if (count % kCommandsPerClockCheck == 0 && std::chrono::steady_clock::now() >= deadline) {
      return;
    }
  }
}

void Interpreter::EEE(std::u32string_view text) {
  const std::int16_t lineNo = store_.lineNo();
  const std::u32string report = std::u32string(text) + U"(" + formatSigned(lineNo) + U")\r" +
                                std::u32string(store_.ScriptLine(lineNo));
  host_.showErrorReport(report);
  throw ProgramEnd{1};
}

}  // namespace qov
