#pragma once

// The main window on the headless platform, playing the game of one folder under
// tests/data/ui/, with the player's clicks given at the waits that need them.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/ProgramEnd.h"
#include "platform/headless/HeadlessPlatform.h"
#include "tests/ui/message_rig.h"
#include "ui/Qov.h"

namespace qov::testing {

class QovRun {
 public:
  explicit QovRun(const std::string& game) : dir(test::kUiData / game) {
    platform.setStallHandler([this] {
      if (stalls >= answers.size()) return false;
      answers[stalls++]();
      return true;
    });
  }

  std::filesystem::path dir;
  HeadlessPlatform platform{{dir}};
  Qov window{platform, dir, {dir}};
  std::vector<std::function<void()>> answers;
  std::size_t stalls = 0;

  // The next wait for the player: look at the window, then queue input.
  void then(std::function<void()> step) { answers.push_back(std::move(step)); }
  void click(const Control& control, int button = kLeftButton) {
    const Rect r = control.visibleFrameRect();
    platform.click(r.x + r.w / 2, r.y + r.h / 2, button);
  }

  // Loads the game and runs it to its end; returns the exit code.
  int run() {
    ::testing::internal::CaptureStderr();  // the error report's copy for the terminal
    try {
      window.Form_Load();
      for (;;) platform.waitEvents();
    } catch (const ProgramEnd& end) {
      (void)::testing::internal::GetCapturedStderr();
      return end.exitCode;
    } catch (...) {
      (void)::testing::internal::GetCapturedStderr();
      throw;
    }
  }
};

}  // namespace qov::testing
