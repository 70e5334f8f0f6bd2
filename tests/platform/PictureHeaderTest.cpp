// What the decoder reads from a picture's header before decoding it, and the CMYK colours.
#include "platform/render/PictureHeader.h"

#include <gtest/gtest.h>

#include <string>

namespace qov {
namespace {

using namespace std::string_literals;

std::string le(std::uint32_t v, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += char(v >> (8 * i));
  return out;
}

// A BMP header with an info header of `info` bytes (its masks, when it has room for them,
// declare alpha `alphaMask`), without pixels.
std::string bmp(std::uint32_t info, std::uint16_t depth, std::uint32_t compression,
                std::uint32_t alphaMask) {
  std::string header = le(info, 4);
  if (info == 12) {
    header += le(300, 2) + le(200, 2) + le(1, 2) + le(depth, 2);
  } else {
    header += le(300, 4) + le(static_cast<std::uint32_t>(-200), 4) + le(1, 2) + le(depth, 2) +
              le(compression, 4) + std::string(20, '\0');
    header += le(0xFF0000, 4) + le(0xFF00, 4) + le(0xFF, 4) + le(alphaMask, 4);
    header.resize(std::max<std::size_t>(info + (info == 40 ? 16 : 0), 40));
  }
  return "BM" + std::string(12, '\0') + header;
}

PictureHeader read(const std::string& s) {
  return readPictureHeader(std::span(reinterpret_cast<const std::uint8_t*>(s.data()), s.size()));
}

TEST(PictureHeader, BmpSizeAndAlphaMask) {
  struct Case {
    std::string file;
    bool alpha;
  };
  for (const Case& k : {Case{bmp(12, 8, 0, 0), false},            // OS/2 1.x: 16-bit sizes
                        Case{bmp(40, 32, 0, 0xFF000000), false},  // masks not part of it
                        Case{bmp(40, 32, 3, 0xFF000000), false},  // RGB bit fields only
                        Case{bmp(40, 32, 6, 0xFF000000), true},   // alpha bit fields
                        Case{bmp(56, 32, 3, 0xFF000000), true}, Case{bmp(108, 16, 3, 0x8000), true},
                        Case{bmp(124, 32, 3, 0xFF000000), true}, Case{bmp(124, 32, 3, 0), false}}) {
    const PictureHeader h = read(k.file);
    EXPECT_EQ(h.format, PictureHeader::Format::Bmp);
    EXPECT_TRUE(h.sized);
    EXPECT_EQ(h.width, 300);
    EXPECT_EQ(h.height, 200);  // also when stored top-down
    EXPECT_EQ(h.bmpAlpha, k.alpha) << k.file.size();
  }
}

TEST(PictureHeader, JpegComponentsAndPngGreyKey) {
  const std::string adobe = "\xFF\xEE"s + le(0x0E00, 2) + "Adobe\0\x64\0\0\0\0\2"s;
  const std::string sof = "\xFF\xC0\0\x14\x08\0\x20\0\x40\x04"s + std::string(12, '\0');
  const PictureHeader cmyk = read("\xFF\xD8"s + adobe + sof);
  EXPECT_EQ(cmyk.jpegComponents, 4);
  EXPECT_TRUE(cmyk.jpegAdobe);
  EXPECT_EQ(cmyk.width, 64);
  EXPECT_EQ(cmyk.height, 32);
  EXPECT_FALSE(read("\xFF\xD8"s + sof).jpegAdobe);

  const auto png = [](char colourType, const std::string& chunks) {
    return "\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR"s + "\0\0\0\x10\0\0\0\x08\x08"s + colourType +
           "\0\0\0"s + "CRC!" + chunks + "\0\0\0\0IDAT" + "CRC!" + "\0\0\0\2tRNS\0\0CRC!";
  };
  const std::string trns = "\0\0\0\2tRNS\0\xFF"s + "CRC!";
  EXPECT_TRUE(read(png(0, trns)).pngGreyKey);
  EXPECT_FALSE(read(png(2, trns)).pngGreyKey);  // RGB: SDL2_image reads it
  EXPECT_FALSE(read(png(0, "")).pngGreyKey);    // a tRNS after the image data counts not
  EXPECT_EQ(read(png(0, "")).width, 16);
}

TEST(PictureHeader, CmykToRgb) {
  // Adobe's inverted CMYK (255 = no ink) and the plain one.
  EXPECT_EQ(cmykToRgb(255, 0, 0, 255, true), rgb(255, 0, 0));
  EXPECT_EQ(cmykToRgb(0, 255, 255, 0, false), rgb(255, 0, 0));
  EXPECT_EQ(cmykToRgb(255, 255, 255, 0, true), rgb(0, 0, 0));  // black ink alone
  EXPECT_EQ(cmykToRgb(127, 255, 255, 255, true), rgb(127, 255, 255));
  EXPECT_EQ(cmykToRgb(0, 0, 0, 128, false), rgb(127, 127, 127));
}

}  // namespace
}  // namespace qov
