#include "platform/render/PictureHeader.h"

#include <cstdlib>
#include <cstring>
#include <string_view>

namespace qov {
namespace {

using Bytes = std::span<const std::uint8_t>;

std::int64_t be16(Bytes b, std::size_t i) {
  return b[i] << 8 | b[i + 1];
}
std::int64_t le16(Bytes b, std::size_t i) {
  return b[i] | b[i + 1] << 8;
}
std::int64_t be32(Bytes b, std::size_t i) {
  return be16(b, i) << 16 | be16(b, i + 2);
}
std::int64_t le32u(Bytes b, std::size_t i) {
  return le16(b, i) | le16(b, i + 2) << 16;
}
std::int64_t le32(Bytes b, std::size_t i) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(le32u(b, i)));
}

bool at(Bytes b, std::size_t i, std::string_view text) {
  return b.size() >= i + text.size() && std::memcmp(b.data() + i, text.data(), text.size()) == 0;
}

void readPng(Bytes b, PictureHeader& h) {
  if (b.size() < 26) return;
  h.sized = true;
  h.width = be32(b, 16);
  h.height = be32(b, 20);
  const int colourType = b[25];
  // Chunks up to the image data; tRNS must come before it.
  for (std::size_t i = 8; i + 8 <= b.size();) {
    const auto length = static_cast<std::size_t>(be32(b, i));
    if (at(b, i + 4, "IDAT") || at(b, i + 4, "IEND") || length > b.size()) break;
    if (at(b, i + 4, "tRNS")) h.pngGreyKey = colourType == 0;
    i += 12 + length;
  }
}

void readBmp(Bytes b, PictureHeader& h) {
  if (b.size() < 26) return;
  const std::int64_t infoSize = le32u(b, 14);
  if (infoSize == 12) {  // OS/2 1.x: 16-bit sizes
    h.sized = true;
    h.width = le16(b, 18);
    h.height = le16(b, 20);
    return;
  }
  h.sized = true;
  h.width = le32(b, 18);
  h.height = std::abs(le32(b, 22));  // negative: stored top-down
  // The masks follow a 40-byte header when it says BI_ALPHABITFIELDS (6), and are part of a
  // V3 (56 bytes), V4 or V5 header; the alpha mask lies at the same place in all of them.
  constexpr std::size_t kAlphaMask = 14 + 52;
  const bool masks = infoSize >= 56 || (infoSize == 40 && b.size() >= 34 && le32u(b, 30) == 6);
  h.bmpAlpha = masks && b.size() >= kAlphaMask + 4 && le32u(b, kAlphaMask) != 0;
}

void readJpeg(Bytes b, PictureHeader& h) {
  for (std::size_t i = 2; i + 4 <= b.size() && b[i] == 0xFF;) {
    const std::uint8_t marker = b[i + 1];
    if (marker == 0xFF) {  // fill byte
      ++i;
      continue;
    }
    if (marker == 0xDA || marker == 0xD9) return;  // start of scan, end of image
    const bool frame =
        marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame && i + 10 <= b.size()) {
      h.sized = true;
      h.width = be16(b, i + 7);
      h.height = be16(b, i + 5);
      h.jpegComponents = b[i + 9];
    }
    if (marker == 0xEE && at(b, i + 4, "Adobe")) h.jpegAdobe = true;
    i += 2 + static_cast<std::size_t>(be16(b, i + 2));
  }
}

}  // namespace

PictureHeader readPictureHeader(std::span<const std::uint8_t> bytes) {
  PictureHeader h;
  if (at(bytes, 0, "\x89PNG")) {
    h.format = PictureHeader::Format::Png;
    readPng(bytes, h);
  } else if (at(bytes, 0, "GIF8")) {
    h.format = PictureHeader::Format::Gif;
    if (bytes.size() >= 10) {
      h.sized = true;
      h.width = le16(bytes, 6);
      h.height = le16(bytes, 8);
    }
  } else if (at(bytes, 0, "BM")) {
    h.format = PictureHeader::Format::Bmp;
    readBmp(bytes, h);
  } else if (at(bytes, 0, "\xFF\xD8")) {
    h.format = PictureHeader::Format::Jpeg;
    readJpeg(bytes, h);
  }
  return h;
}

Argb cmykToRgb(std::uint8_t c, std::uint8_t m, std::uint8_t y, std::uint8_t k, bool inverted) {
  // How much light each ink lets through, times what the black lets through.
  const auto light = [&](std::uint8_t ink) -> std::uint32_t {
    const std::uint32_t passes = inverted ? ink : 255u - ink;
    const std::uint32_t black = inverted ? k : 255u - k;
    return (passes * black + 127) / 255;
  };
  return 0xFF000000u | light(c) << 16 | light(m) << 8 | light(y);
}

}  // namespace qov
