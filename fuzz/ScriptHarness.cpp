// The harness of a whole script on the interpreter alone: a host of the fuzzer's own stands in
// for the window and answers every menu, so that a run costs what the interpreter costs.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "engine/Host.h"
#include "engine/Interpreter.h"
#include "engine/MenuDefinition.h"
#include "engine/ScriptError.h"
#include "engine/ScriptStore.h"
#include "engine/Variables.h"
#include "fuzz/FuzzSupport.h"
#include "fuzz/Harness.h"
#include "platform/ProgramEnd.h"

namespace qov::fuzz {
namespace {

namespace fs = std::filesystem;

// Ticks of a run: each runs commands until one ends it or its budget is spent.
constexpr int kMaxTicks = 400;
constexpr int kMaxAnswers = 64;
constexpr std::chrono::microseconds kTickBudget{20};

// The player's answers are spent.
struct AnswersSpent {};

// Keeps the menus as the window would and answers each menu with the code of one of its
// entries (a command of the menu now and then, any number else), seeded from the input.
class AnsweringHost final : public Host {
 public:
  explicit AnsweringHost(std::string_view input) : choices_(input) {}

  void MESHG(std::u32string_view) override { answer(); }
  void clearMessageWindow() override {}
  void CMST(std::int16_t menu, std::u32string_view) override { menus::checkMenu(menu); }
  void setMenuText(std::int16_t menu, std::int16_t entry, std::u32string_view text) override {
    menus::checkMenu(menu);
    if (!text.empty()) entries_.push_back(static_cast<std::int16_t>(menu * 100 + entry));
  }
  std::int16_t CMSL(std::int16_t menu) override {
    menus::checkMenu(menu);
    answer();
    if (!entries_.empty() && choices_.next(4) != 0) {
      return entries_[choices_.next(static_cast<unsigned>(entries_.size()))];
    }
    return static_cast<std::int16_t>(choices_.next(1000));
  }
  void CMDS(std::int16_t) override {}
  void GHG(std::u32string_view) override {}
  void MUSPL(std::u32string_view, std::int16_t) override {}
  void playSound(std::u32string_view, std::int16_t) override {}
  void OP() override { answer(); }
  void unload() override { throw ProgramEnd{0}; }
  void showErrorReport(std::u32string_view) override {}
  void showNotice(std::u32string_view) override {}

 private:
  // A wait of the window's: the player answers it, while answers last.
  void answer() {
    if (answers_++ >= kMaxAnswers) throw AnswersSpent{};
  }

  Choices choices_;
  std::vector<std::int16_t> entries_;
  int answers_ = 0;
};

}  // namespace

void runScript(std::string_view input) {
  static const ScratchDir dir("engine-script");
  writeFile(dir.path() / "wnatu.QOV", input);
  // A save left by an earlier run would make this one depend on it.
  std::error_code ec;
  fs::remove(dir.path() / "TOVELI2.DAT", ec);

  Variables vars;
  AnsweringHost host(input);
  Interpreter interpreter(vars, host, dir.path());
  interpreter.setTickBudget(kTickBudget);
  try {
    interpreter.load(kFirstScript);
    for (int i = 0; i < kMaxTicks; ++i) interpreter.timerqov_Timer();
  } catch (const ProgramEnd&) {
    // EXIT, EOF or the error report.
  } catch (const AnswersSpent&) {
  }
}

}  // namespace qov::fuzz
