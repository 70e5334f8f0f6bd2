#include "shell/SettingsPage.h"

#include <algorithm>
#include <utility>

#include "shell/Panel.h"
#include "shell/Words.h"

namespace qov {

namespace {

constexpr Rect kBox{72, 40, 360, 0};  // its height follows the rows
using panel::kHeadingHeight;
using panel::kPadding;
using panel::kRowHeight;
constexpr int kValueX = 190;  // from the box's left edge
constexpr int kArrowWidth = 24;
constexpr int kValueWidth = 110;
using panel::kFocusBack;
using panel::kHeading;
using panel::kText;
// The most rows that fit in the frame (384 pixels high) under the heading; more scroll with
// the focus.
constexpr std::size_t kMostRows = (384 - kBox.y - kHeadingHeight - 2 * kPadding) / kRowHeight;
constexpr std::u32string_view kHeadingText = later(U"Settings  (←→ changes, Esc closes)");

}  // namespace

SettingsPage::SettingsPage(Platform& platform, ScreenStack& screens, std::vector<Row> rows)
    : screens_(screens),
      font_(platform.font(FontRequest{FontFace::Gothic, 10.0, false})),
      rows_(std::move(rows)) {}

SettingsPage::~SettingsPage() {
  screens_.pop(*this);
}

void SettingsPage::show() {
  focus_ = 0;
  screens_.push(*this);
}

std::size_t SettingsPage::rowNamed(std::u32string_view name) const {
  const auto named =
      std::find_if(rows_.begin(), rows_.end(), [&](const Row& row) { return row.name == name; });
  return static_cast<std::size_t>(named - rows_.begin());
}

std::size_t SettingsPage::firstShown() const {
  return focus_ < kMostRows ? 0 : focus_ + 1 - kMostRows;
}

std::size_t SettingsPage::endShown() const {
  return std::min(rows_.size(), firstShown() + kMostRows);
}

Rect SettingsPage::rowPlace(std::size_t index) const {
  const int shown = static_cast<int>(index) - static_cast<int>(firstShown());
  return Rect{kBox.x + kPadding, kBox.y + kHeadingHeight + shown * kRowHeight,
              kBox.w - 2 * kPadding, kRowHeight};
}

Rect SettingsPage::arrowPlace(std::size_t index, int step) const {
  const Rect row = rowPlace(index);
  const int x = kBox.x + kValueX + (step < 0 ? 0 : kArrowWidth + kValueWidth);
  return Rect{x, row.y, kArrowWidth, row.h};
}

bool SettingsPage::take(const Press& press, const std::optional<Asked>& asked) {
  if (press.kind == Press::Kind::Button) {
    if (press.button != kLeftButton) {
      screens_.pop(*this);
      return true;
    }
    for (std::size_t i = firstShown(); i < endShown(); ++i) {
      for (const int step : {-1, 1}) {
        if (arrowPlace(i, step).contains(press.x, press.y)) {
          focus_ = i;
          change(i, step);
        }
      }
    }
    return true;
  }
  if (press.kind == Press::Kind::Key && press.key == Key::Escape && press.modifiers == 0) {
    if (!press.repeat) screens_.pop(*this);
    return true;
  }
  if (!asked) return true;
  switch (asked->action) {
    case Action::RightClick:
    case Action::Cancel:      // a pad's B
    case Action::PlayerMenu:  // a pad's Start
      if (!asked->again) screens_.pop(*this);
      return true;
    case Action::GoOn:
      if (!asked->again) change(focus_, 1);
      return true;
    case Action::Choose:
      if (rows_.empty()) return true;
      if (asked->argument == kChooseLeft) change(focus_, -1);
      if (asked->argument == kChooseRight) change(focus_, 1);
      if (asked->argument == kChooseUp) focus_ = focus_ == 0 ? rows_.size() - 1 : focus_ - 1;
      if (asked->argument == kChooseDown) focus_ = focus_ + 1 == rows_.size() ? 0 : focus_ + 1;
      if ((asked->argument == kChooseUp || asked->argument == kChooseDown) && onFocus_) {
        onFocus_(tr(rows_[focus_].name));
      }
      return true;
    default:
      // The window's own keys (scale, fullscreen, volume, screenshot) still work here.
      return asked->action != Action::Fullscreen && asked->action != Action::Screenshot &&
             asked->action != Action::Volume && asked->action != Action::Mute &&
             asked->action != Action::Scale;
  }
}

void SettingsPage::change(std::size_t index, int step) {
  rows_.at(index).change(step);
  ++changes_;
}

void SettingsPage::draw(Image& frame) const {
  const int height =
      kHeadingHeight + static_cast<int>(endShown() - firstShown()) * kRowHeight + kPadding;
  const Rect box{kBox.x, kBox.y, kBox.w, height};
  panel::box(frame, box);
  frame.drawMask(font_->render(tr(kHeadingText)), box.x + kPadding + 4, box.y + kPadding, kHeading,
                 box);
  const int down = (kRowHeight - font_->lineHeight()) / 2;
  for (std::size_t i = firstShown(); i < endShown(); ++i) {
    const Rect row = rowPlace(i);
    if (i == focus_) frame.fill(row, kFocusBack);
    frame.drawMask(font_->render(tr(rows_[i].name)), row.x + 8, row.y + down, kText, row);
    const Rect less = arrowPlace(i, -1);
    const Rect more = arrowPlace(i, 1);
    frame.drawMask(font_->render(U"＜"), less.x + 5, row.y + down, kHeading, less);
    frame.drawMask(font_->render(U"＞"), more.x + 5, row.y + down, kHeading, more);
    const std::u32string value = rows_[i].value();
    const int centred = less.x + kArrowWidth + (kValueWidth - font_->measure(value)) / 2;
    frame.drawMask(font_->render(value), centred, row.y + down, kText, row);
  }
}

std::uint64_t SettingsPage::signature() const {
  std::uint64_t digest = (changes_ << 8) ^ focus_;
  // Values may change by keys of the window itself (Ctrl+Up) while the page is shown.
  for (const Row& row : rows_) {
    for (const char32_t c : row.value()) {
      digest ^= c;
      digest *= 0x100000001B3ull;
    }
  }
  return digest;
}

}  // namespace qov
