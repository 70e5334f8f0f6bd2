#include "shell/KeyPlay.h"

#include <string>
#include <utility>

#include "shell/Panel.h"

namespace qov {

namespace {

constexpr Argb kFocusColour = rgb(0, 255, 255);
constexpr Argb kAutoBack = rgb(0, 0, 96);
constexpr Argb kAutoText = rgb(255, 255, 255);
constexpr std::u32string_view kAutoMark = U"AUTO";
// The menu's labels stand in rows of three: the header and two entries, then three entries.
constexpr std::size_t kMenuColumns = 3;

}  // namespace

KeyPlay::KeyPlay(Platform& platform, HostedGame& game)
    : game_(game), markFont_(platform.font(FontRequest{FontFace::Gothic, 7.5, false})) {}

bool KeyPlay::perform(const Asked& asked) {
  if (asked.action == Action::AutoAdvance) {
    if (!asked.again) setAutoAdvance(!auto_);
    return true;
  }
  const GameWait wait = game_.wait();
  if (asked.action == Action::Cancel) {
    // The item window's own key for "やめる"; elsewhere B goes on to be the right click.
    if (wait.kind != GameWait::Kind::Items) return false;
    keysUsed_ = true;
    if (!asked.again) {
      game_.keyDown(KeyPress{Key::Escape});
      game_.keyUp(KeyPress{Key::Escape});
    }
    return true;
  }
  // What a key would click on, if it clicks; nothing while the mouse is held down, since the
  // control that took the mouse gets every click until it is released.
  std::optional<Rect> target;
  int button = kLeftButton;
  switch (asked.action) {
    case Action::GoOn:
      if (wait.kind == GameWait::Kind::Message) {
        target = wait.message;
      } else if (wait.kind == GameWait::Kind::Menu && !wait.menu.empty()) {
        target = wait.menu[focused(wait)].place;
      }
      break;
    case Action::RightClick:
      target = wait.message;
      button = kRightButton;
      break;
    case Action::Choose:
      if (wait.kind == GameWait::Kind::Items) {
        if (asked.argument == kChooseLeft) target = wait.previous;
        if (asked.argument == kChooseRight) target = wait.next;
      } else if (wait.kind == GameWait::Kind::Menu && !wait.menu.empty()) {
        keysUsed_ = true;
        choose(wait, asked.argument);
        return true;
      }
      break;
    default:
      return false;
  }
  if (!target) return false;
  keysUsed_ = true;
  if (asked.again && asked.action != Action::Choose) return true;
  if (mouseHeld_ == 0) click(*target, button);
  return true;
}

void KeyPlay::mouseButton(int button, bool down) {
  if (down) {
    mouseHeld_ |= button;
    keysUsed_ = false;
  } else {
    mouseHeld_ &= ~button;
  }
}

void KeyPlay::setAutoDelays(std::uint32_t baseMs, std::uint32_t perCharacterMs) {
  autoBaseMs_ = baseMs;
  autoPerCharacterMs_ = perCharacterMs;
  game_.setAutoAdvance(auto_, autoBaseMs_, autoPerCharacterMs_);
}

void KeyPlay::setAutoAdvance(bool on) {
  auto_ = on;
  game_.setAutoAdvance(auto_, autoBaseMs_, autoPerCharacterMs_);
}

std::size_t KeyPlay::focused(const GameWait& wait) const {
  // A new menu page starts on its first entry (the header, when it has none).
  const std::size_t first = wait.menu.size() > 1 ? 1 : 0;
  if (wait.serial != focusSerial_ || focus_ >= wait.menu.size()) return first;
  return focus_;
}

void KeyPlay::choose(const GameWait& wait, int direction) {
  const std::size_t count = wait.menu.size();
  std::size_t at = focused(wait);
  switch (direction) {
    case kChooseLeft:
      at = at == 0 ? count - 1 : at - 1;
      break;
    case kChooseRight:
      at = at + 1 == count ? 0 : at + 1;
      break;
    case kChooseUp:
      if (at >= kMenuColumns) at -= kMenuColumns;
      break;
    case kChooseDown:
      if (at + kMenuColumns < count) {
        at += kMenuColumns;
      } else if (at < kMenuColumns && count > kMenuColumns) {
        at = count - 1;
      }
      break;
    default:
      break;
  }
  focusSerial_ = wait.serial;
  focus_ = at;
  if (onFocus_) onFocus_(wait.menu[at].caption);
}

void KeyPlay::click(const Rect& at, int button) {
  const int x = at.x + at.w / 2;
  const int y = at.y + at.h / 2;
  game_.mouseDown(x, y, button);
  game_.mouseUp(x, y, button);
}

std::optional<Rect> KeyPlay::focusMark() const {
  if (!keysUsed_) return std::nullopt;
  const GameWait wait = game_.wait();
  if (wait.kind != GameWait::Kind::Menu || wait.menu.empty()) return std::nullopt;
  return wait.menu[focused(wait)].place;
}

bool KeyPlay::marks() const {
  return auto_ || focusMark().has_value();
}

void KeyPlay::draw(Image& frame) const {
  if (const std::optional<Rect> mark = focusMark()) panel::border(frame, *mark, kFocusColour);
  if (!auto_) return;
  // In the message window's top right corner.
  const Rect message = game_.wait().message;
  const Mask text = markFont_->render(kAutoMark);
  const int w = markFont_->measure(kAutoMark) + 6;
  const int h = markFont_->lineHeight() + 2;
  const Rect box{message.x + message.w - w - 2, message.y + 2, w, h};
  frame.fill(box, kAutoBack);
  frame.drawMask(text, box.x + 3, box.y + 1, kAutoText, box);
}

std::uint64_t KeyPlay::signature() const {
  std::uint64_t digest = auto_ ? 1 : 0;
  if (const std::optional<Rect> mark = focusMark()) {
    digest ^= (static_cast<std::uint64_t>(mark->x) << 16 | static_cast<std::uint64_t>(mark->y))
              << 1;
    digest |= 2;
  }
  return digest;
}

}  // namespace qov
