#include "platform/sdl/XErrors.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>

#include <array>
#include <iostream>

namespace qov {
namespace {

int onXError(Display* display, XErrorEvent* error) {
  if (error->error_code == BadWindow && error->request_code == X_SendEvent) return 0;
  std::array<char, 160> text{};
  XGetErrorText(display, error->error_code, text.data(), static_cast<int>(text.size()));
  std::cerr << "qov: X error ignored: " << text.data() << " (request "
            << static_cast<int>(error->request_code) << ")\n";
  return 0;
}

}  // namespace

void tolerateXErrors() {
  XSetErrorHandler(&onXError);
}

int xConnection(SDL_Window* window) {
  SDL_SysWMinfo wm;
  SDL_VERSION(&wm.version);
  if (SDL_GetWindowWMInfo(window, &wm) != SDL_TRUE || wm.subsystem != SDL_SYSWM_X11) return -1;
  return ConnectionNumber(wm.info.x11.display);
}

}  // namespace qov
