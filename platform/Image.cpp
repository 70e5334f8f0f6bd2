#include "platform/Image.h"

#include <algorithm>

namespace qov {

Rect Rect::intersect(const Rect& o) const {
  const int left = std::max(x, o.x);
  const int top = std::max(y, o.y);
  const int right = std::min(x + w, o.x + o.w);
  const int bottom = std::min(y + h, o.y + o.h);
  return Rect{left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

Image::Image(int width, int height, Argb fill)
    : width_(std::max(0, width)),
      height_(std::max(0, height)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill) {}

void Image::fill(const Rect& area, Argb colour) {
  const Rect r = area.intersect(bounds());
  for (int y = r.y; y < r.y + r.h; ++y) {
    std::fill_n(pixels_.begin() + static_cast<std::ptrdiff_t>(index(r.x, y)), r.w, colour);
  }
}

template <typename Row>
void Image::eachRow(const Image& src, const Rect& from, int dx, int dy, const Rect& clip, Row row) {
  const Rect source = from.intersect(src.bounds());
  // Where the clipped source lands, then clipped again by the target and the clip rectangle.
  Rect target{dx + (source.x - from.x), dy + (source.y - from.y), source.w, source.h};
  const Rect visible = target.intersect(bounds()).intersect(clip);
  for (int y = visible.y; y < visible.y + visible.h; ++y) {
    const int sy = source.y + (y - target.y);
    const int sx = source.x + (visible.x - target.x);
    row(pixels_.data() + index(visible.x, y), src.pixels_.data() + src.index(sx, sy),
        static_cast<std::size_t>(visible.w));
  }
}

void Image::copy(const Image& src, const Rect& from, int dx, int dy, const Rect& clip) {
  eachRow(src, from, dx, dy, clip,
          [](Argb* to, const Argb* source, std::size_t count) { std::copy_n(source, count, to); });
}

void Image::copyOver(const Image& src, const Rect& from, int dx, int dy, Argb background) {
  eachRow(src, from, dx, dy, bounds(), [background](Argb* to, const Argb* source, std::size_t n) {
    // Most pictures are opaque: their rows are copied as they are.
    if (std::all_of(source, source + n, [](Argb c) { return c >= 0xFF000000u; })) {
      std::copy_n(source, n, to);
    } else {
      std::transform(source, source + n, to, [background](Argb c) { return over(c, background); });
    }
  });
}

void Image::drawMask(const Mask& mask, int dx, int dy, Argb colour, const Rect& clip) {
  const Rect visible = Rect{dx, dy, mask.width, mask.height}.intersect(bounds()).intersect(clip);
  for (int y = visible.y; y < visible.y + visible.h; ++y) {
    const std::uint8_t* row =
        mask.alpha.data() + static_cast<std::size_t>(y - dy) * static_cast<std::size_t>(mask.width);
    for (int x = visible.x; x < visible.x + visible.w; ++x) {
      if (row[x - dx] != 0) pixels_[index(x, y)] = colour;
    }
  }
}

}  // namespace qov
