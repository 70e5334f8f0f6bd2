#include "shell/Notice.h"

#include "shell/Words.h"

namespace qov {

namespace {

constexpr int kFrameWidth = 506;
constexpr int kFrameHeight = 384;
constexpr int kBoxWidth = 440;
constexpr int kPadding = 14;
constexpr std::size_t kMostLines = 12;
constexpr Argb kBoxBack = rgb(0, 0, 48);
constexpr Argb kBoxBorder = rgb(160, 160, 208);
constexpr Argb kBoxText = rgb(255, 255, 255);
constexpr Argb kBoxHint = rgb(255, 255, 0);
constexpr std::u32string_view kHint = later(U"(a click, Enter, Space or Esc closes this)");

// The text's lines (CR LF, CR or LF between them), each broken where it would pass `width`.
std::vector<std::u32string> wrap(std::u32string_view text, const Font& font, int width) {
  std::vector<std::u32string> lines;
  std::u32string line;
  const auto end = [&] {
    lines.push_back(std::move(line));
    line.clear();
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t c = text[i];
    if (c == U'\r' || c == U'\n') {
      if (c == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') ++i;
      end();
      continue;
    }
    if (c < U' ') continue;
    line.push_back(c);
    if (line.size() > 1 && font.measure(line) > width) {
      line.pop_back();
      end();
      line.push_back(c);
    }
  }
  if (!line.empty() || lines.empty()) end();
  if (lines.size() > kMostLines) {
    lines.resize(kMostLines - 1);
    lines.emplace_back(1, U'…');
  }
  return lines;
}

}  // namespace

NoticeScreen::NoticeScreen(Platform& platform, ScreenStack& screens, std::u32string_view text)
    : platform_(platform),
      screens_(screens),
      font_(platform.font(FontRequest{FontFace::Gothic, 10.0, false})),
      lines_(wrap(text, *font_, kBoxWidth - 2 * kPadding)) {
  screens_.push(*this);
}

NoticeScreen::~NoticeScreen() {
  screens_.pop(*this);
}

void NoticeScreen::wait() {
  while (open()) platform_.waitEvents();
}

bool NoticeScreen::take(const Press& press, const std::optional<Asked>& /*asked*/) {
  const bool closes =
      press.kind == Press::Kind::Button ||
      (press.kind == Press::Kind::Key && !press.repeat &&
       (press.key == Key::Enter || press.key == Key::Space || press.key == Key::Escape)) ||
      (press.kind == Press::Kind::Pad && !press.repeat &&
       (press.pad == PadButton::A || press.pad == PadButton::B));
  if (closes) screens_.pop(*this);
  return true;
}

void NoticeScreen::draw(Image& frame) const {
  const int step = font_->lineHeight() + 4;
  const int height = 2 * kPadding + step * static_cast<int>(lines_.size() + 1) + step / 2;
  const Rect box{(kFrameWidth - kBoxWidth) / 2, (kFrameHeight - height) / 2, kBoxWidth, height};
  const Rect clip = box.intersect(frame.bounds());
  frame.fill(clip, kBoxBorder);
  frame.fill(Rect{box.x + 1, box.y + 1, box.w - 2, box.h - 2}.intersect(clip), kBoxBack);
  int y = box.y + kPadding;
  for (const std::u32string& line : lines_) {
    frame.drawMask(font_->render(line), box.x + kPadding, y, kBoxText, clip);
    y += step;
  }
  y += step / 2;
  frame.drawMask(font_->render(tr(kHint)), box.x + kPadding, y, kBoxHint, clip);
}

}  // namespace qov
