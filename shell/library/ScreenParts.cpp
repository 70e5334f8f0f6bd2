#include "shell/library/ScreenParts.h"

#include <algorithm>
#include <utility>

#include "platform/Encoding.h"

namespace qov::screen {

std::u32string fit(const Font& font, std::u32string_view text, int width) {
  if (font.measure(text) <= width) return std::u32string(text);
  constexpr std::u32string_view kEllipsis = U"…";
  const int room = width - font.measure(kEllipsis);
  // Binary search for the longest start that fits beside the ellipsis.
  std::size_t low = 0;
  std::size_t high = text.size();
  while (low < high) {
    const std::size_t mid = (low + high + 1) / 2;
    if (font.measure(text.substr(0, mid)) <= room) {
      low = mid;
    } else {
      high = mid - 1;
    }
  }
  return std::u32string(text.substr(0, low)) + std::u32string(kEllipsis);
}

void text(Image& frame, const Font& font, std::u32string_view text, int x, int y, Argb colour,
          const Rect& clip) {
  if (text.empty()) return;
  frame.drawMask(font.render(text), x, y, colour, clip);
}

std::u32string readable(const std::filesystem::path& path, const std::filesystem::path& home) {
  std::string bytes = path.string();
  const std::string homeBytes = home.string();
  if (!homeBytes.empty() && homeBytes != "/" && bytes.starts_with(homeBytes) &&
      (bytes.size() == homeBytes.size() || bytes[homeBytes.size()] == '/')) {
    bytes = "~" + bytes.substr(homeBytes.size());
  }
  std::u32string text = fromUtf8(bytes);
  if (toUtf8(text) != bytes) text = decodeCp932Lenient(bytes);
  return text;
}

void border(Image& frame, const Rect& r, Argb colour) {
  frame.fill(Rect{r.x, r.y, r.w, 1}, colour);
  frame.fill(Rect{r.x, r.y + r.h - 1, r.w, 1}, colour);
  frame.fill(Rect{r.x, r.y, 1, r.h}, colour);
  frame.fill(Rect{r.x + r.w - 1, r.y, 1, r.h}, colour);
}

Fonts::Fonts(Platform& platform)
    : normal(platform.font(FontRequest{FontFace::Gothic, 10.0, false})),
      bold(platform.font(FontRequest{FontFace::Gothic, 10.0, true})),
      small(platform.font(FontRequest{FontFace::Gothic, 9.0, false})) {}

PushButton::PushButton(Platform& platform, Rect r, std::u32string caption)
    : look(platform, r, std::move(caption), FontRequest{FontFace::Gothic, 9.0, false}) {}

std::optional<std::size_t> moveInList(Key key, std::size_t selected, std::size_t count,
                                      std::size_t page) {
  if (count == 0) return std::nullopt;
  const auto by = [&]() -> std::optional<long> {
    switch (key) {
      case Key::Up:
        return -1;
      case Key::Down:
        return 1;
      case Key::PageUp:
        return -static_cast<long>(page);
      case Key::PageDown:
        return static_cast<long>(page);
      case Key::Home:
        return -static_cast<long>(count);
      case Key::End:
        return static_cast<long>(count);
      default:
        return std::nullopt;
    }
  }();
  if (!by) return std::nullopt;
  const long last = static_cast<long>(count) - 1;
  return static_cast<std::size_t>(std::clamp(static_cast<long>(selected) + *by, 0L, last));
}

void progress(Image& frame, const Fonts& fonts, std::u32string_view what, double fraction) {
  constexpr Rect kBox{63, 152, 380, 80};
  constexpr Rect kBar{83, 196, 340, 16};
  frame.fill(kBox, kBand);
  border(frame, kBox, kBorder);
  text(frame, *fonts.normal, fit(*fonts.normal, what, kBox.w - 40), kBox.x + 20, kBox.y + 16, kText,
       kBox);
  frame.fill(kBar, kBack);
  border(frame, kBar, kBorder);
  const double done = std::clamp(fraction, 0.0, 1.0);
  const int filled = static_cast<int>(done * (kBar.w - 4) + 0.5);
  frame.fill(Rect{kBar.x + 2, kBar.y + 2, filled, kBar.h - 4}, kMark);
}

}  // namespace qov::screen
