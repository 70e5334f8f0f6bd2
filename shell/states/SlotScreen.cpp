#include "shell/states/SlotScreen.h"

#include <ctime>
#include <span>
#include <variant>

#include "platform/Encoding.h"
#include "shell/Panel.h"
#include "shell/Words.h"
#include "shell/states/States.h"

namespace qov {

namespace {

constexpr int kFrameWidth = 506;
constexpr int kFrameHeight = 384;
constexpr int kThumbX = 36;
constexpr int kTextX = kThumbX + 63 + 10;
constexpr Argb kEmptyText = rgb(128, 128, 160);
constexpr Argb kDamaged = rgb(255, 128, 128);

std::u32string dateOf(std::int64_t seconds) {
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm local{};
  char text[32] = {};
  if (localtime_r(&t, &local) == nullptr ||
      std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local) == 0) {
    return U"?";
  }
  return fromUtf8(text);
}

}  // namespace

SlotScreen::SlotScreen(Platform& platform, ScreenStack& screens, States& states)
    : platform_(platform),
      screens_(screens),
      states_(states),
      font_(platform.font(FontRequest{FontFace::Gothic, 12.0, false})),
      small_(platform.font(FontRequest{FontFace::Gothic, 10.0, false})),
      slots_(States::kSlotCount) {}

SlotScreen::~SlotScreen() {
  screens_.pop(*this);
}

void SlotScreen::show(bool saving) {
  saving_ = saving;
  focus_ = 0;
  confirming_.reset();
  for (std::size_t i = 0; i < slots_.size(); ++i) refresh(i);
  ++changes_;
  screens_.push(*this);
}

bool SlotScreen::shown() const {
  return screens_.contains(*this);
}

void SlotScreen::close() {
  confirming_.reset();
  screens_.pop(*this);
}

void SlotScreen::refresh(std::size_t index) {
  Slot& slot = slots_.at(index);
  slot = Slot{};
  auto read = states_.peek(States::slotName(static_cast<int>(index)));
  if (const std::string* problem = std::get_if<std::string>(&read)) {
    slot.present = true;
    slot.damaged = true;
    slot.when = tr(U"Cannot be read");
    slot.page = fromUtf8(*problem);
  } else if (const SavedState* state = std::get_if<SavedState>(&read)) {
    slot.present = true;
    slot.when = dateOf(state->takenAt);
    slot.page = state->pageStart;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(state->thumbnailPng.data());
    if (std::optional<Image> picture = platform_.decodeImage(
            std::span<const std::uint8_t>(bytes, state->thumbnailPng.size()))) {
      slot.thumbnail = std::move(*picture);
    }
  }
  ++changes_;
}

Rect SlotScreen::tabPlace(bool saving) {
  return Rect{saving ? 8 : 88, 4, 76, 26};
}

Rect SlotScreen::rowPlace(std::size_t index) {
  const int row = static_cast<int>(index % kRowsShown);
  return Rect{4, kListTop + row * kRowHeight, kFrameWidth - 8, kRowHeight - 4};
}

Rect SlotScreen::deletePlace(std::size_t index) {
  const Rect row = rowPlace(index);
  return Rect{row.x + row.w - 28, row.y + 4, 24, 24};
}

Rect SlotScreen::confirmPlace(bool yes) {
  return Rect{yes ? 150 : 266, 200, 90, 28};
}

bool SlotScreen::take(const Press& press, const std::optional<Asked>& asked) {
  if (confirming_) {
    const bool yes =
        (press.kind == Press::Kind::Key && (press.key == Key::Enter || press.key == Key::Space)) ||
        (press.kind == Press::Kind::Button && press.button == kLeftButton &&
         confirmPlace(true).contains(press.x, press.y));
    const bool no =
        (press.kind == Press::Kind::Key &&
         (press.key == Key::Escape || press.key == Key::Backspace)) ||
        (press.kind == Press::Kind::Button &&
         (press.button != kLeftButton || confirmPlace(false).contains(press.x, press.y)));
    const bool padYes = asked && asked->action == Action::GoOn;
    const bool padNo = asked && asked->action == Action::RightClick;
    if (!press.repeat && (yes || no || padYes || padNo)) answer(yes || padYes);
    return true;
  }
  if (press.kind == Press::Kind::Button) {
    if (press.button != kLeftButton) {
      close();
      return true;
    }
    for (const bool tab : {true, false}) {
      if (tabPlace(tab).contains(press.x, press.y)) {
        saving_ = tab;
        ++changes_;
      }
    }
    const std::size_t first = focus_ / kRowsShown * kRowsShown;
    for (std::size_t i = first; i < first + kRowsShown && i < slots_.size(); ++i) {
      if (slots_[i].present && deletePlace(i).contains(press.x, press.y)) {
        askDelete(i);
        return true;
      }
      if (rowPlace(i).contains(press.x, press.y)) {
        focus_ = i;
        act(i);
        return true;
      }
    }
    return true;
  }
  if (press.kind == Press::Kind::Wheel) {
    move(press.wheel > 0 ? -1 : 1);
    return true;
  }
  if (press.repeat && press.key != Key::Up && press.key != Key::Down) return true;
  switch (press.key) {
    case Key::Escape:
    case Key::Backspace:
      close();
      return true;
    case Key::Delete:
      if (slots_[focus_].present) askDelete(focus_);
      return true;
    case Key::PageUp:
      move(-kRowsShown);
      return true;
    case Key::PageDown:
      move(kRowsShown);
      return true;
    default:
      break;
  }
  if (!asked) return true;
  switch (asked->action) {
    case Action::GoOn:
      act(focus_);
      return true;
    case Action::Choose:
      if (asked->argument == kChooseUp) move(-1);
      if (asked->argument == kChooseDown) move(1);
      if (asked->argument == kChooseLeft || asked->argument == kChooseRight) {
        saving_ = !saving_;
        ++changes_;
      }
      return true;
    case Action::Slots:
    case Action::RightClick:
      close();
      return true;
    default:
      // The window's own (scale, fullscreen, volume, screenshot) still work over it.
      return asked->action != Action::Fullscreen && asked->action != Action::Screenshot &&
             asked->action != Action::Volume && asked->action != Action::Mute &&
             asked->action != Action::Scale;
  }
}

void SlotScreen::move(int by) {
  const int count = static_cast<int>(slots_.size());
  focus_ = static_cast<std::size_t>(((static_cast<int>(focus_) + by) % count + count) % count);
  ++changes_;
}

void SlotScreen::act(std::size_t index) {
  const std::string name = States::slotName(static_cast<int>(index));
  if (saving_) {
    if (const std::optional<std::u32string> failed = states_.save(name)) {
      states_.toast(*failed);
      return;
    }
    refresh(index);
    close();
    states_.toast(fill(tr(U"Saved into slot {}"), {fromUtf8(name.substr(4))}));
    return;
  }
  if (!slots_[index].present) {
    states_.toast(tr(U"This slot is empty"));
    return;
  }
  close();
  states_.load(name);  // goes on from the slot, or a notice says why it cannot
}

void SlotScreen::askDelete(std::size_t index) {
  focus_ = index;
  confirming_ = index;
  ++changes_;
}

void SlotScreen::answer(bool yes) {
  const std::size_t index = *confirming_;
  confirming_.reset();
  ++changes_;
  if (!yes) return;
  if (const std::optional<std::u32string> failed =
          states_.remove(States::slotName(static_cast<int>(index)))) {
    states_.toast(*failed);
  }
  refresh(index);
}

void SlotScreen::drawSlot(Image& frame, std::size_t index) const {
  const Slot& slot = slots_[index];
  const Rect row = rowPlace(index);
  if (index == focus_) frame.fill(row, panel::kFocusBack);
  panel::border(frame, row, panel::kBorder);
  const std::string number = States::slotName(static_cast<int>(index)).substr(4);
  frame.drawMask(font_->render(fromUtf8(number)), row.x + 6, row.y + 6, panel::kHeading, row);
  const Rect thumb{row.x + kThumbX, row.y + 4, 63, 48};
  frame.fill(thumb, rgb(0, 0, 0));
  if (slot.thumbnail.width() >= 2 * thumb.w && slot.thumbnail.height() >= 2 * thumb.h) {
    for (int y = 0; y < thumb.h; ++y) {
      for (int x = 0; x < thumb.w; ++x) {
        frame.setPixel(thumb.x + x, thumb.y + y, slot.thumbnail.pixel(2 * x, 2 * y) | 0xFF000000u);
      }
    }
  }
  panel::border(frame, thumb, panel::kBorder);
  const int textX = row.x + kTextX;
  if (!slot.present) {
    frame.drawMask(font_->render(tr(U"(empty)")), textX, row.y + 8, kEmptyText, row);
    return;
  }
  frame.drawMask(font_->render(slot.when), textX, row.y + 6, slot.damaged ? kDamaged : panel::kText,
                 row);
  Rect textClip = row;
  textClip.w = deletePlace(index).x - 4 - row.x;
  frame.drawMask(small_->render(slot.page), textX, row.y + 30, panel::kText, textClip);
  const Rect cross = deletePlace(index);
  panel::border(frame, cross, panel::kBorder);
  frame.drawMask(small_->render(U"×"), cross.x + 6, cross.y + 5, panel::kText, cross);
}

void SlotScreen::draw(Image& frame) const {
  const Rect whole{0, 0, kFrameWidth, kFrameHeight};
  panel::box(frame, whole);
  for (const bool tab : {true, false}) {
    const Rect place = tabPlace(tab);
    if (tab == saving_) frame.fill(place, panel::kFocusBack);
    panel::border(frame, place, panel::kBorder);
    frame.drawMask(font_->render(tab ? tr(U"Save") : tr(U"Load")), place.x + 14, place.y + 5,
                   tab == saving_ ? panel::kHeading : panel::kText, place);
  }
  const std::size_t first = focus_ / kRowsShown * kRowsShown;
  const std::u32string pageNo = fromUtf8(std::to_string(first / kRowsShown + 1) + " / " +
                                         std::to_string(slots_.size() / kRowsShown));
  frame.drawMask(small_->render(pageNo), kFrameWidth - 60, 10, panel::kText, whole);
  for (std::size_t i = first; i < first + kRowsShown && i < slots_.size(); ++i) drawSlot(frame, i);
  const std::u32string hint =
      saving_ ? tr(U"Enter: save   Delete: delete   ←→: to loading   Esc: close")
              : tr(U"Enter: load   Delete: delete   ←→: to saving   Esc: close");
  frame.drawMask(small_->render(hint), 10, kListTop + kRowsShown * kRowHeight + 8, panel::kHeading,
                 whole);
  if (!confirming_) return;
  const Rect box{120, 140, 266, 100};
  panel::box(frame, box);
  const std::string number = States::slotName(static_cast<int>(*confirming_)).substr(4);
  frame.drawMask(font_->render(fill(tr(U"Delete slot {}?"), {fromUtf8(number)})), box.x + 16,
                 box.y + 16, panel::kText, box);
  for (const bool yes : {true, false}) {
    const Rect place = confirmPlace(yes);
    panel::border(frame, place, panel::kBorder);
    frame.drawMask(font_->render(yes ? tr(U"Delete") : tr(U"Cancel")), place.x + 20, place.y + 6,
                   panel::kText, place);
  }
}

std::uint64_t SlotScreen::signature() const {
  return (changes_ << 16) ^ (focus_ << 8) ^ (saving_ ? 1u : 0u) ^
         (confirming_ ? (*confirming_ + 1) << 2 : 0);
}

}  // namespace qov
