#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "engine/Commands.h"
#include "engine/Host.h"
#include "engine/SaveFile.h"
#include "engine/ScriptStore.h"
#include "engine/Variables.h"

namespace qov {

// Sees each line the interpreter reads as a command, just before it runs (the trace of the
// commands run, the lines an automatic player reached).
class CommandObserver {
 public:
  virtual ~CommandObserver() = default;
  virtual void commandStarts(const ScriptStore& store) = 0;
};

// Runs the loaded script from LineNo, one tick at a time, and reports its errors.
class Interpreter {
 public:
  // How long one tick may run commands that do not end it before it yields to the window.
  static constexpr std::chrono::milliseconds kTickBudget{4};

  Interpreter(Variables& vars, Host& host, std::filesystem::path gameDir);
  Interpreter(const Interpreter&) = delete;
  Interpreter& operator=(const Interpreter&) = delete;

  // Loads a script (start-up); a failure is reported and ends the program.
  void load(std::u32string_view name);
  // One tick: runs commands until one ends the tick (or the budget is spent). A script
  // error becomes the error report.
  void timerqov_Timer();
  // Shows the error report for the current line and ends the program (ProgramEnd{1}).
  [[noreturn]] void EEE(std::u32string_view text);

  [[nodiscard]] std::int16_t lineNo() const { return store_.lineNo(); }
  // The line of the command running now (FP moves LineNo to the message it shows).
  [[nodiscard]] std::int16_t commandLine() const { return commandLine_; }
  [[nodiscard]] std::int16_t returnLine() const { return context_.ReturnLine; }
  [[nodiscard]] std::int16_t caseEndLine() const { return store_.caseEndLine(); }
  [[nodiscard]] const ScriptStore& store() const { return store_; }
  // Where a save state puts the script back.
  [[nodiscard]] ScriptStore& store() { return store_; }
  void setReturnLine(std::int16_t line) { context_.ReturnLine = line; }

  // nullptr (the default) observes nothing.
  void setObserver(CommandObserver* observer) { observer_ = observer; }

  // Tests shorten the budget to cut ticks at a known point.
  void setTickBudget(std::chrono::nanoseconds budget) { tickBudget_ = budget; }

 private:
  void runTick();

  std::filesystem::path gameDir_;
  Host& host_;
  ScriptStore store_;
  SaveFile saveFile_;
  CommandContext context_;
  std::chrono::nanoseconds tickBudget_ = kTickBudget;
  CommandObserver* observer_ = nullptr;
  std::int16_t commandLine_ = 0;
};

}  // namespace qov
