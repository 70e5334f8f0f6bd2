#pragma once
// Golden frames: a changed pixel fails and leaves the frame (<name>.actual.png) and a diff
// (<name>.diff.png, changed pixels red) in golden/ under the working directory, which is the
// build folder under CTest. QOV_UPDATE_GOLDEN=1 rewrites the golden files instead.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/Image.h"
#include "platform/render/Render.h"
#include "tests/ui/UiTestSupport.h"

namespace qov::test {

// Changed pixels in red over a dimmed copy of the golden frame.
inline Image diffImage(const Image& golden, const Image& actual) {
  Image diff(golden.width(), golden.height());
  for (int y = 0; y < golden.height(); ++y) {
    for (int x = 0; x < golden.width(); ++x) {
      const Argb g = golden.pixel(x, y);
      const bool same = x < actual.width() && y < actual.height() && actual.pixel(x, y) == g;
      diff.setPixel(x, y, same ? ((g >> 2) & 0x003F3F3Fu) | 0xFF000000u : rgb(255, 0, 0));
    }
  }
  return diff;
}

inline void expectGolden(const Image& frame, const std::string& name) {
  const std::filesystem::path golden = kUiData / "golden" / (name + ".png");
  if (const char* update = std::getenv("QOV_UPDATE_GOLDEN");
      update != nullptr && std::string(update) == "1") {
    ASSERT_TRUE(savePng(frame, golden)) << golden;
    return;
  }
  const std::optional<Image> expected = loadPng(golden);
  ASSERT_TRUE(expected.has_value())
      << "no golden frame " << golden << " (QOV_UPDATE_GOLDEN=1 ctest -R golden writes it)";
  if (*expected == frame) return;
  const std::filesystem::path out = std::filesystem::current_path() / "golden";
  std::filesystem::create_directories(out);
  EXPECT_TRUE(savePng(frame, out / (name + ".actual.png")));
  EXPECT_TRUE(savePng(diffImage(*expected, frame), out / (name + ".diff.png")));
  ADD_FAILURE() << "frame " << name << " differs from " << golden << "; see " << out;
}

}  // namespace qov::test
