#include "media/Music.h"

#include <string>

#include "platform/Encoding.h"

namespace qov {

Music::Music(Platform& platform)
    : platform_(platform),
      timerMIDI_(platform.createTimer(
          10, [this] { timerMIDI_Timer(); }, /*background=*/true)) {
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
      // Closing leaves the loop running; its queries then fail and do nothing.
      send("close bg");
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
  }
}

}  // namespace qov
