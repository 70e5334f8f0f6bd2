#pragma once

#include <SDL.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>

#include "platform/Pads.h"
#include "platform/Platform.h"

namespace qov {

// The gamepads that SDL's GameController knows, opened when they are plugged in and closed
// when they go, their buttons and left stick told to the event sink as one pad's.
//
// SDL polls its joysticks every millisecond inside SDL_WaitEvent once one is there; we poll
// them ourselves instead, every kPollMs while a pad is open (what a press may wait), and look
// for a pad plugged in every kLookMs while none is, so that a window waiting with a pad costs
// well under 1 % of a core and without one next to nothing.
class SdlPads {
 public:
  static constexpr std::uint32_t kPollMs = 12;
  static constexpr std::uint32_t kLookMs = 500;

  explicit SdlPads(EventSink*& sink);
  ~SdlPads();
  SdlPads(const SdlPads&) = delete;
  SdlPads& operator=(const SdlPads&) = delete;

  // Starts SDL's game controllers, once; the pads plugged in already arrive as events.
  void start();
  // Reads the pads when it is time (every call when `now` is late); their events join SDL's
  // queue.
  void update(Uint64 now);
  // Takes the events of pads; false for any other.
  bool handle(const SDL_Event& e);
  // How long a wait may block before update() has something to do; nullopt before start().
  [[nodiscard]] std::optional<std::uint32_t> nextUpdateIn(Uint64 now) const;
  [[nodiscard]] int open() const { return static_cast<int>(controllers_.size()); }

 private:
  struct Close {
    void operator()(SDL_GameController* c) const { SDL_GameControllerClose(c); }
  };

  EventSink*& sink_;
  bool started_ = false;
  bool running_ = false;
  Uint64 lastUpdate_ = 0;
  Pads pads_;
  std::map<SDL_JoystickID, std::unique_ptr<SDL_GameController, Close>> controllers_;
};

}  // namespace qov
