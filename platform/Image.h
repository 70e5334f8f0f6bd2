#pragma once

#include <cstdint>
#include <vector>

namespace qov {

// A colour as 0xAARRGGBB. Alpha 255 is opaque; only decoded pictures carry less, where their
// file makes them transparent.
using Argb = std::uint32_t;

constexpr Argb rgb(int r, int g, int b) {
  return 0xFF000000u | (static_cast<Argb>(r & 0xFF) << 16) | (static_cast<Argb>(g & 0xFF) << 8) |
         static_cast<Argb>(b & 0xFF);
}

// `colour` laid over an opaque `background` by its alpha; the result is opaque.
constexpr Argb over(Argb colour, Argb background) {
  const std::uint32_t a = colour >> 24;
  if (a == 0xFF) return colour;
  if (a == 0) return background | 0xFF000000u;
  Argb out = 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    const std::uint32_t c = (colour >> shift) & 0xFF;
    const std::uint32_t b = (background >> shift) & 0xFF;
    out |= ((c * a + b * (255 - a) + 127) / 255) << shift;
  }
  return out;
}

struct Rect {
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;
  [[nodiscard]] Rect intersect(const Rect& o) const;
  [[nodiscard]] bool contains(int px, int py) const {
    return px >= x && py >= y && px < x + w && py < y + h;
  }
  [[nodiscard]] bool empty() const { return w <= 0 || h <= 0; }
};

// Coverage of rendered text: one byte a pixel, 0 (empty) or 255 (ink), since text is drawn
// without anti-aliasing.
struct Mask {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> alpha;
};

// An ARGB picture in memory: the frame, backing images of picture boxes, decoded pictures.
// Every drawing operation is clipped to the image and to the given clip rectangle.
class Image {
 public:
  Image() = default;
  Image(int width, int height, Argb fill = rgb(0, 0, 0));

  [[nodiscard]] int width() const { return width_; }
  [[nodiscard]] int height() const { return height_; }
  [[nodiscard]] bool empty() const { return width_ == 0 || height_ == 0; }
  [[nodiscard]] Argb pixel(int x, int y) const { return pixels_[index(x, y)]; }
  void setPixel(int x, int y, Argb c) { pixels_[index(x, y)] = c; }
  [[nodiscard]] const std::vector<Argb>& pixels() const { return pixels_; }
  [[nodiscard]] std::vector<Argb>& pixels() { return pixels_; }

  void fill(const Rect& area, Argb colour);
  // Plain source copy of `from` (a rectangle of src) to (dx, dy), clipped to `clip`.
  void copy(const Image& src, const Rect& from, int dx, int dy, const Rect& clip);
  void copy(const Image& src, const Rect& from, int dx, int dy) {
    copy(src, from, dx, dy, bounds());
  }
  // The same copy with every pixel laid over `background` first: what a picture box shows of
  // a picture, whose transparent pixels show the box's back colour.
  void copyOver(const Image& src, const Rect& from, int dx, int dy, Argb background);
  // Sets the inked pixels of `mask` at (dx, dy) to `colour`; the others stay as they are.
  void drawMask(const Mask& mask, int dx, int dy, Argb colour, const Rect& clip);
  [[nodiscard]] Rect bounds() const { return Rect{0, 0, width_, height_}; }

  friend bool operator==(const Image&, const Image&) = default;

 private:
  // Calls row(target, source, count) for each row of the clipped copy.
  template <typename Row>
  void eachRow(const Image& src, const Rect& from, int dx, int dy, const Rect& clip, Row row);
  [[nodiscard]] std::size_t index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(x);
  }
  int width_ = 0;
  int height_ = 0;
  std::vector<Argb> pixels_;
};

}  // namespace qov
