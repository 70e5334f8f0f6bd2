#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

namespace qov {

// The sound effects, played as sndPlaySoundA plays a wave file.
class SoundEffects {
 public:
  // sndPlaySoundA flags; values combine by addition.
  static constexpr std::int16_t kSync = 0;
  static constexpr std::int16_t kAsync = 1;
  static constexpr std::int16_t kNoDefault = 2;
  static constexpr std::int16_t kLoop = 8;
  static constexpr std::int16_t kNoStop = 16;

  // Effect names are looked up in `searchDirs` in order (the current directory first).
  SoundEffects(Platform& platform, std::vector<std::filesystem::path> searchDirs);

  // `fileName` is the name with ".wav" already added.
  void sndPlaySoundA(std::u32string_view fileName, std::int16_t flags);

 private:
  Platform& platform_;
  std::vector<std::filesystem::path> searchDirs_;
};

}  // namespace qov
