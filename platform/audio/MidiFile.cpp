#include "platform/audio/MidiFile.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>

namespace qov {

namespace {

constexpr std::uint32_t kDefaultTempo = 500000;  // 120 quarters a minute
constexpr std::uint32_t kMaxDelta = 0x0FFFFFFF;  // the largest variable-length quantity
constexpr std::size_t kMaxTracks = 128;          // what the synthesizer's player holds
constexpr double kMaxSeconds = 24 * 3600.0;
constexpr std::uint8_t kEndOfTrack = 0x2F;
constexpr std::uint8_t kTempo = 0x51;

struct TempoChange {
  std::uint64_t tick = 0;
  std::uint32_t microsPerQuarter = 0;
};

std::uint32_t be32(std::span<const std::uint8_t> b) {
  return (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 8) |
         std::uint32_t{b[3]};
}

std::uint32_t le32(std::span<const std::uint8_t> b) {
  return std::uint32_t{b[0]} | (std::uint32_t{b[1]} << 8) | (std::uint32_t{b[2]} << 16) |
         (std::uint32_t{b[3]} << 24);
}

bool isId(std::span<const std::uint8_t> b, const char (&id)[5]) {
  return b.size() >= 4 && std::equal(b.begin(), b.begin() + 4, id);
}

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
  bool take(std::uint64_t n, std::span<const std::uint8_t>& out) {
    if (n > left()) return false;
    out = bytes_.subspan(pos_, static_cast<std::size_t>(n));
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

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
};

// One track of the clean file, written event by event at absolute ticks.
class TrackWriter {
 public:
  void event(std::uint64_t at, std::initializer_list<std::uint8_t> head,
             std::span<const std::uint8_t> body = {}) {
    start(at);
    bytes_.insert(bytes_.end(), head);
    bytes_.insert(bytes_.end(), body.begin(), body.end());
  }
  void sysex(std::uint64_t at, std::span<const std::uint8_t> body) {
    start(at);
    bytes_.push_back(0xF0);
    vlq(static_cast<std::uint32_t>(body.size()));
    bytes_.insert(bytes_.end(), body.begin(), body.end());
  }
  void tempo(std::uint64_t at, std::uint32_t micros) {
    event(at, {0xFF, kTempo, 3, static_cast<std::uint8_t>(micros >> 16),
               static_cast<std::uint8_t>(micros >> 8), static_cast<std::uint8_t>(micros)});
  }
  void appendTo(std::vector<std::uint8_t>& out, std::uint64_t endTick) {
    event(endTick, {0xFF, kEndOfTrack, 0});
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    const auto size = static_cast<std::uint32_t>(bytes_.size());
    for (int shift = 24; shift >= 0; shift -= 8)
      out.push_back(static_cast<std::uint8_t>(size >> shift));
    out.insert(out.end(), bytes_.begin(), bytes_.end());
  }

 private:
  // The delta time of an event at `at`.
  void start(std::uint64_t at) {
    std::uint64_t delta = at - tick_;
    // A gap longer than one delta can say is bridged by empty markers.
    while (delta > kMaxDelta) {
      vlq(kMaxDelta);
      bytes_.insert(bytes_.end(), {0xFF, 0x06, 0x00});
      delta -= kMaxDelta;
    }
    vlq(static_cast<std::uint32_t>(delta));
    tick_ = at;
  }
  void vlq(std::uint32_t v) {
    std::uint8_t groups[5];
    int n = 0;
    groups[n++] = v & 0x7F;
    while (v >>= 7) groups[n++] = 0x80 | (v & 0x7F);
    while (n) bytes_.push_back(groups[--n]);
  }
  std::vector<std::uint8_t> bytes_;
  std::uint64_t tick_ = 0;
};

// Copies one track into `out` with its ticks moved by `offset`, keeping channel messages,
// system exclusive messages and (unless `keepTempo` is false) tempo changes; other meta
// events, which the synthesizer ignores or refuses when their length is odd, are left out.
// Reading stops where the track is damaged. Returns the tick of its end: the end-of-track
// event, or else the last complete event.
std::uint64_t copyTrack(std::span<const std::uint8_t> track, std::uint64_t offset, bool keepTempo,
                        TrackWriter& out, std::vector<TempoChange>& tempos) {
  Reader r(track);
  std::uint64_t tick = offset;
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
    std::span<const std::uint8_t> data;
    if (status == 0xFF) {
      running = 0;
      std::uint8_t type = 0;
      std::uint32_t length = 0;
      if (!r.byte(type) || !r.vlq(length) || !r.take(length, data)) break;
      tick = at;
      if (type == kEndOfTrack) break;
      if (type == kTempo && length == 3 && keepTempo) {
        const std::uint32_t micros =
            (std::uint32_t{data[0]} << 16) | (std::uint32_t{data[1]} << 8) | data[2];
        if (micros == 0) continue;  // no tempo at all; the synthesizer would stand still
        tempos.push_back({at, micros});
        out.tempo(at, micros);
      }
    } else if (status == 0xF0 || status == 0xF7) {
      running = 0;
      std::uint32_t length = 0;
      if (!r.vlq(length) || !r.take(length, data)) break;
      tick = at;
      // Escaped bytes (F7) are not sent on; a message of its own (F0) is.
      if (status == 0xF0 && length > 0) out.sysex(at, data);
    } else if (status >= 0xF0) {
      break;  // system messages other than sysex have no place in a file
    } else {
      running = status;
      const int dataBytes = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
      if (!r.take(static_cast<std::uint64_t>(dataBytes), data)) break;
      if (std::any_of(data.begin(), data.end(), [](std::uint8_t b) { return b >= 0x80; })) break;
      tick = at;
      out.event(at, {status}, data);
    }
  }
  return tick;
}

MidiPreparation refuse(std::string why) {
  return MidiPreparation{std::nullopt, std::move(why)};
}

// The SMF inside a RIFF "RMID" container; the bytes themselves otherwise.
std::optional<std::span<const std::uint8_t>> unwrapRiff(std::span<const std::uint8_t> bytes) {
  if (!isId(bytes, "RIFF")) return bytes;
  if (bytes.size() < 12 || !isId(bytes.subspan(8), "RMID")) return std::nullopt;
  std::size_t pos = 12;
  while (bytes.size() - pos >= 8) {
    const std::uint64_t size =
        std::min<std::uint64_t>(le32(bytes.subspan(pos + 4)), bytes.size() - pos - 8);
    if (isId(bytes.subspan(pos), "data"))
      return bytes.subspan(pos + 8, static_cast<std::size_t>(size));
    pos += 8 + static_cast<std::size_t>(size);
    if (pos < bytes.size() && (size & 1)) ++pos;  // chunks are padded to an even length
  }
  return std::nullopt;
}

}  // namespace

MidiPreparation prepareMidi(std::span<const std::uint8_t> file) {
  if (file.empty()) return refuse("the file is empty");
  const auto unwrapped = unwrapRiff(file);
  if (!unwrapped) return refuse("a RIFF file without MIDI data");
  const std::span<const std::uint8_t> bytes = *unwrapped;
  if (!isId(bytes, "MThd")) return refuse("not a standard MIDI file");
  if (bytes.size() < 14) return refuse("its header is cut short");
  const std::uint32_t headerLength = be32(bytes.subspan(4));
  if (headerLength < 6)
    return refuse("its header is damaged (length " + std::to_string(headerLength) + ")");
  if (headerLength > bytes.size() - 8) return refuse("its header is cut short");
  const unsigned format = (bytes[8] << 8) | bytes[9];
  const auto division = static_cast<std::uint16_t>((bytes[12] << 8) | bytes[13]);
  if (format > 2) return refuse("format " + std::to_string(format) + " is no MIDI format");
  if (division == 0) return refuse("its time division is 0");

  // SMPTE time (frames a second times ticks a frame) becomes ticks a quarter note at a fixed
  // tempo; 29 frames means 29.97.
  std::optional<std::uint32_t> fixedTempo;
  std::uint16_t ticksPerQuarter = division;
  if (division & 0x8000u) {
    const int frames = -static_cast<std::int8_t>(division >> 8);
    const int ticksPerFrame = division & 0xFF;
    if ((frames != 24 && frames != 25 && frames != 29 && frames != 30) || ticksPerFrame == 0) {
      return refuse("its SMPTE time division is damaged");
    }
    ticksPerQuarter = static_cast<std::uint16_t>((frames == 29 ? 30 : frames) * ticksPerFrame);
    fixedTempo = frames == 29 ? 1001001u : 1000000u;
  }

  std::vector<std::span<const std::uint8_t>> tracks;
  for (std::size_t pos = 8 + headerLength; bytes.size() - pos >= 8;) {
    const std::uint64_t length =
        std::min<std::uint64_t>(be32(bytes.subspan(pos + 4)), bytes.size() - pos - 8);
    if (isId(bytes.subspan(pos), "MTrk"))
      tracks.push_back(bytes.subspan(pos + 8, static_cast<std::size_t>(length)));
    pos += 8 + static_cast<std::size_t>(length);  // chunks of unknown kinds are skipped
  }
  if (tracks.empty()) return refuse("it holds no track");
  // Format 2 holds patterns that follow one another: they become one track.
  const bool sequential = format == 2;
  if (!sequential && tracks.size() > kMaxTracks) {
    return refuse(std::to_string(tracks.size()) + " tracks, more than the synthesizer plays (" +
                  std::to_string(kMaxTracks) + ")");
  }

  std::vector<TrackWriter> writers(sequential ? 1 : tracks.size());
  std::vector<TempoChange> tempos;
  std::uint64_t endTick = 0;
  std::uint64_t offset = 0;
  for (std::size_t i = 0; i < tracks.size(); ++i) {
    TrackWriter& out = writers[sequential ? 0 : i];
    if (fixedTempo && i == 0) {
      tempos.push_back({0, *fixedTempo});
      out.tempo(0, *fixedTempo);
    } else if (sequential && !fixedTempo) {
      tempos.push_back({offset, kDefaultTempo});  // each pattern starts at 120 bpm
      out.tempo(offset, kDefaultTempo);
    }
    const std::uint64_t end = copyTrack(tracks[i], offset, !fixedTempo, out, tempos);
    endTick = std::max(endTick, end);
    if (sequential) offset = end;
  }

  // Tempo changes at one tick take effect in the order of the tracks.
  std::stable_sort(tempos.begin(), tempos.end(),
                   [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
  double micros = 0;
  std::uint64_t tick = 0;
  std::uint32_t tempo = kDefaultTempo;
  for (const TempoChange& change : tempos) {
    if (change.tick >= endTick) break;
    micros += static_cast<double>(change.tick - tick) * tempo / ticksPerQuarter;
    tick = change.tick;
    tempo = change.microsPerQuarter;
  }
  micros += static_cast<double>(endTick - tick) * tempo / ticksPerQuarter;
  if (micros > kMaxSeconds * 1e6 || endTick > static_cast<std::uint64_t>(INT_MAX)) {
    return refuse("its length does not fit (more than 24 hours or 2^31 ticks)");
  }
  // Half a second more for the synthesizer's player, which must not reach its own end first
  // (its ticks are ints).
  const double wanted = std::ceil(500000.0 * ticksPerQuarter / tempo);
  const std::uint64_t pad =
      std::min(static_cast<std::uint64_t>(INT_MAX) - endTick,
               static_cast<std::uint64_t>(std::max(1.0, std::min(wanted, 1e9))));

  MidiPiece piece;
  piece.length = std::chrono::microseconds(static_cast<std::int64_t>(micros));
  const auto trackCount = static_cast<std::uint16_t>(writers.size());
  piece.smf = {'M',
               'T',
               'h',
               'd',
               0,
               0,
               0,
               6,
               0,
               static_cast<std::uint8_t>(sequential ? 0 : format),
               static_cast<std::uint8_t>(trackCount >> 8),
               static_cast<std::uint8_t>(trackCount),
               static_cast<std::uint8_t>(ticksPerQuarter >> 8),
               static_cast<std::uint8_t>(ticksPerQuarter)};
  for (TrackWriter& writer : writers) writer.appendTo(piece.smf, endTick + pad);
  return MidiPreparation{std::move(piece), {}};
}

std::optional<std::chrono::microseconds> midiLength(std::span<const std::uint8_t> bytes) {
  MidiPreparation prepared = prepareMidi(bytes);
  if (!prepared.piece) return std::nullopt;
  return prepared.piece->length;
}

}  // namespace qov
