#include "platform/sdl/SdlPads.h"

#include <cstdlib>
#include <iostream>
#include <string>

#include "platform/sdl/SdlInput.h"

namespace qov {

SdlPads::SdlPads(EventSink*& sink)
    : sink_(sink), pads_([this](PadButton b, bool down) {
        if (sink_ == nullptr) return;
        if (down) {
          sink_->padDown(b);
        } else {
          sink_->padUp(b);
        }
      }) {}

SdlPads::~SdlPads() {
  controllers_.clear();
  if (running_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void SdlPads::start() {
  if (started_) return;
  started_ = true;
  // We update the joysticks ourselves (update()): left to SDL, every wait would poll them
  // every millisecond.
  SDL_SetHint(SDL_HINT_AUTO_UPDATE_JOYSTICKS, "0");
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
    std::cerr << "qov: gamepads cannot be used: " << SDL_GetError() << '\n' << std::flush;
    return;
  }
  running_ = true;
  lastUpdate_ = SDL_GetTicks64();
  // QOV_VIRTUAL_PAD set: a pad of SDL's own, always plugged in, for measuring what a pad
  // costs without one at hand (bench/pad-figures).
  if (std::getenv("QOV_VIRTUAL_PAD") != nullptr) {
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.name = "virtual pad";
    if (SDL_JoystickAttachVirtualEx(&desc) < 0) {
      std::cerr << "qov: no virtual pad: " << SDL_GetError() << '\n' << std::flush;
    }
  }
}

void SdlPads::update(Uint64 now) {
  if (!running_) return;
  if (now < lastUpdate_ + (controllers_.empty() ? kLookMs : kPollMs)) return;
  lastUpdate_ = now;
  SDL_GameControllerUpdate();
}

std::optional<std::uint32_t> SdlPads::nextUpdateIn(Uint64 now) const {
  if (!running_) return std::nullopt;
  const Uint64 due = lastUpdate_ + (controllers_.empty() ? kLookMs : kPollMs);
  return static_cast<std::uint32_t>(due > now ? due - now : 0);
}

bool SdlPads::handle(const SDL_Event& e) {
  switch (e.type) {
    case SDL_CONTROLLERDEVICEADDED: {
      // `which` is the device's index here, its instance id in every later event.
      SDL_GameController* c = SDL_GameControllerOpen(e.cdevice.which);
      if (c == nullptr) {
        std::cerr << "qov: cannot open the gamepad: " << SDL_GetError() << '\n' << std::flush;
        return true;
      }
      const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(c));
      // A pad plugged in before start() may be announced twice; SDL counts the opens.
      if (!controllers_.try_emplace(id, c).second) SDL_GameControllerClose(c);
      pads_.added(id);
      return true;
    }
    case SDL_CONTROLLERDEVICEREMOVED:
      pads_.removed(e.cdevice.which);
      controllers_.erase(e.cdevice.which);
      return true;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      if (const std::optional<PadButton> b = padButtonOf(e.cbutton.button)) {
        pads_.button(e.cbutton.which, *b, e.type == SDL_CONTROLLERBUTTONDOWN);
      }
      return true;
    case SDL_CONTROLLERAXISMOTION:
      if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) {
        pads_.stick(e.caxis.which, Pads::Axis::X, e.caxis.value);
      } else if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) {
        pads_.stick(e.caxis.which, Pads::Axis::Y, e.caxis.value);
      }
      return true;
    default:
      return false;
  }
}

}  // namespace qov
