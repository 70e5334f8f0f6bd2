#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "platform/Image.h"
#include "platform/Platform.h"

namespace qov {

// No font that can show Japanese text was found.
class FontError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The window's fonts, found through fontconfig and drawn by SDL2_ttf, one Font per FontRequest.
// Needs no window. Throws FontError at construction when no Japanese font is installed.
class FontLibrary {
 public:
  FontLibrary();
  ~FontLibrary();
  FontLibrary(const FontLibrary&) = delete;
  FontLibrary& operator=(const FontLibrary&) = delete;

  [[nodiscard]] std::shared_ptr<const Font> font(const FontRequest& wanted);
  // The font file that stands in for a face.
  [[nodiscard]] const std::filesystem::path& file(FontFace face) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Decodes a picture recognised by its content (BMP, GIF, JPEG, PNG, ...); nullopt when it
// cannot be decoded.
[[nodiscard]] std::optional<Image> decodeImage(std::span<const std::uint8_t> bytes);

// PNG files for golden-image tests; savePng returns false when the file cannot be written.
[[nodiscard]] bool savePng(const Image& image, const std::filesystem::path& path);
[[nodiscard]] std::optional<Image> loadPng(const std::filesystem::path& path);
// The image as the bytes of a PNG file; nullopt when it cannot be encoded.
[[nodiscard]] std::optional<std::string> encodePng(const Image& image);
// Writes a PNG file atomically (never half written); the reason when it cannot.
[[nodiscard]] std::error_code writePngFile(const Image& image, const std::filesystem::path& path);

}  // namespace qov
