#pragma once

#include <cstdint>
#include <span>

#include "platform/Image.h"

namespace qov {

// What a picture file's header says, read before it is decoded: its size, so that a huge
// picture is refused unread, and the few facts the decoder needs to show it as its maker meant.
struct PictureHeader {
  enum class Format { Unknown, Png, Gif, Bmp, Jpeg };
  Format format = Format::Unknown;
  bool sized = false;  // width and height are known
  std::int64_t width = 0;
  std::int64_t height = 0;
  // BMP: the header declares an alpha mask (a V3, V4 or V5 header, or alpha bit fields).
  // Without one, the fourth byte of a 32-bit pixel is unused and the picture is opaque.
  bool bmpAlpha = false;
  // JPEG: colour components of the frame (4 for CMYK or YCCK), and whether an "Adobe" APP14
  // segment is present: such CMYK is stored inverted (0 = full ink).
  int jpegComponents = 0;
  bool jpegAdobe = false;
  // PNG: a greyscale picture with a transparent grey level (tRNS).
  bool pngGreyKey = false;
};

[[nodiscard]] PictureHeader readPictureHeader(std::span<const std::uint8_t> bytes);

// One CMYK pixel as a JPEG decoder hands it out, in RGB: `inverted` for the Adobe convention.
[[nodiscard]] Argb cmykToRgb(std::uint8_t c, std::uint8_t m, std::uint8_t y, std::uint8_t k,
                             bool inverted);

}  // namespace qov
