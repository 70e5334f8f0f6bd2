#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "fuzz/FuzzSupport.h"
#include "platform/ProgramEnd.h"
#include "platform/headless/HeadlessPlatform.h"
#include "ui/Qov.h"

namespace qov::fuzz {

// Thrown from inside the program's waits when a run has used its time.
struct RunBudgetSpent {};

// The main window on the headless platform, with a player who answers every wait with a
// click somewhere in the window (left mostly, now and then right), up to a budget of answers.
// A run ends with RunBudgetSpent once it has used two minutes on the window's clock (the
// opening takes 70 seconds) or two seconds of real time, whichever comes first.
class Player {
 public:
  static constexpr int kMaxAnswers = 64;
  static constexpr std::uint64_t kVirtualBudgetMs = 2 * 60 * 1000;
  static constexpr std::chrono::seconds kRealBudget{2};

  Player(const std::filesystem::path& dir, std::string_view input)
      : platform_({dir}), window_(platform_, dir, {dir}), choices_(input) {
    // Frames are composed once a run has ended (composeFrame), not at every wait: drawing the
    // whole window at each character would cost most of a run.
    platform_.setFramesComposed(false);
    // A script loop that never ends its tick is cut often, so the run budget stays short.
    window_.interpreter().setTickBudget(std::chrono::microseconds(20));
    platform_.setEventSink(&window_);
    platform_.setStallHandler([this] { return answer(); });
    // A background timer ticks as the clock passes, whatever the program waits for.
    const TimerId budget = platform_.createTimer(
        100, [this] { checkBudget(); }, true);
    platform_.setTimerEnabled(budget, true);
    newRun(input);
  }

  // Answers the waits of the next run afresh, with choices seeded from its input.
  void newRun(std::string_view input) {
    choices_ = Choices(input);
    answers_ = 0;
    runStart_ = platform_.now();
    realStart_ = std::chrono::steady_clock::now();
  }

  // Draws the window as the run left it, so that what it drew is drawn at least once.
  void composeFrame() { static_cast<void>(window_.composeFrame()); }

  [[nodiscard]] HeadlessPlatform& platform() { return platform_; }
  [[nodiscard]] Qov& window() { return window_; }

 private:
  bool answer() {
    if (answers_++ >= kMaxAnswers) return false;
    WindowControls& c = window_.controls();
    const std::array<const Control*, 11> targets = {&c.MES,
                                                    &c.Picture1,
                                                    &c.Label1[0],
                                                    &c.Label1[1],
                                                    &c.Label1[2],
                                                    &c.Label1[3],
                                                    &c.Label1[4],
                                                    &c.LBcm,
                                                    &c.ITMCommand1,
                                                    &c.ITMCommand2,
                                                    &c.ITMCommand3[choices_.next(2)]};
    // Half of the clicks go to the message window, which answers most waits.
    const Control* target = choices_.next(2) == 0 ? &c.MES : targets[choices_.next(11)];
    if (!target->shown()) target = &c.MES;
    const Rect r = target->visibleFrameRect();
    const int button = choices_.next(8) == 0 ? kRightButton : kLeftButton;
    platform_.click(r.x + r.w / 2, r.y + r.h / 2, button);
    return true;
  }

  void checkBudget() const {
    if (platform_.now() - runStart_ > kVirtualBudgetMs ||
        std::chrono::steady_clock::now() - realStart_ > kRealBudget) {
      throw RunBudgetSpent{};
    }
  }

  HeadlessPlatform platform_;
  Qov window_;
  Choices choices_;
  int answers_ = 0;
  std::uint64_t runStart_ = 0;
  std::chrono::steady_clock::time_point realStart_;
};

}  // namespace qov::fuzz
