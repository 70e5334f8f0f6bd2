#include <SDL.h>
#include <SDL_image.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>

#include "platform/render/Render.h"
#include "platform/render/SdlHandles.h"

namespace qov {
namespace {

// Pictures have no transparency on the window: every pixel becomes opaque.
std::optional<Image> toImage(SurfacePtr surface) {
  if (!surface || surface->w <= 0 || surface->h <= 0) return std::nullopt;
  const SurfacePtr argb(SDL_ConvertSurfaceFormat(surface.get(), SDL_PIXELFORMAT_ARGB8888, 0));
  if (!argb || SDL_LockSurface(argb.get()) != 0) return std::nullopt;
  Image image(argb->w, argb->h);
  const auto* bytes = static_cast<const std::uint8_t*>(argb->pixels);
  for (int y = 0; y < argb->h; ++y) {
    const auto* row = bytes + static_cast<std::size_t>(y) * static_cast<std::size_t>(argb->pitch);
    for (int x = 0; x < argb->w; ++x) {
      Argb c = 0;
      std::memcpy(&c, row + static_cast<std::size_t>(x) * 4, 4);
      image.setPixel(x, y, c | 0xFF000000u);
    }
  }
  SDL_UnlockSurface(argb.get());
  return image;
}

// A picture far beyond any window costs gigabytes to decode; the size in its header is read
// first and such a file counts as one that cannot be read.
constexpr std::int64_t kMaxSide = 8192;
constexpr std::int64_t kMaxPixels = 4096 * 4096;

struct Size {
  std::int64_t width = 0;
  std::int64_t height = 0;
};

std::int64_t be16(std::span<const std::uint8_t> b, std::size_t i) {
  return b[i] << 8 | b[i + 1];
}
std::int64_t le16(std::span<const std::uint8_t> b, std::size_t i) {
  return b[i] | b[i + 1] << 8;
}
std::int64_t be32(std::span<const std::uint8_t> b, std::size_t i) {
  return be16(b, i) << 16 | be16(b, i + 2);
}
std::int64_t le32(std::span<const std::uint8_t> b, std::size_t i) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(le16(b, i) | le16(b, i + 2) << 16));
}

// The size a PNG, GIF, BMP or JPEG header declares; nullopt for other formats.
std::optional<Size> declaredSize(std::span<const std::uint8_t> b) {
  const auto starts = [&](std::string_view magic) {
    return b.size() >= magic.size() && std::memcmp(b.data(), magic.data(), magic.size()) == 0;
  };
  if (starts("\x89PNG") && b.size() >= 24) return Size{be32(b, 16), be32(b, 20)};
  if (starts("GIF8") && b.size() >= 10) return Size{le16(b, 6), le16(b, 8)};
  if (starts("BM") && b.size() >= 26) return Size{le32(b, 18), std::abs(le32(b, 22))};
  if (starts("\xFF\xD8")) {
    for (std::size_t i = 2; i + 9 <= b.size() && b[i] == 0xFF;) {
      const std::uint8_t marker = b[i + 1];
      const bool frame =
          marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
      if (frame) return Size{be16(b, i + 7), be16(b, i + 5)};
      i += marker == 0xFF ? 1 : 2 + static_cast<std::size_t>(be16(b, i + 2));
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<Image> decodeImage(std::span<const std::uint8_t> bytes) {
  if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT_MAX)) return std::nullopt;
  if (const auto size = declaredSize(bytes);
      size && (size->width > kMaxSide || size->height > kMaxSide ||
               size->width * size->height > kMaxPixels)) {
    return std::nullopt;
  }
  SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
  if (rw == nullptr) return std::nullopt;
  // IMG_Load_RW recognises the format by its content and closes the stream.
  return toImage(SurfacePtr(IMG_Load_RW(rw, 1)));
}

bool savePng(const Image& image, const std::filesystem::path& path) {
  if (image.empty()) return false;
  // The image's pixels are ARGB words, which is SDL's ARGB8888 in memory.
  std::vector<Argb> pixels = image.pixels();
  const SurfacePtr surface(SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), image.width(),
                                                              image.height(), 32, image.width() * 4,
                                                              SDL_PIXELFORMAT_ARGB8888));
  if (!surface) return false;
  return IMG_SavePNG(surface.get(), path.c_str()) == 0;
}

std::optional<Image> loadPng(const std::filesystem::path& path) {
  return toImage(SurfacePtr(IMG_Load(path.c_str())));
}

}  // namespace qov
