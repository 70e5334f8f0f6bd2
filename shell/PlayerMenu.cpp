#include "shell/PlayerMenu.h"

#include <utility>

#include "shell/Panel.h"
#include "shell/Words.h"

namespace qov {

namespace {

using panel::kHeadingHeight;
using panel::kPadding;
constexpr int kBoxWidth = 200;
constexpr int kEntryHeight = panel::kRowHeight;
constexpr std::u32string_view kHeadingText = later(U"Menu");
// The picture above the message window, where the box is centred.
constexpr Rect kPicture{0, 0, 504, 336};

}  // namespace

PlayerMenu::PlayerMenu(Platform& platform, ScreenStack& screens, HostedGame& game,
                       std::vector<Entry> entries)
    : screens_(screens),
      game_(game),
      font_(platform.font(FontRequest{FontFace::Gothic, 12.0, false})),
      entries_(std::move(entries)) {}

PlayerMenu::~PlayerMenu() {
  screens_.pop(*this);
}

bool PlayerMenu::perform(const Asked& asked) {
  if (asked.action != Action::PlayerMenu || asked.again) return false;
  // The opening is a timed show with its song: it cannot wait. Esc is the item window's own.
  if (game_.openingRuns()) return false;
  if (asked.argument != kEvenInItems && game_.wait().kind == GameWait::Kind::Items) return false;
  open();
  return true;
}

void PlayerMenu::open() {
  focus_ = 0;
  ++opened_;
  screens_.push(*this);
  if (onOpen_) {
    std::vector<std::u32string> captions;
    for (const Entry& entry : entries_) captions.push_back(tr(entry.caption));
    onOpen_(tr(kHeadingText), captions);
  }
}

void PlayerMenu::close() {
  screens_.pop(*this);
}

Rect PlayerMenu::entryPlace(std::size_t index) const {
  const int height = kHeadingHeight + static_cast<int>(entries_.size()) * kEntryHeight + kPadding;
  const int x = kPicture.x + (kPicture.w - kBoxWidth) / 2;
  const int y = kPicture.y + (kPicture.h - height) / 2;
  if (index == entries_.size()) return Rect{x, y, kBoxWidth, height};  // the whole box
  return Rect{x + kPadding, y + kHeadingHeight + static_cast<int>(index) * kEntryHeight,
              kBoxWidth - 2 * kPadding, kEntryHeight};
}

bool PlayerMenu::take(const Press& press, const std::optional<Asked>& asked) {
  if (press.kind == Press::Kind::Button) {
    if (press.button == kLeftButton) {
      for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entryPlace(i).contains(press.x, press.y)) choose(i);
      }
    } else {
      close();  // the right or middle button
    }
    return true;
  }
  if (press.kind == Press::Kind::Key && press.key == Key::Escape && press.modifiers == 0) {
    if (!press.repeat) close();
    return true;
  }
  if (!asked) return true;
  switch (asked->action) {
    case Action::GoOn:
      if (!asked->again) choose(focus_);
      return true;
    case Action::RightClick:
    case Action::Cancel:      // a pad's B
    case Action::PlayerMenu:  // a pad's Start, which opened it
      if (!asked->again) close();
      return true;
    case Action::Choose:
      move(asked->argument);
      return true;
    default:
      // What the menu has no use for (the history, the volume) waits until it is closed.
      return asked->action != Action::Fullscreen && asked->action != Action::Screenshot &&
             asked->action != Action::Volume && asked->action != Action::Mute &&
             asked->action != Action::Scale;
  }
}

void PlayerMenu::move(int direction) {
  if (entries_.empty()) return;
  if (direction == kChooseUp || direction == kChooseLeft) {
    focus_ = focus_ == 0 ? entries_.size() - 1 : focus_ - 1;
  } else {
    focus_ = focus_ + 1 == entries_.size() ? 0 : focus_ + 1;
  }
  if (onFocus_) onFocus_(tr(entries_[focus_].caption));
}

void PlayerMenu::choose(std::size_t index) {
  close();
  // It may end the program (終了), so nothing of the menu's is touched after it.
  const std::function<void()> chosen = entries_.at(index).chosen;
  if (chosen) chosen();
}

void PlayerMenu::draw(Image& frame) const {
  const Rect box = entryPlace(entries_.size());
  panel::box(frame, box);
  const int ascent = (kEntryHeight - font_->lineHeight()) / 2;
  frame.drawMask(font_->render(tr(kHeadingText)), box.x + kPadding + 4, box.y + kPadding,
                 panel::kHeading, box);
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const Rect place = entryPlace(i);
    if (i == focus_) frame.fill(place, panel::kFocusBack);
    frame.drawMask(font_->render(tr(entries_[i].caption)), place.x + 12, place.y + ascent,
                   panel::kText, place);
  }
}

std::uint64_t PlayerMenu::signature() const {
  return (opened_ << 8) ^ focus_;
}

}  // namespace qov
