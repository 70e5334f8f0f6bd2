#pragma once

#include <SDL.h>

#include <optional>

#include "platform/Platform.h"

namespace qov {

// SDL's mouse buttons, keys and modifiers as the program names them.
[[nodiscard]] int mouseButton(Uint8 sdlButton);
[[nodiscard]] Key keyOf(const SDL_Keysym& keysym);
// The modifiers held after the event, KeyModifier bits.
[[nodiscard]] int modifiersOf(const SDL_KeyboardEvent& e);
// A game controller's button (SDL_GameControllerButton); nullopt for those the program ignores.
[[nodiscard]] std::optional<PadButton> padButtonOf(Uint8 sdlButton);

}  // namespace qov
