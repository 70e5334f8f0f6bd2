#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

#include "platform/Encoding.h"
#include "platform/Image.h"

namespace qov::test {

inline const std::filesystem::path kUiData = std::filesystem::path(QOV_TEST_DATA) / "ui";

// A fresh directory under the system's temporary directory, removed again at the end.
class TempDir {
 public:
  TempDir() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("qov-ui-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  [[nodiscard]] const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Writes a script as the games keep them: CP932, CR LF after every line.
inline void writeScript(const std::filesystem::path& dir, std::string_view name,
                        std::u32string_view lines) {
  std::string bytes;
  std::u32string line;
  for (const char32_t c : lines) {
    if (c == U'\n') {
      bytes += encodeCp932(line) + "\r\n";
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) bytes += encodeCp932(line) + "\r\n";
  std::ofstream(dir / (std::string(name) + ".QOV"), std::ios::binary) << bytes;
}

// True when every pixel of `area` in `a` at (ax, ay) equals the one of `b` at (bx, by).
inline bool sameArea(const Image& a, int ax, int ay, const Image& b, int bx, int by, int w, int h) {
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (a.pixel(ax + x, ay + y) != b.pixel(bx + x, by + y)) return false;
    }
  }
  return true;
}

inline bool allPixels(const Image& image, const Rect& area, Argb colour) {
  for (int y = area.y; y < area.y + area.h; ++y) {
    for (int x = area.x; x < area.x + area.w; ++x) {
      if (image.pixel(x, y) != colour) return false;
    }
  }
  return true;
}

}  // namespace qov::test
