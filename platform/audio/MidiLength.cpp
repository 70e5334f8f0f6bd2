#include "platform/audio/MidiLength.h"

#include <algorithm>
#include <vector>

namespace qov {

namespace {

struct TempoChange {
  std::uint64_t tick = 0;
  std::uint32_t microsPerQuarter = 0;
};

// A bounds-checked reader over one chunk.
class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  [[nodiscard]] bool atEnd() const { return pos_ >= bytes_.size(); }
  [[nodiscard]] std::size_t left() const { return bytes_.size() - pos_; }
  bool byte(std::uint8_t& out) {
    if (atEnd()) return false;
    out = bytes_[pos_++];
    return true;
  }
  [[nodiscard]] std::uint8_t peek() const { return bytes_[pos_]; }
  bool skip(std::uint64_t n) {
    if (n > left()) return false;
    pos_ += static_cast<std::size_t>(n);
    return true;
  }
  // A variable-length quantity: at most four bytes, seven bits each.
  bool vlq(std::uint32_t& out) {
    out = 0;
    for (int i = 0; i < 4; ++i) {
      std::uint8_t b = 0;
      if (!byte(b)) return false;
      out = (out << 7) | (b & 0x7Fu);
      if ((b & 0x80u) == 0) return true;
    }
    return false;
  }
  [[nodiscard]] std::span<const std::uint8_t> rest() const { return bytes_.subspan(pos_); }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
};

std::uint32_t be32(std::span<const std::uint8_t> b) {
  return (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 8) |
         std::uint32_t{b[3]};
}

// Walks one track; returns the tick of its last complete event and collects its tempo changes.
std::uint64_t scanTrack(std::span<const std::uint8_t> track, std::vector<TempoChange>& tempos) {
  Reader r(track);
  std::uint64_t tick = 0;
  std::uint64_t lastEvent = 0;
  std::uint8_t running = 0;
  while (!r.atEnd()) {
    std::uint32_t delta = 0;
    if (!r.vlq(delta) || r.atEnd()) break;
    const std::uint64_t at = tick + delta;
    std::uint8_t status = r.peek();
    if (status >= 0x80) {
      (void)r.byte(status);
    } else if (running == 0) {
      break;  // data without a status byte: the track is damaged from here
    } else {
      status = running;
    }
    if (status == 0xFF) {
      running = 0;
      std::uint8_t type = 0;
      std::uint32_t length = 0;
      if (!r.byte(type) || !r.vlq(length) || length > r.left()) break;
      const auto data = r.rest().first(length);
      (void)r.skip(length);
      tick = lastEvent = at;
      if (type == 0x51 && length >= 3) {
        tempos.push_back({at, (std::uint32_t{data[0]} << 16) | (std::uint32_t{data[1]} << 8) |
                                  std::uint32_t{data[2]}});
      } else if (type == 0x2F) {
        break;
      }
    } else if (status == 0xF0 || status == 0xF7) {
      running = 0;
      std::uint32_t length = 0;
      if (!r.vlq(length) || !r.skip(length)) break;
      tick = lastEvent = at;
    } else if (status >= 0xF0) {
      break;  // system messages other than sysex have no place in a file
    } else {
      running = status;
      const int dataBytes = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
      if (!r.skip(static_cast<std::uint64_t>(dataBytes))) break;
      tick = lastEvent = at;
    }
  }
  return lastEvent;
}

}  // namespace

std::optional<std::chrono::microseconds> midiLength(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 14 || be32(bytes) != 0x4D546864 /* MThd */) return std::nullopt;
  const std::uint32_t headerLength = be32(bytes.subspan(4));
  if (headerLength < 6 || headerLength > bytes.size() - 8) return std::nullopt;
  const std::uint16_t division = static_cast<std::uint16_t>((bytes[12] << 8) | bytes[13]);
  if (division == 0) return std::nullopt;

  std::vector<TempoChange> tempos;
  std::uint64_t lastTick = 0;
  int tracks = 0;
  std::size_t pos = 8 + headerLength;
  while (bytes.size() - pos >= 8) {
    const std::uint32_t id = be32(bytes.subspan(pos));
    const std::uint64_t length =
        std::min<std::uint64_t>(be32(bytes.subspan(pos + 4)), bytes.size() - pos - 8);
    const auto body = bytes.subspan(pos + 8, static_cast<std::size_t>(length));
    pos += 8 + static_cast<std::size_t>(length);
    if (id != 0x4D54726B /* MTrk */) continue;  // chunks of unknown kinds are skipped
    ++tracks;
    lastTick = std::max(lastTick, scanTrack(body, tempos));
  }
  if (tracks == 0) return std::nullopt;

  if (division & 0x8000u) {
    // SMPTE time: frames a second (29 means 29.97) times ticks a frame; tempo plays no part.
    const int frames = -static_cast<std::int8_t>(division >> 8);
    const int ticksPerFrame = division & 0xFF;
    if (frames <= 0 || ticksPerFrame == 0) return std::nullopt;
    const double ticksPerSecond = (frames == 29 ? 29.97 : frames) * ticksPerFrame;
    return std::chrono::microseconds(
        static_cast<std::int64_t>(static_cast<double>(lastTick) * 1e6 / ticksPerSecond));
  }

  std::stable_sort(tempos.begin(), tempos.end(),
                   [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
  double micros = 0;
  std::uint64_t tick = 0;
  std::uint32_t tempo = 500000;  // 120 quarters a minute until the file says otherwise
  for (const TempoChange& change : tempos) {
    if (change.tick >= lastTick) break;
    micros += static_cast<double>(change.tick - tick) * tempo / division;
    tick = change.tick;
    tempo = change.microsPerQuarter;
  }
  micros += static_cast<double>(lastTick - tick) * tempo / division;
  return std::chrono::microseconds(static_cast<std::int64_t>(micros));
}

}  // namespace qov
