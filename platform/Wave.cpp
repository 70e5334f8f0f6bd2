#include "platform/Wave.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace qov {
namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::size_t kRiffHeader = 12;  // "RIFF", size, "WAVE"

std::uint32_t le32(Bytes b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
         static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
std::uint16_t le16(Bytes b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

bool isWave(Bytes b) {
  return b.size() >= kRiffHeader && std::memcmp(b.data(), "RIFF", 4) == 0 &&
         std::memcmp(b.data() + 8, "WAVE", 4) == 0;
}

// Chunk names are four printable ASCII characters.
bool chunkNameAt(Bytes b, std::size_t at) {
  if (at + 4 > b.size()) return false;
  return std::all_of(b.begin() + static_cast<std::ptrdiff_t>(at),
                     b.begin() + static_cast<std::ptrdiff_t>(at + 4),
                     [](std::uint8_t c) { return c >= 0x20 && c <= 0x7E; });
}

struct Chunk {
  std::size_t at = 0;  // of its name
  std::uint32_t size = 0;
  bool padMissing = false;  // odd size, and the next chunk follows without the pad byte
};

// Calls visit(chunk) for each chunk in order. After an odd chunk the pad byte is taken as
// missing when the byte there is not 0 (pads are written as 0) and a chunk name starts there.
template <typename Visit>
void eachChunk(Bytes b, Visit visit) {
  std::size_t at = kRiffHeader;
  while (at + 8 <= b.size()) {
    Chunk chunk{at, le32(b, at + 4), false};
    const std::uint64_t end = static_cast<std::uint64_t>(at) + 8 + chunk.size;
    if ((chunk.size & 1) != 0 && end < b.size() && b[end] != 0 && chunkNameAt(b, end)) {
      chunk.padMissing = true;
    }
    visit(chunk);
    const std::uint64_t next = end + ((chunk.size & 1) != 0 && !chunk.padMissing ? 1 : 0);
    if (next >= b.size()) break;
    at = static_cast<std::size_t>(next);
  }
}

}  // namespace

std::vector<std::uint8_t> padWaveChunks(std::span<const std::uint8_t> bytes) {
  std::vector<std::uint8_t> out(bytes.begin(), bytes.end());
  if (!isWave(bytes)) return out;
  std::vector<std::size_t> missing;  // where a pad byte goes, in the original bytes
  eachChunk(bytes, [&](const Chunk& c) {
    if (c.padMissing) missing.push_back(c.at + 8 + c.size);
  });
  if (missing.empty()) return out;
  out.clear();
  out.reserve(bytes.size() + missing.size());
  std::size_t from = 0;
  for (const std::size_t at : missing) {
    out.insert(out.end(), bytes.begin() + static_cast<std::ptrdiff_t>(from),
               bytes.begin() + static_cast<std::ptrdiff_t>(at));
    out.push_back(0);
    from = at;
  }
  out.insert(out.end(), bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.end());
  const auto riffSize =
      static_cast<std::uint32_t>(std::min<std::size_t>(out.size() - 8, UINT32_MAX));
  for (int i = 0; i < 4; ++i) out[4 + static_cast<std::size_t>(i)] = (riffSize >> (8 * i)) & 0xFF;
  return out;
}

WaveReading readWave(std::span<const std::uint8_t> bytes) {
  if (!isWave(bytes)) return {std::nullopt, "not a RIFF WAVE file"};
  std::optional<std::uint16_t> tag;
  std::uint32_t byteRate = 0;
  std::optional<std::uint32_t> dataSize;
  eachChunk(bytes, [&](const Chunk& c) {
    const std::size_t body = c.at + 8;
    if (std::memcmp(bytes.data() + c.at, "fmt ", 4) == 0 && !tag && c.size >= 16 &&
        body + 16 <= bytes.size()) {
      tag = le16(bytes, body);
      byteRate = le32(bytes, body + 8);
      // WAVE_FORMAT_EXTENSIBLE names its real format in the first bytes of a GUID.
      if (*tag == 0xFFFE && c.size >= 40 && body + 26 <= bytes.size()) {
        tag = le16(bytes, body + 24);
      }
    } else if (std::memcmp(bytes.data() + c.at, "data", 4) == 0 && !dataSize) {
      // A file cut short plays what it holds.
      dataSize = static_cast<std::uint32_t>(
          std::min<std::uint64_t>(c.size, bytes.size() - std::min(bytes.size(), body)));
    }
  });
  if (!tag) return {std::nullopt, "no \"fmt \" chunk"};
  if (!dataSize) return {std::nullopt, "no \"data\" chunk"};
  return {WaveInfo{*tag, byteRate, *dataSize}, {}};
}

bool playableWaveFormat(std::uint16_t formatTag) {
  switch (formatTag) {
    case 0x0001:  // PCM
    case 0x0002:  // MS-ADPCM
    case 0x0003:  // IEEE float
    case 0x0006:  // A-law
    case 0x0007:  // mu-law
    case 0x0011:  // IMA-ADPCM
      return true;
    default:
      return false;
  }
}

void EffectWarnings::warn(const std::filesystem::path& file, std::string_view why) {
  if (!warned_.insert(file).second) return;
  std::fprintf(stderr, "qov: the sound effect %s cannot be played (%.*s)\n", file.c_str(),
               static_cast<int>(why.size()), why.data());
}

}  // namespace qov
