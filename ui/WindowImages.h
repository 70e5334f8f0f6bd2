#pragma once

#include "platform/Image.h"

namespace qov {

// The window's own pictures, 32 x 32 pixels in the 16 colours of the system palette, drawn
// here as pixel art: a paper lantern for the window icon, an hourglass for the wait cursor.
[[nodiscard]] Image windowIcon();
[[nodiscard]] Image waitCursorImage();

}  // namespace qov
