#include <SDL.h>
#include <SDL_image.h>

#include <climits>
#include <cstring>
#include <memory>

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

}  // namespace

std::optional<Image> decodeImage(std::span<const std::uint8_t> bytes) {
  if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT_MAX)) return std::nullopt;
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
