#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Image.h"
#include "platform/Platform.h"
#include "shell/library/ScreenParts.h"

namespace qov {

// The window while an archive named on the command line is extracted: none at all when it
// is done within half a second, else a bar that shows how far it has come. Closing the window
// gives the work up (ProgramEnd{0} from the progress call).
class ProgressScreen final : public EventSink {
 public:
  static constexpr std::uint32_t kShowAfterMs = 500;

  ProgressScreen(Platform& platform, std::u32string what);
  ~ProgressScreen() override;
  ProgressScreen(const ProgressScreen&) = delete;
  ProgressScreen& operator=(const ProgressScreen&) = delete;

  // Hears how far the work is (0 to 1); opens the window once it has taken long enough.
  void progress(double fraction);
  [[nodiscard]] bool shown() const { return shown_; }

  void mouseDown(int /*x*/, int /*y*/, int /*button*/) override {}
  void mouseUp(int /*x*/, int /*y*/, int /*button*/) override {}
  void keyDown(const KeyPress& /*key*/) override {}
  void keyUp(const KeyPress& /*key*/) override {}
  void mouseWheel(int /*steps*/) override {}
  [[noreturn]] void closeRequested() override;
  [[nodiscard]] bool frameChanged() const override { return changed_; }
  const Image& composeFrame() override;

 private:
  Platform& platform_;
  screen::Fonts fonts_;
  std::u32string what_;
  std::optional<std::uint32_t> start_;
  double fraction_ = 0;
  bool shown_ = false;
  bool changed_ = true;
  Image frame_;
};

}  // namespace qov
