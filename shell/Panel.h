#pragma once

#include "platform/Image.h"

namespace qov::panel {

// The look of the shell's own boxes over the game: the player's menu and the settings.
constexpr Argb kBack = rgb(0, 0, 48);
constexpr Argb kBorder = rgb(160, 160, 208);
constexpr Argb kHeading = rgb(255, 255, 0);
constexpr Argb kText = rgb(255, 255, 255);
constexpr Argb kFocusBack = rgb(64, 64, 160);
constexpr int kPadding = 8;
constexpr int kHeadingHeight = 30;
constexpr int kRowHeight = 24;

// A one-pixel frame around `box`.
inline void border(Image& frame, const Rect& box, Argb colour) {
  frame.fill(Rect{box.x, box.y, box.w, 1}, colour);
  frame.fill(Rect{box.x, box.y + box.h - 1, box.w, 1}, colour);
  frame.fill(Rect{box.x, box.y, 1, box.h}, colour);
  frame.fill(Rect{box.x + box.w - 1, box.y, 1, box.h}, colour);
}

// The box filled and framed.
inline void box(Image& frame, const Rect& at) {
  frame.fill(at, kBack);
  border(frame, at, kBorder);
}

}  // namespace qov::panel
