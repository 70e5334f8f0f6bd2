#include "platform/sdl/SdlInput.h"

namespace qov {

int mouseButton(Uint8 sdlButton) {
  switch (sdlButton) {
    case SDL_BUTTON_LEFT:
      return kLeftButton;
    case SDL_BUTTON_RIGHT:
      return kRightButton;
    case SDL_BUTTON_MIDDLE:
      return kMiddleButton;
    default:
      return 0;
  }
}

Key keyOf(const SDL_Keysym& keysym) {
  // Digits by their place on the keyboard: on some layouts they need Shift.
  switch (keysym.scancode) {
    case SDL_SCANCODE_1:
      return Key::Digit1;
    case SDL_SCANCODE_2:
      return Key::Digit2;
    case SDL_SCANCODE_3:
      return Key::Digit3;
    case SDL_SCANCODE_4:
      return Key::Digit4;
    default:
      break;
  }
  switch (keysym.sym) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      return Key::Enter;
    case SDLK_ESCAPE:
      return Key::Escape;
    case SDLK_SPACE:
      return Key::Space;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
      return Key::Control;
    case SDLK_UP:
      return Key::Up;
    case SDLK_DOWN:
      return Key::Down;
    case SDLK_PAGEUP:
      return Key::PageUp;
    case SDLK_PAGEDOWN:
      return Key::PageDown;
    case SDLK_HOME:
      return Key::Home;
    case SDLK_END:
      return Key::End;
    case SDLK_DELETE:
      return Key::Delete;
    case SDLK_BACKSPACE:
      return Key::Backspace;
    case SDLK_F1:
      return Key::F1;
    case SDLK_F5:
      return Key::F5;
    case SDLK_F6:
      return Key::F6;
    case SDLK_F9:
      return Key::F9;
    case SDLK_F11:
      return Key::F11;
    case SDLK_F12:
      return Key::F12;
    case SDLK_c:
      return Key::C;
    case SDLK_m:
      return Key::M;
    case SDLK_v:
      return Key::V;
    case SDLK_LEFT:
      return Key::Left;
    case SDLK_RIGHT:
      return Key::Right;
    case SDLK_a:
      return Key::A;
    case SDLK_x:
      return Key::X;
    case SDLK_z:
      return Key::Z;
    default:
      return Key::Other;
  }
}

// The modifiers held after the event. A Ctrl key's own event says so as well, whatever SDL's
// modifier state already holds.
int modifiersOf(const SDL_KeyboardEvent& e) {
  const bool pressed = e.type == SDL_KEYDOWN;
  int mod = e.keysym.mod;
  if (e.keysym.sym == SDLK_LCTRL) mod = pressed ? mod | KMOD_LCTRL : mod & ~KMOD_LCTRL;
  if (e.keysym.sym == SDLK_RCTRL) mod = pressed ? mod | KMOD_RCTRL : mod & ~KMOD_RCTRL;
  return ((mod & KMOD_CTRL) != 0 ? kCtrlKey : 0) | ((mod & KMOD_ALT) != 0 ? kAltKey : 0) |
         ((mod & KMOD_SHIFT) != 0 ? kShiftKey : 0);
}

std::optional<PadButton> padButtonOf(Uint8 sdlButton) {
  switch (sdlButton) {
    case SDL_CONTROLLER_BUTTON_A:
      return PadButton::A;
    case SDL_CONTROLLER_BUTTON_B:
      return PadButton::B;
    case SDL_CONTROLLER_BUTTON_X:
      return PadButton::X;
    case SDL_CONTROLLER_BUTTON_Y:
      return PadButton::Y;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER:
      return PadButton::LB;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER:
      return PadButton::RB;
    case SDL_CONTROLLER_BUTTON_START:
      return PadButton::Start;
    case SDL_CONTROLLER_BUTTON_BACK:
      return PadButton::Back;
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
      return PadButton::Up;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
      return PadButton::Down;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
      return PadButton::Left;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
      return PadButton::Right;
    default:
      return std::nullopt;
  }
}

}  // namespace qov
