#include "media/SoundEffects.h"

#include <optional>

#include "platform/Encoding.h"
#include "platform/Files.h"

namespace qov {

namespace {

// A playing sound is polled at this interval while the caller waits for its end.
constexpr std::uint32_t kPollMs = 10;

}  // namespace

SoundEffects::SoundEffects(Platform& platform, std::vector<std::filesystem::path> searchDirs)
    : platform_(platform), searchDirs_(std::move(searchDirs)) {}

void SoundEffects::sndPlaySoundA(std::u32string_view fileName, std::int16_t flags) {
  const auto has = [flags](std::int16_t flag) { return (flags & flag) != 0; };
  SoundOutput& sound = platform_.sound();
  if (has(kNoStop) && sound.playing()) return;

  const bool async = has(kAsync);
  // A loop is only heard while the caller goes on; waiting for the end of one would never end.
  const bool loop = async && has(kLoop);

  std::optional<std::filesystem::path> path;
  const std::string name = toUtf8(fileName);
  for (const auto& dir : searchDirs_) {
    if ((path = findFile(dir, name))) break;
  }
  if (!path || !sound.play(*path, loop)) {
    if (has(kNoDefault)) {
      sound.stop();  // the effect that played ends all the same
      return;
    }
    sound.playDefault();
  }

  if (!async) {
    // Waiting lets events run, so the window stays painted and can be closed meanwhile.
    while (sound.playing()) platform_.waitEvents(kPollMs);
  }
}

}  // namespace qov
