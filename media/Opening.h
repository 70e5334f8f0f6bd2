#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "media/OpeningStage.h"
#include "media/SoundEffects.h"
#include "platform/Platform.h"

namespace qov {

// The opening: the song, eight pictures and ten lyric lines at fixed seconds, about 70 seconds,
// timed by counting the ticks of TimerOP.
class Opening {
 public:
  // The lines of the opening song, shown one at a time.
  static const std::array<std::u32string_view, 10> kLyrics;
  // The opening ends once OpTick has reached this.
  static constexpr std::int16_t kEndTick = 70;

  Opening(Platform& platform, OpeningStage& stage, SoundEffects& sound);
  ~Opening();
  Opening(const Opening&) = delete;
  Opening& operator=(const Opening&) = delete;

  // Plays the whole opening; returns at its end.
  void OP();
  // Seconds since the opening began; 0 while none runs, and in its first second.
  [[nodiscard]] std::int16_t opTick() const { return opTick_; }
  // From OP() until it returns.
  [[nodiscard]] bool running() const { return running_; }
  void TimerOP_Timer();

 private:
  void runStep(int step);

  Platform& platform_;
  OpeningStage& stage_;
  SoundEffects& sound_;
  TimerId timerOP_;
  std::int16_t opTick_ = 0;
  bool running_ = false;
};

}  // namespace qov
