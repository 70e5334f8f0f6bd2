#include "shell/Actions.h"

#include <cstddef>

#include "shell/Words.h"

namespace qov {

namespace {

constexpr int kCtrlAlt = kCtrlKey | kAltKey;

std::u32string keyName(Key key) {
  switch (key) {
    case Key::Enter:
      return U"Enter";
    case Key::Escape:
      return U"Esc";
    case Key::Space:
      return U"Space";
    case Key::Control:
      return U"Ctrl";
    case Key::Up:
      return U"↑";
    case Key::Down:
      return U"↓";
    case Key::PageUp:
      return U"PageUp";
    case Key::PageDown:
      return U"PageDown";
    case Key::Home:
      return U"Home";
    case Key::End:
      return U"End";
    case Key::Delete:
      return U"Delete";
    case Key::F1:
      return U"F1";
    case Key::F5:
      return U"F5";
    case Key::F6:
      return U"F6";
    case Key::F9:
      return U"F9";
    case Key::F11:
      return U"F11";
    case Key::F12:
      return U"F12";
    case Key::C:
      return U"C";
    case Key::M:
      return U"M";
    case Key::V:
      return U"V";
    case Key::Backspace:
      return U"BackSpace";
    case Key::Left:
      return U"←";
    case Key::Right:
      return U"→";
    case Key::A:
      return U"A";
    case Key::X:
      return U"X";
    case Key::Z:
      return U"Z";
    case Key::Digit1:
    case Key::Digit2:
    case Key::Digit3:
    case Key::Digit4:
      return std::u32string(1, U'1' + (static_cast<int>(key) - static_cast<int>(Key::Digit1)));
    case Key::Other:
      break;
  }
  return U"?";
}

std::u32string modifierNames(int modifiers) {
  if (modifiers == Binding::kAnyModifiers) return U"";
  std::u32string names;
  if ((modifiers & kCtrlKey) != 0) names += U"Ctrl+";
  if ((modifiers & kAltKey) != 0) names += U"Alt+";
  return names;
}

std::u32string padName(PadButton b) {
  switch (b) {
    case PadButton::A:
      return U"A";
    case PadButton::B:
      return U"B";
    case PadButton::X:
      return U"X";
    case PadButton::Y:
      return U"Y";
    case PadButton::LB:
      return U"LB";
    case PadButton::RB:
      return U"RB";
    case PadButton::Start:
      return U"START";
    case PadButton::Back:
      return U"BACK";
    case PadButton::Up:
      return U"↑";
    case PadButton::Down:
      return U"↓";
    case PadButton::Left:
      return U"←";
    case PadButton::Right:
      return U"→";
  }
  return U"?";
}

std::u32string bindingName(const Binding& b) {
  switch (b.kind) {
    case Press::Kind::Pad:
      return padName(b.pad);
    case Press::Kind::Key:
      return modifierNames(b.modifiers) + keyName(b.key);
    case Press::Kind::Button:
      if (b.button == kLeftButton) return tr(U"Left click");
      if (b.button == kRightButton) return tr(U"Right click");
      return tr(U"Middle click");
    case Press::Kind::Wheel:
      return b.wheel > 0 ? tr(U"Wheel↑") : tr(U"Wheel↓");
  }
  return U"?";
}

bool isDigit(Key key) {
  return key >= Key::Digit1 && key <= Key::Digit4;
}

// The bindings named and joined; a run of three or more number keys with the same modifiers
// reads as one range ("Ctrl+1〜4").
std::u32string bindingNames(const std::vector<Binding>& bindings) {
  std::u32string names;
  for (std::size_t i = 0; i < bindings.size();) {
    std::size_t end = i + 1;
    const Binding& first = bindings[i];
    if (first.kind == Press::Kind::Key && isDigit(first.key)) {
      while (end < bindings.size() && bindings[end].kind == Press::Kind::Key &&
             bindings[end].modifiers == first.modifiers &&
             static_cast<int>(bindings[end].key) == static_cast<int>(first.key) + int(end - i)) {
        ++end;
      }
      if (end - i < 3) end = i + 1;
    }
    if (!names.empty()) names += U"・";
    names += bindingName(first);
    if (end - i > 1) names += U"〜" + keyName(bindings[end - 1].key);
    i = end;
  }
  return names;
}

}  // namespace

bool Binding::matches(const Press& press) const {
  if (press.kind != kind) return false;
  switch (kind) {
    case Press::Kind::Key:
      return press.key == key &&
             (modifiers == kAnyModifiers || (press.modifiers & kCtrlAlt) == modifiers);
    case Press::Kind::Button:
      return press.button == button;
    case Press::Kind::Wheel:
      return press.wheel == wheel;
    case Press::Kind::Pad:
      return press.pad == pad;
  }
  return false;
}

std::optional<Asked> ActionTable::match(const Press& press) const {
  std::vector<Asked> all = matches(press);
  if (all.empty()) return std::nullopt;
  return all.front();
}

std::vector<Asked> ActionTable::matches(const Press& press) const {
  std::vector<Asked> all;
  for (const ActionEntry& entry : entries_) {
    for (const Binding& binding : entry.bindings) {
      if (binding.matches(press)) {
        all.push_back(Asked{entry.action, binding.argument, press.repeat && !entry.repeats});
        break;
      }
    }
  }
  return all;
}

std::vector<std::u32string> ActionTable::keysPage(bool pad) const {
  std::vector<std::u32string> lines;
  bool lineShown = false;  // the last entry had a binding to show
  for (const ActionEntry& entry : entries_) {
    std::vector<Binding> shown;
    for (const Binding& b : entry.bindings) {
      if ((b.kind == Press::Kind::Pad) == pad) shown.push_back(b);
    }
    if (shown.empty()) {
      lineShown = lineShown && entry.sameLine;
      continue;
    }
    std::u32string text = bindingNames(shown);
    if (entry.held) text += tr(U" (held)");
    text += U"　" + tr(entry.what);
    if (entry.sameLine && lineShown) {
      lines.back() += U"　　" + text;
    } else {
      lines.push_back(std::move(text));
    }
    lineShown = true;
  }
  return lines;
}

std::vector<ActionEntry> shellActions() {
  using B = Binding;
  constexpr int kAny = Binding::kAnyModifiers;
  return {
      {Action::GoOn,
       later(U"Go on, choose"),
       {B::onKey(Key::Enter), B::onKey(Key::Space), B::onKey(Key::Z), B::onPad(PadButton::A)}},
      {Action::Choose,
       later(U"Move the mark"),
       {B::onKey(Key::Up, 0, kChooseUp), B::onKey(Key::Down, 0, kChooseDown),
        B::onKey(Key::Left, 0, kChooseLeft), B::onKey(Key::Right, 0, kChooseRight),
        B::onPad(PadButton::Up, kChooseUp), B::onPad(PadButton::Down, kChooseDown),
        B::onPad(PadButton::Left, kChooseLeft), B::onPad(PadButton::Right, kChooseRight)},
       true,
       false,
       true},
      // Before the right click, which B is everywhere else.
      {Action::Cancel, later(U"\"Cancel\" in the item window"), {B::onPad(PadButton::B)}},
      {Action::RightClick,
       later(U"Right click"),
       {B::onKey(Key::Backspace), B::onKey(Key::X), B::onPad(PadButton::B)},
       false,
       false,
       true},
      {Action::AutoAdvance,
       later(U"Auto-advance"),
       {B::onKey(Key::A), B::onPad(PadButton::Y)},
       false,
       false,
       true},
      {Action::Skip,
       later(U"Fast-forward the messages"),
       {B::onKey(Key::Control, kAny), B::onPad(PadButton::RB)},
       false,
       true},
      {Action::HistoryBack,
       later(U"Earlier page (history)"),
       {B::onWheel(1), B::onKey(Key::PageUp), B::onKey(Key::Up), B::onPad(PadButton::LB),
        B::onPad(PadButton::Up)},
       true},
      {Action::HistoryForward,
       later(U"Later page"),
       {B::onWheel(-1), B::onKey(Key::Down), B::onPad(PadButton::Down)},
       true},
      {Action::HistoryClose,
       later(U"Close the history"),
       {B::onKey(Key::PageDown, kAny), B::onKey(Key::Escape, kAny), B::onButton(kLeftButton),
        B::onPad(PadButton::B)},
       true},
      {Action::Screenshot,
       later(U"Screenshot (into the pictures folder)"),
       {B::onKey(Key::F12, kAny)}},
      {Action::Scale,
       later(U"Window size"),
       {B::onKey(Key::Digit1, kCtrlKey, 1), B::onKey(Key::Digit2, kCtrlKey, 2),
        B::onKey(Key::Digit3, kCtrlKey, 3), B::onKey(Key::Digit4, kCtrlKey, 4)}},
      {Action::Fullscreen,
       later(U"Fullscreen"),
       {B::onKey(Key::Enter, kAltKey), B::onKey(Key::F11, kAny)},
       false,
       false,
       true},
      {Action::Volume,
       later(U"Volume"),
       {B::onKey(Key::Up, kCtrlKey, 1), B::onKey(Key::Down, kCtrlKey, -1)},
       true},
      {Action::Mute, later(U"Mute"), {B::onKey(Key::M)}, false, false, true},
      {Action::Clipboard, later(U"Text to the clipboard (on/off)"), {B::onKey(Key::C)}},
      {Action::Speech, later(U"Read aloud (on/off)"), {B::onKey(Key::V)}, false, false, true},
      {Action::QuickSave, later(U"Quick save"), {B::onKey(Key::F5, kAny)}},
      {Action::QuickLoad, later(U"Quick load"), {B::onKey(Key::F9, kAny)}, false, false, true},
      {Action::Slots, later(U"Save slots"), {B::onKey(Key::F6, kAny)}, false, false, true},
      {Action::KeysList,
       later(U"This list of keys"),
       {B::onKey(Key::F1, kAny), B::onPad(PadButton::Back)}},
      {Action::PlayerMenu,
       later(U"The player's menu"),
       // Esc is the item window's own key; the middle button and Start open it there too.
       {B::onKey(Key::Escape), B::onButton(kMiddleButton, kEvenInItems),
        B::onPad(PadButton::Start, kEvenInItems)},
       false,
       false,
       true},
  };
}

}  // namespace qov
