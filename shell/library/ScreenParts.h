#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Image.h"
#include "platform/Platform.h"
#include "ui/Controls.h"

namespace qov {

// The look shared by the library's screens: the 506 x 384 frame with a heading band at the top
// and a band of buttons at the bottom.
namespace screen {

constexpr int kWidth = 506;
constexpr int kHeight = 384;
constexpr Rect kHeading{0, 0, kWidth, 30};
constexpr Rect kFooter{0, 350, kWidth, 34};
constexpr Argb kBack = rgb(16, 16, 40);
constexpr Argb kBand = rgb(0, 0, 96);
constexpr Argb kSelected = rgb(48, 48, 136);
constexpr Argb kBorder = rgb(160, 160, 208);
constexpr Argb kHeadingText = rgb(255, 255, 0);
constexpr Argb kText = rgb(255, 255, 255);
constexpr Argb kDimText = rgb(168, 168, 200);
constexpr Argb kMark = rgb(128, 255, 128);
constexpr Argb kWarning = rgb(255, 160, 96);

// `text` cut with "…" so that it is at most `width` pixels wide in `font`.
[[nodiscard]] std::u32string fit(const Font& font, std::u32string_view text, int width);
// Draws `text` with its top left at (x, y), clipped to `clip`.
void text(Image& frame, const Font& font, std::u32string_view text, int x, int y, Argb colour,
          const Rect& clip);
// A file name or path as the player reads it: UTF-8, else the CP932 bytes an unpacked Japanese
// archive leaves; the home folder shortened to "~".
[[nodiscard]] std::u32string readable(const std::filesystem::path& path,
                                      const std::filesystem::path& home = {});
// A one-pixel border inside `r`.
void border(Image& frame, const Rect& r, Argb colour);

// The fonts of the screens: the window's Gothic at 10 points, its bold, and 9 points.
struct Fonts {
  explicit Fonts(Platform& platform);
  std::shared_ptr<const Font> normal;
  std::shared_ptr<const Font> bold;
  std::shared_ptr<const Font> small;
};

// A button of ours, and where the mouse went down: a press counts when it is released on the
// button it began on.
struct PushButton {
  PushButton(Platform& platform, Rect r, std::u32string caption);
  Button look;
  [[nodiscard]] bool hit(int x, int y) const { return look.visible && look.rect.contains(x, y); }
};

// The line a list's selection moves to for a key (the arrows, Page Up and Down, Home and End)
// from `selected` among `count` lines, `page` of them shown; nullopt for another key.
[[nodiscard]] std::optional<std::size_t> moveInList(Key key, std::size_t selected,
                                                    std::size_t count, std::size_t page);

// A bar showing how far a long piece of work has come, with what it does above it.
void progress(Image& frame, const Fonts& fonts, std::u32string_view what, double fraction);

}  // namespace screen
}  // namespace qov
