#include "media/Music.h"

#include <algorithm>
#include <string>

#include "platform/Encoding.h"

namespace qov {

namespace {

constexpr int kTickMs = 10;
// The longest the loop sleeps through its ticks before it asks the device again: the device's
// clock and the window's may drift apart over a long piece.
constexpr std::int64_t kLongestSleepMs = 1000;

}  // namespace

Music::Music(Platform& platform)
    : platform_(platform),
      timerMIDI_(platform.createTimer(
          kTickMs, [this] { timerMIDI_Timer(); }, /*background=*/true)) {
  platform_.setTimerEnabled(timerMIDI_, false);
}

Music::~Music() {
  platform_.setTimerEnabled(timerMIDI_, false);
}

// Results are ignored: a missing file or a closed device passes silently.
void Music::send(const std::string& command) {
  (void)platform_.music().send(command);
}

void Music::MUSPL(std::u32string_view mf, std::int16_t md) {
  switch (md) {
    case 0:
      send("stop bg");
      send("close bg");
      platform_.setTimerEnabled(timerMIDI_, false);
      break;
    case 1:
      // While a piece is open the open fails and "play" goes on with the old piece.
      send("open " + toUtf8(mf) + ".MID alias bg");
      send("play bg");
      platform_.setTimerEnabled(timerMIDI_, true);
      break;
    case 9:
      // Closing leaves the loop running; its queries then fail and do nothing. It asks at
      // its interval again from now on, not when the piece would have ended.
      send("close bg");
      if (platform_.timerEnabled(timerMIDI_)) platform_.setTimerEnabled(timerMIDI_, true);
      break;
    default:
      break;
  }
}

void Music::timerMIDI_Timer() {
  std::string answer;
  if (!platform_.music().send("status bg mode", &answer)) return;
  // The answer buffer holds 9 characters; only the first five are compared.
  if (answer.size() > 9) answer.resize(9);
  if (std::string_view(answer).substr(0, 5) == "stopp") {
    send("seek bg to start");
    send("play bg");
    return;
  }
  skipTicksWhilePlaying();
}

// The ticks before the piece can end would all be answered "playing" and do nothing: the loop
// sleeps through them and wakes on the first tick that can find the piece ended, so the
// restart still comes within one tick of the end.
void Music::skipTicksWhilePlaying() {
  const auto left = platform_.music().playingFor();
  if (!left || left->count() <= kTickMs) return;
  const std::int64_t ticks = (left->count() + kTickMs - 1) / kTickMs;
  const std::int64_t sleep = std::min(ticks * kTickMs, kLongestSleepMs / kTickMs * kTickMs);
  platform_.delayNextTick(timerMIDI_, static_cast<std::uint32_t>(sleep));
}

}  // namespace qov
