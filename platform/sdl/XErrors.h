#pragma once

struct SDL_Window;

namespace qov {

// Keeps an X error from ending the program (Xlib's default). SDL wakes a waiting window from
// other threads with an event sent on a second connection to the X server; when that window
// (a message box just closed) is gone, the server answers BadWindow, and Xlib's default
// handler would end the program as SDL closes that connection. Such errors pass silently,
// others are named on stderr.
void tolerateXErrors();

// The file descriptor of the window's connection to its X server; -1 for a window elsewhere.
[[nodiscard]] int xConnection(SDL_Window* window);

}  // namespace qov
