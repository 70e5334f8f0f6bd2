#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace qov::test {

using Bytes = std::vector<std::uint8_t>;

// Appends `v` in `bytes` bytes, big-endian (MIDI) or little-endian (RIFF).
inline void put(Bytes& out, std::uint32_t v, int bytes, bool bigEndian) {
  for (int i = 0; i < bytes; ++i)
    out.push_back(static_cast<std::uint8_t>(v >> (8 * (bigEndian ? bytes - 1 - i : i))));
}

// Builds a standard MIDI track event by event.
class MidiTrack {
 public:
  MidiTrack& event(std::uint32_t delta, std::initializer_list<std::uint8_t> data) {
    std::uint8_t groups[5];
    int n = 0;
    groups[n++] = delta & 0x7F;
    while (delta >>= 7) groups[n++] = 0x80 | (delta & 0x7F);
    while (n) bytes.push_back(groups[--n]);
    bytes.insert(bytes.end(), data);
    return *this;
  }
  MidiTrack& tempo(std::uint32_t delta, std::uint32_t microsPerQuarter) {
    return event(delta, {0xFF, 0x51, 3, static_cast<std::uint8_t>(microsPerQuarter >> 16),
                         static_cast<std::uint8_t>(microsPerQuarter >> 8),
                         static_cast<std::uint8_t>(microsPerQuarter)});
  }
  MidiTrack& end(std::uint32_t delta = 0) { return event(delta, {0xFF, 0x2F, 0}); }
  Bytes bytes;
};

inline Bytes midiFile(const std::vector<MidiTrack>& tracks, std::uint16_t division = 480) {
  Bytes out{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1};
  put(out, static_cast<std::uint32_t>(tracks.size()), 2, true);
  put(out, division, 2, true);
  for (const MidiTrack& track : tracks) {
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    put(out, static_cast<std::uint32_t>(track.bytes.size()), 4, true);
    out.insert(out.end(), track.bytes.begin(), track.bytes.end());
  }
  return out;
}

// A mono 16-bit wave file of a sine tone at `level` of full scale.
inline Bytes waveFile(double hz, int ms, double level = 1.0, int rate = 44100) {
  const auto samples = static_cast<std::uint32_t>(rate * ms / 1000);
  Bytes out{'R', 'I', 'F', 'F'};
  put(out, 36 + samples * 2, 4, false);
  out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 1, 0});
  put(out, static_cast<std::uint32_t>(rate), 4, false);
  put(out, static_cast<std::uint32_t>(rate * 2), 4, false);
  out.insert(out.end(), {2, 0, 16, 0, 'd', 'a', 't', 'a'});
  put(out, samples * 2, 4, false);
  for (std::uint32_t i = 0; i < samples; ++i) {
    const double v = level * 32767 * std::sin(2 * std::numbers::pi * hz * i / rate);
    put(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(v))), 2, false);
  }
  return out;
}

inline void writeFile(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

// A fresh directory, removed with the object; live objects differ in their address.
class TempDir {
 public:
  TempDir() { std::filesystem::create_directories(path_); }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  [[nodiscard]] const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_ = std::filesystem::path(::testing::TempDir()) /
                                ("qov-media-" + std::to_string(::getpid()) + "-" +
                                 std::to_string(reinterpret_cast<std::uintptr_t>(this)));
};

}  // namespace qov::test
