#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qov {

// What the chunks of a wave file (RIFF "WAVE") say about its sound.
struct WaveInfo {
  std::uint16_t formatTag = 0;  // of "fmt ", or of its sub-format when that is extensible
  std::uint32_t byteRate = 0;
  std::uint32_t dataSize = 0;  // what the file holds of its "data" chunk
};

// A RIFF chunk of odd length is followed by a pad byte, but tools of the time often left it
// out, so that every later chunk starts one byte early and a strict reader finds no "data".
// Returns the file with the missing pad bytes put back (and the RIFF size to match); the bytes
// as they are when nothing is missing or they are no wave file.
[[nodiscard]] std::vector<std::uint8_t> padWaveChunks(std::span<const std::uint8_t> bytes);

// Reads the "fmt " and "data" chunks of a wave file (pad bytes may be missing). An error text
// when it is no wave file or lacks either chunk.
struct WaveReading {
  std::optional<WaveInfo> info;
  std::string error;
};
[[nodiscard]] WaveReading readWave(std::span<const std::uint8_t> bytes);

// Whether SDL's wave decoder plays this format tag: PCM, IEEE float, A-law, mu-law, MS-ADPCM
// and IMA-ADPCM.
[[nodiscard]] bool playableWaveFormat(std::uint16_t formatTag);

// A sound effect that cannot be played is named on standard error with the reason, once per
// file: a game may play the same effect many times.
class EffectWarnings {
 public:
  void warn(const std::filesystem::path& file, std::string_view why);

 private:
  std::set<std::filesystem::path> warned_;
};

}  // namespace qov
