#pragma once

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace qov::test {

// Builds standard MIDI files event by event.
class MidiTrack {
 public:
  MidiTrack& event(std::uint32_t delta, std::initializer_list<std::uint8_t> bytes) {
    vlq(delta);
    bytes_.insert(bytes_.end(), bytes);
    return *this;
  }
  MidiTrack& tempo(std::uint32_t delta, std::uint32_t microsPerQuarter) {
    return event(delta, {0xFF, 0x51, 3, static_cast<std::uint8_t>(microsPerQuarter >> 16),
                         static_cast<std::uint8_t>(microsPerQuarter >> 8),
                         static_cast<std::uint8_t>(microsPerQuarter)});
  }
  MidiTrack& end(std::uint32_t delta = 0) { return event(delta, {0xFF, 0x2F, 0}); }
  [[nodiscard]] const std::vector<std::uint8_t>& bytes() const { return bytes_; }

 private:
  void vlq(std::uint32_t v) {
    std::uint8_t groups[5];
    int n = 0;
    groups[n++] = v & 0x7F;
    while (v >>= 7) groups[n++] = 0x80 | (v & 0x7F);
    while (n) bytes_.push_back(groups[--n]);
  }
  std::vector<std::uint8_t> bytes_;
};

inline void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

inline std::vector<std::uint8_t> midiFile(const std::vector<MidiTrack>& tracks,
                                          std::uint16_t division = 480, std::uint16_t format = 1) {
  std::vector<std::uint8_t> out{'M', 'T', 'h', 'd', 0, 0, 0, 6};
  for (std::uint16_t v : {format, static_cast<std::uint16_t>(tracks.size()), division}) {
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
  }
  for (const MidiTrack& track : tracks) {
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    put32(out, static_cast<std::uint32_t>(track.bytes().size()));
    out.insert(out.end(), track.bytes().begin(), track.bytes().end());
  }
  return out;
}

// A mono 16-bit wave file of a sine tone at `level` of full scale.
inline std::vector<std::uint8_t> waveFile(double hz, int ms, double level = 1.0, int rate = 44100) {
  const auto samples = static_cast<std::uint32_t>(rate * ms / 1000);
  std::vector<std::uint8_t> out;
  const auto le = [&out](std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  out.insert(out.end(), {'R', 'I', 'F', 'F'});
  le(36 + samples * 2, 4);
  out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  le(16, 4);
  le(1, 2);
  le(1, 2);
  le(static_cast<std::uint32_t>(rate), 4);
  le(static_cast<std::uint32_t>(rate * 2), 4);
  le(2, 2);
  le(16, 2);
  out.insert(out.end(), {'d', 'a', 't', 'a'});
  le(samples * 2, 4);
  for (std::uint32_t i = 0; i < samples; ++i) {
    const double v = level * 32767 * std::sin(2 * std::numbers::pi * hz * i / rate);
    le(static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(v))), 2);
  }
  return out;
}

inline void writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

// A fresh directory under the system's temporary directory, removed with the object.
class TempDir {
 public:
  TempDir() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() / ("qov-media-" + std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  [[nodiscard]] const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace qov::test
