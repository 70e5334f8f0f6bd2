#pragma once

#include "platform/Image.h"

namespace qov {

// The player's own pictures, for a game that brings none of its own. The window icon and the
// wait cursor are 32 x 32 pixels in the 16 colours of the system palette, drawn here as pixel
// art: the player's paper lantern (also its application icon) and an hourglass.
[[nodiscard]] Image windowIcon();
[[nodiscard]] Image waitCursorImage();
// The item sheet of a game that brings none: 720 x 300 pixels, 6 x 3 plain cells of 120 x 100
// numbered 0 to 16 for the items, and the 18th left empty.
[[nodiscard]] Image defaultItemSheet();

}  // namespace qov
