#include "shell/KeysList.h"

#include <string_view>
#include <utility>

#include "shell/Words.h"

namespace qov {

namespace {

constexpr Rect kOverlayBox{32, 16, 440, 306};
constexpr Argb kOverlayShade = rgb(0, 0, 48);
constexpr Argb kOverlayBorder = rgb(160, 160, 208);
constexpr Argb kOverlayHeading = rgb(255, 255, 0);
constexpr Argb kOverlayText = rgb(255, 255, 255);

// `colour` over `under` at three quarters.
Argb shade(Argb under, Argb colour) {
  const auto mixChannel = [&](int shift) {
    const auto a = static_cast<int>((under >> shift) & 0xFF);
    const auto b = static_cast<int>((colour >> shift) & 0xFF);
    return static_cast<Argb>((a + 3 * b) / 4) << shift;
  };
  return 0xFF000000u | mixChannel(16) | mixChannel(8) | mixChannel(0);
}

}  // namespace

KeysOverlay::KeysOverlay(Platform& platform)
    : font_(platform.font(FontRequest{FontFace::Gothic, 10.0, false})) {
  rect = kOverlayBox;
}

void KeysOverlay::set(std::vector<std::u32string> lines, std::u32string status, bool pad) {
  lines_ = std::move(lines);
  status_ = std::move(status);
  pad_ = pad;
}

void KeysOverlay::drawSelf(Image& frame, const Rect& at, const Rect& clip) const {
  for (int y = clip.y; y < clip.y + clip.h; ++y) {
    for (int x = clip.x; x < clip.x + clip.w; ++x) {
      frame.setPixel(x, y, shade(frame.pixel(x, y), kOverlayShade));
    }
  }
  frame.fill(Rect{at.x, at.y, at.w, 1}.intersect(clip), kOverlayBorder);
  frame.fill(Rect{at.x, at.y + at.h - 1, at.w, 1}.intersect(clip), kOverlayBorder);
  frame.fill(Rect{at.x, at.y, 1, at.h}.intersect(clip), kOverlayBorder);
  frame.fill(Rect{at.x + at.w - 1, at.y, 1, at.h}.intersect(clip), kOverlayBorder);
  const int step = font_->lineHeight() + 6;
  int y = at.y + 12;
  const auto line = [&](std::u32string_view text, Argb colour) {
    frame.drawMask(font_->render(text), at.x + 16, y, colour, clip);
    y += step;
  };
  line(pad_ ? tr(U"Pad  (a button or a click closes this)")
             : tr(U"Keys  (a key or a click closes this)"),
       kOverlayHeading);
  y += step / 2;
  for (const std::u32string& text : lines_) line(text, kOverlayText);
  y += step / 2;
  line(status_, kOverlayHeading);
}

void KeysOverlay::sign(std::uint64_t& digest) const {
  digest ^= pad_ ? 0x9E3779B97F4A7C15ull : 0;
  for (const char32_t c : status_) {
    digest ^= c;
    digest *= 0x100000001B3ull;
  }
}

KeysScreen::KeysScreen(Platform& platform, ScreenStack& screens)
    : screens_(screens), overlay_(platform) {}

void KeysScreen::show(std::vector<std::u32string> lines, std::u32string status, bool pad) {
  overlay_.set(std::move(lines), std::move(status), pad);
  screens_.push(*this);
}

bool KeysScreen::take(const Press& press, const std::optional<Asked>& /*asked*/) {
  // A step of the wheel leaves it open.
  if (press.kind != Press::Kind::Wheel) screens_.pop(*this);
  return true;
}

}  // namespace qov
