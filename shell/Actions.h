#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Platform.h"

namespace qov {

// What the player can ask of the shell. Each is bound to its inputs in one table; the keys
// list is drawn from that table, so what it shows and what works agree.
enum class Action {
  GoOn,        // the left click at the game's wait: a page goes on, the focused entry is chosen
  Cancel,      // "やめる" in the item window (a pad's B, which elsewhere is the right click)
  Choose,      // the binding's argument is the direction (ChooseDirection)
  RightClick,  // shows or hides the game's command menu
  AutoAdvance,
  Skip,  // while held
  HistoryBack,
  HistoryForward,
  HistoryClose,
  Screenshot,
  Scale,  // the binding's argument is the scale
  Fullscreen,
  Volume,  // the binding's argument is the step, up or down
  Mute,
  KeysList,
  Clipboard,  // each page's text copied to the clipboard, on or off
  Speech,     // self-voicing, on or off
  PlayerMenu,
  QuickSave,
  QuickLoad,
  Slots,  // the screen of the save slots
};

enum ChooseDirection : int { kChooseUp = 1, kChooseDown, kChooseLeft, kChooseRight };
// The player's menu: a press that opens it also while the item window chooses.
inline constexpr int kEvenInItems = 1;

// One press of a key, a mouse button, a pad's button or one step of the wheel, as the window
// reports it.
struct Press {
  enum class Kind { Key, Button, Wheel, Pad };
  Kind kind = Kind::Key;
  Key key = Key::Other;
  int modifiers = 0;    // KeyModifier bits held
  int button = 0;       // MouseButton, for Kind::Button
  int wheel = 0;        // +1 (up) or -1 (down), for Kind::Wheel
  bool repeat = false;  // a key sent again because it is held down
  int x = 0;            // where a mouse button was pressed, in frame pixels
  int y = 0;
  PadButton pad = PadButton::A;  // for Kind::Pad

  [[nodiscard]] static Press ofKey(const KeyPress& key) {
    return Press{Kind::Key, key.key, key.modifiers, 0, 0, key.repeat};
  }
  [[nodiscard]] static Press ofButton(int button, int x = 0, int y = 0) {
    return Press{Kind::Button, Key::Other, 0, button, 0, false, x, y};
  }
  [[nodiscard]] static Press ofWheel(int step) {
    return Press{Kind::Wheel, Key::Other, 0, 0, step, false};
  }
  // `repeat`: made again by the shell while a direction is held.
  [[nodiscard]] static Press ofPad(PadButton b, bool repeat = false) {
    return Press{Kind::Pad, Key::Other, 0, 0, 0, repeat, 0, 0, b};
  }
};

// A press that means an action. Ctrl and Alt must be held exactly as `modifiers` says (Shift
// is never looked at), unless `modifiers` is kAnyModifiers.
struct Binding {
  static constexpr int kAnyModifiers = -1;
  Press::Kind kind = Press::Kind::Key;
  Key key = Key::Other;
  int modifiers = 0;
  int button = 0;
  int wheel = 0;
  int argument = 0;
  PadButton pad = PadButton::A;

  [[nodiscard]] static Binding onKey(Key k, int modifiers = 0, int argument = 0) {
    return Binding{Press::Kind::Key, k, modifiers, 0, 0, argument};
  }
  [[nodiscard]] static Binding onButton(int b, int argument = 0) {
    return Binding{Press::Kind::Button, Key::Other, 0, b, 0, argument};
  }
  [[nodiscard]] static Binding onWheel(int step) {
    return Binding{Press::Kind::Wheel, Key::Other, 0, 0, step, 0};
  }
  [[nodiscard]] static Binding onPad(PadButton b, int argument = 0) {
    return Binding{Press::Kind::Pad, Key::Other, 0, 0, 0, argument, b};
  }
  [[nodiscard]] bool matches(const Press& press) const;
};

struct ActionEntry {
  Action action = Action::Skip;
  std::u32string_view what;  // what it does, as the keys list says (in English)
  std::vector<Binding> bindings;
  bool repeats = false;   // a key held down does it again
  bool held = false;      // it lasts while its key is held
  bool sameLine = false;  // the keys list puts it on the line of the entry before
};

// An action asked for, with its binding's argument.
struct Asked {
  Action action = Action::Skip;
  int argument = 0;
  bool again = false;  // a repeated key that the action does not repeat for
};

class ActionTable {
 public:
  explicit ActionTable(std::vector<ActionEntry> entries) : entries_(std::move(entries)) {}

  // The action `press` is bound to, if any: the first of matches().
  [[nodiscard]] std::optional<Asked> match(const Press& press) const;
  // Every action `press` is bound to, in the table's order: one key can mean one thing at a
  // menu and another elsewhere, and the first that applies takes it.
  [[nodiscard]] std::vector<Asked> matches(const Press& press) const;
  // The keys list: one line for each entry (or group of entries on one line), its inputs
  // named and what it does; the keys and the mouse, or else the pad's buttons.
  [[nodiscard]] std::vector<std::u32string> keysPage(bool pad = false) const;

 private:
  std::vector<ActionEntry> entries_;
};

// The shell's actions and their inputs, in the order of the keys list.
[[nodiscard]] std::vector<ActionEntry> shellActions();

}  // namespace qov
