#pragma once

#include <cstdint>
#include <string_view>

#include "platform/Platform.h"

namespace qov {

// The background music: one piece on the device "bg", looped by TimerMIDI.
class Music {
 public:
  explicit Music(Platform& platform);
  ~Music();
  Music(const Music&) = delete;
  Music& operator=(const Music&) = delete;

  // 0: stop and close, the loop off; 1: open mf.MID and play, the loop on; 9: close only.
  void MUSPL(std::u32string_view mf, std::int16_t md);
  // Every 10 ms while enabled: a piece that has played to its end starts again.
  void timerMIDI_Timer();

  [[nodiscard]] TimerId timerMIDI() const { return timerMIDI_; }

 private:
  void send(const std::string& command);
  void skipTicksWhilePlaying();

  Platform& platform_;
  TimerId timerMIDI_;
};

}  // namespace qov
