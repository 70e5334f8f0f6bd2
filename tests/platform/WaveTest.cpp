// Reading the chunks of wave files as tools of the time wrote them.
#include "platform/Wave.h"

#include <gtest/gtest.h>

#include <string>

namespace qov {
namespace {

using namespace std::string_literals;

std::string le32(std::uint32_t v) {
  return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}
std::string chunk(const std::string& name, const std::string& body, bool pad = true) {
  return name + le32(static_cast<std::uint32_t>(body.size())) + body +
         (pad && body.size() % 2 == 1 ? "\0"s : ""s);
}
std::string riff(const std::string& chunks) {
  return "RIFF" + le32(static_cast<std::uint32_t>(chunks.size() + 4)) + "WAVE" + chunks;
}
std::vector<std::uint8_t> bytes(const std::string& s) {
  return {s.begin(), s.end()};
}

const std::string kFmt = chunk("fmt ", "\1\0\1\0"s + le32(8000) + le32(8000) + "\1\0\10\0"s);
const std::string kData = chunk("data", std::string(801, '\x80'));

TEST(Wave, MissingPadBytesArePutBack) {
  const std::string padded = riff(chunk("JUNK", "odd") + kFmt + chunk("LIST", "INFOx") + kData);
  const std::string unpadded =
      riff(chunk("JUNK", "odd", false) + kFmt + chunk("LIST", "INFOx", false) + kData);
  EXPECT_EQ(padWaveChunks(bytes(unpadded)), bytes(padded));
  // Files with their pads, and what is no wave file, stay as they are.
  for (const std::string& same : {padded, riff(kFmt + chunk("note", "\0"s) + kData),
                                  "RIFF\5\0\0\0AVI LIST\3\0\0\0abcdata"s}) {
    EXPECT_EQ(padWaveChunks(bytes(same)), bytes(same));
  }

  for (const std::string& file : {padded, unpadded}) {
    const WaveReading wave = readWave(bytes(file));
    ASSERT_TRUE(wave.info) << wave.error;
    EXPECT_EQ(wave.info->formatTag, 1);
    EXPECT_EQ(wave.info->byteRate, 8000u);
    EXPECT_EQ(wave.info->dataSize, 801u);
  }
}

TEST(Wave, FormatTagsAndFaults) {
  // WAVE_FORMAT_EXTENSIBLE names its format in its sub-format GUID.
  const std::string extensible =
      chunk("fmt ", "\xFE\xFF\1\0"s + le32(8000) + le32(32000) + "\4\0\40\0\26\0\40\0"s + le32(4) +
                        "\3\0"s + std::string(14, '\0'));
  EXPECT_EQ(readWave(bytes(riff(extensible + kData))).info->formatTag, 3);
  EXPECT_TRUE(playableWaveFormat(3));
  EXPECT_FALSE(playableWaveFormat(0x55));  // MPEG layer 3

  EXPECT_EQ(readWave(bytes(riff(kFmt))).error, "no \"data\" chunk");
  EXPECT_EQ(readWave(bytes(riff(kData))).error, "no \"fmt \" chunk");
  EXPECT_EQ(readWave(bytes("RIFF"s)).error, "not a RIFF WAVE file");
  // A file cut short plays what it holds.
  EXPECT_EQ(readWave(bytes(riff(kFmt + "data" + le32(0xFFFFFFF0u) + "ab"))).info->dataSize, 2u);
}

}  // namespace
}  // namespace qov
