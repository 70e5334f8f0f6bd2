#pragma once

#include <SDL.h>

#include <functional>
#include <string>

#include "platform/Platform.h"

namespace qov {

class FontLibrary;

// A modal message box drawn by us in a small SDL window with the Japanese font: SDL's own box
// on X11 draws with the X core fonts, which mostly have no Japanese glyphs (or none at all).
// Lines of `text` break at CR, LF or CR LF. Returns when the player has closed it (OK, Enter,
// Space, Escape or the window's close button); false when the box could not be shown.
// `redrawParent` is called when the parent window needs repainting meanwhile.
[[nodiscard]] bool showOwnMessageBox(FontLibrary& fonts, SDL_Window* parent, int scale,
                                     const std::string& title, const std::string& text,
                                     MessageIcon icon, const std::function<void()>& redrawParent);

}  // namespace qov
