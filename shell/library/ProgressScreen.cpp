#include "shell/library/ProgressScreen.h"

#include <cmath>
#include <utility>

#include "platform/ProgramEnd.h"
#include "ui/WindowImages.h"

namespace qov {

ProgressScreen::ProgressScreen(Platform& platform, std::u32string what)
    : platform_(platform), fonts_(platform), what_(std::move(what)) {}

ProgressScreen::~ProgressScreen() {
  if (shown_) platform_.setEventSink(nullptr);
}

void ProgressScreen::progress(double fraction) {
  const std::uint32_t now = platform_.tickCount();
  if (!start_) start_ = now;
  if (!shown_) {
    if (now - *start_ < kShowAfterMs) return;
    platform_.setEventSink(this);
    platform_.openWindow("Qov", windowIcon(), waitCursorImage());
    shown_ = true;
  }
  // A new frame for each visible step of the bar, not for each call.
  if (std::floor(fraction * 200) != std::floor(fraction_ * 200)) changed_ = true;
  fraction_ = fraction;
  platform_.doEvents();
}

void ProgressScreen::closeRequested() {
  throw ProgramEnd{0};
}

const Image& ProgressScreen::composeFrame() {
  if (frame_.empty()) frame_ = Image(screen::kWidth, screen::kHeight);
  frame_.fill(frame_.bounds(), screen::kBack);
  screen::progress(frame_, fonts_, what_, fraction_);
  changed_ = false;
  return frame_;
}

}  // namespace qov
