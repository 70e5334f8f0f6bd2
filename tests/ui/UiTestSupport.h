#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Encoding.h"
#include "platform/Image.h"
#include "platform/ProgramEnd.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/render/Render.h"
#include "ui/Qov.h"

namespace qov::test {

inline const std::filesystem::path kUiData = std::filesystem::path(QOV_TEST_DATA) / "ui";
constexpr Argb kWhite = rgb(255, 255, 255);
constexpr Argb kBlack = rgb(0, 0, 0);
constexpr Argb kDarkGrey = rgb(64, 64, 64);

class TempDir {
 public:
  TempDir() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("qov-test-" + std::to_string(random()) + std::to_string(random()));
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

// A script as the games keep it: CP932, CR LF after every line.
inline void writeScript(const std::filesystem::path& dir, std::string_view name,
                        std::u32string_view lines) {
  std::string bytes;
  for (std::size_t at = 0; at < lines.size();) {
    const std::size_t end = std::min(lines.find(U'\n', at), lines.size());
    bytes += encodeCp932(lines.substr(at, end - at)) + "\r\n";
    at = end + 1;
  }
  std::ofstream(dir / (std::string(name) + ".QOV"), std::ios::binary) << bytes;
}

// Pixels of `area` (cut to the image) that have `colour`.
[[nodiscard]] inline int count(const Image& image, const Rect& area, Argb colour) {
  const Rect r = area.intersect(image.bounds());
  int n = 0;
  for (int y = r.y; y < r.y + r.h; ++y) {
    for (int x = r.x; x < r.x + r.w; ++x) n += image.pixel(x, y) == colour;
  }
  return n;
}
[[nodiscard]] inline bool all(const Image& image, const Rect& area, Argb colour) {
  return count(image, area, colour) == area.w * area.h;
}
[[nodiscard]] inline bool any(const Image& image, const Rect& area, Argb colour) {
  return count(image, area, colour) > 0;
}
// True when `w` x `h` pixels of `a` at (ax, ay) equal those of `b` at (bx, by).
[[nodiscard]] inline bool sameArea(const Image& a, int ax, int ay, const Image& b, int bx, int by,
                                   int w, int h) {
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (a.pixel(ax + x, ay + y) != b.pixel(bx + x, by + y)) return false;
    }
  }
  return true;
}

// A changed pixel fails and leaves the frame as golden/<name>.actual.png under the working
// directory; QOV_UPDATE_GOLDEN=1 rewrites <data>/golden/<name>.png instead.
inline void expectGolden(const Image& frame, const std::string& name,
                         const std::filesystem::path& data = kUiData) {
  const std::filesystem::path golden = data / "golden" / (name + ".png");
  if (const char* update = std::getenv("QOV_UPDATE_GOLDEN"); update && std::string(update) == "1") {
    ASSERT_TRUE(savePng(frame, golden)) << golden;
    return;
  }
  const std::optional<Image> expected = loadPng(golden);
  ASSERT_TRUE(expected.has_value()) << "no golden frame " << golden;
  if (*expected == frame) return;
  const std::filesystem::path out = std::filesystem::current_path() / "golden";
  std::filesystem::create_directories(out);
  EXPECT_TRUE(savePng(frame, out / (name + ".actual.png")));
  ADD_FAILURE() << "frame " << name << " differs from " << golden << "; see " << out;
}

// The main window on the headless platform. Each wait for input that is not queued runs the
// next answer, which looks at the window and queues input; without one the wait stalls.
class Window {
 public:
  explicit Window(const std::filesystem::path& dir = kUiData)
      : platform({dir}), window(platform, dir, {dir}) {
    platform.setEventSink(&window);
    window.controls().MES.setFont(FontRequest{FontFace::Gothic, 10.0, false});  // as at load
    platform.setStallHandler([this] {
      stallTimes.push_back(platform.now());
      if (stalls >= answers.size()) return false;
      answers[stalls++]();
      return true;
    });
  }

  HeadlessPlatform platform;
  Qov window;
  WindowControls& c = window.controls();
  std::vector<std::function<void()>> answers;
  std::size_t stalls = 0;
  std::vector<std::uint64_t> stallTimes;
  // What run() plays: the main window alone, unless a test puts something around it.
  std::function<int()> play = [this] { return window.run(); };

  void then(std::function<void()> answer) { answers.push_back(std::move(answer)); }
  void click(const Control& control, int button = kLeftButton) {
    const Rect r = control.visibleFrameRect();
    platform.click(r.x + r.w / 2, r.y + r.h / 2, button);
  }

  // Loads the game and runs it to its end; returns the exit code. Standard error goes to `err`.
  int run(std::string* err = nullptr) {
    ::testing::internal::CaptureStderr();
    int code = -1;
    try {
      code = play();
    } catch (const HeadlessStall& stall) {
      ADD_FAILURE() << "stalled: " << stall.what();
    }
    const std::string text = ::testing::internal::GetCapturedStderr();
    if (err != nullptr) *err = text;
    return code;
  }
};

}  // namespace qov::test
