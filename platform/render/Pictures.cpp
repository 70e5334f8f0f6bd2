#include <SDL.h>
#include <SDL_image.h>
#include <png.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/AtomicFile.h"
#include "platform/render/PictureHeader.h"
#include "platform/render/Render.h"
#include "platform/render/SdlHandles.h"

namespace qov {
namespace {

// The surface as ARGB pixels. A colour key (GIF's transparent index, tRNS of a paletted or RGB
// PNG) becomes alpha 0 in the conversion; `opaque` drops all alpha.
std::optional<Image> toImage(const SDL_Surface* surface, bool opaque = false) {
  if (surface == nullptr || surface->w <= 0 || surface->h <= 0) return std::nullopt;
  const SurfacePtr argb(
      SDL_ConvertSurfaceFormat(const_cast<SDL_Surface*>(surface), SDL_PIXELFORMAT_ARGB8888, 0));
  if (!argb || SDL_LockSurface(argb.get()) != 0) return std::nullopt;
  Image image(argb->w, argb->h);
  const auto* bytes = static_cast<const std::uint8_t*>(argb->pixels);
  for (int y = 0; y < argb->h; ++y) {
    Argb* row = image.pixels().data() + static_cast<std::size_t>(y) * argb->w;
    std::memcpy(row, bytes + static_cast<std::size_t>(y) * static_cast<std::size_t>(argb->pitch),
                static_cast<std::size_t>(argb->w) * 4);
    if (opaque) {
      for (int x = 0; x < argb->w; ++x) row[x] |= 0xFF000000u;
    }
  }
  SDL_UnlockSurface(argb.get());
  return image;
}

// SDL2_image hands a CMYK JPEG out as it was stored, four bytes a pixel in the order C, M, Y,
// K, under an RGBA pixel format; the colours come from that.
std::optional<Image> fromCmyk(SDL_Surface* surface, bool adobe) {
  if (surface->format->BytesPerPixel != 4) return toImage(surface);
  if (SDL_LockSurface(surface) != 0) return std::nullopt;
  Image image(surface->w, surface->h);
  const auto* bytes = static_cast<const std::uint8_t*>(surface->pixels);
  for (int y = 0; y < surface->h; ++y) {
    const std::uint8_t* p =
        bytes + static_cast<std::size_t>(y) * static_cast<std::size_t>(surface->pitch);
    for (int x = 0; x < surface->w; ++x, p += 4) {
      image.setPixel(x, y, cmykToRgb(p[0], p[1], p[2], p[3], adobe));
    }
  }
  SDL_UnlockSurface(surface);
  return image;
}

// SDL2_image cannot read a greyscale PNG with a transparent grey level (it makes a surface of
// the wrong depth); libpng's own reader can.
std::optional<Image> decodeGreyKeyedPng(std::span<const std::uint8_t> bytes) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_memory(&png, bytes.data(), bytes.size()) == 0) return std::nullopt;
  png.format = PNG_FORMAT_ARGB;
  std::vector<std::uint8_t> argb(PNG_IMAGE_SIZE(png));
  if (png_image_finish_read(&png, nullptr, argb.data(), 0, nullptr) == 0) {
    png_image_free(&png);
    return std::nullopt;
  }
  Image image(static_cast<int>(png.width), static_cast<int>(png.height));
  for (std::size_t i = 0; i < image.pixels().size(); ++i) {
    const std::uint8_t* p = argb.data() + 4 * i;
    image.pixels()[i] = static_cast<Argb>(p[0]) << 24 | static_cast<Argb>(p[1]) << 16 |
                        static_cast<Argb>(p[2]) << 8 | p[3];
  }
  return image;
}

// A picture far beyond any window costs gigabytes to decode; the size in its header is read
// first and such a file counts as one that cannot be read.
constexpr std::int64_t kMaxSide = 8192;
constexpr std::int64_t kMaxPixels = 4096 * 4096;

}  // namespace

std::optional<Image> decodeImage(std::span<const std::uint8_t> bytes) {
  if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT_MAX)) return std::nullopt;
  const PictureHeader header = readPictureHeader(bytes);
  if (header.sized && (header.width > kMaxSide || header.height > kMaxSide ||
                       header.width * header.height > kMaxPixels)) {
    return std::nullopt;
  }
  if (header.pngGreyKey) return decodeGreyKeyedPng(bytes);

  SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
  if (rw == nullptr) return std::nullopt;
  // IMG_Load_RW recognises the format by its content and closes the stream.
  const SurfacePtr surface(IMG_Load_RW(rw, 1));
  if (!surface) return std::nullopt;
  if (header.format == PictureHeader::Format::Jpeg && header.jpegComponents == 4) {
    return fromCmyk(surface.get(), header.jpegAdobe);
  }
  // SDL takes the fourth byte of any 32-bit BMP for alpha; without a declared mask it is
  // unused, often 0, and the picture is opaque.
  return toImage(surface.get(), header.format == PictureHeader::Format::Bmp && !header.bmpAlpha);
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

std::optional<std::string> encodePng(const Image& image) {
  if (image.empty()) return std::nullopt;
  std::vector<Argb> pixels = image.pixels();
  const SurfacePtr surface(SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), image.width(),
                                                              image.height(), 32, image.width() * 4,
                                                              SDL_PIXELFORMAT_ARGB8888));
  if (!surface) return std::nullopt;
  // A stream that appends to a string and can be asked where it is.
  std::string bytes;
  SDL_RWops* out = SDL_AllocRW();
  if (out == nullptr) return std::nullopt;
  out->type = SDL_RWOPS_UNKNOWN;
  out->hidden.unknown.data1 = &bytes;
  out->size = [](SDL_RWops* rw) -> Sint64 {
    return static_cast<Sint64>(static_cast<std::string*>(rw->hidden.unknown.data1)->size());
  };
  out->seek = [](SDL_RWops* rw, Sint64 offset, int whence) -> Sint64 {
    const auto size =
        static_cast<Sint64>(static_cast<std::string*>(rw->hidden.unknown.data1)->size());
    if (whence == RW_SEEK_CUR && offset == 0) return size;
    if (whence == RW_SEEK_END && offset == 0) return size;
    if (whence == RW_SEEK_SET && offset == size) return size;
    return SDL_SetError("the PNG stream only appends");
  };
  out->read = [](SDL_RWops*, void*, size_t, size_t) -> size_t { return 0; };
  out->write = [](SDL_RWops* rw, const void* data, size_t size, size_t count) -> size_t {
    static_cast<std::string*>(rw->hidden.unknown.data1)
        ->append(static_cast<const char*>(data), size * count);
    return count;
  };
  out->close = [](SDL_RWops* rw) -> int {
    SDL_FreeRW(rw);
    return 0;
  };
  if (IMG_SavePNG_RW(surface.get(), out, 1) != 0) return std::nullopt;
  return bytes;
}

std::error_code writePngFile(const Image& image, const std::filesystem::path& path) {
  const std::optional<std::string> bytes = encodePng(image);
  if (!bytes) return std::make_error_code(std::errc::not_enough_memory);
  return replaceFile(path, *bytes);
}

std::optional<Image> loadPng(const std::filesystem::path& path) {
  return toImage(SurfacePtr(IMG_Load(path.c_str())).get());
}

}  // namespace qov
