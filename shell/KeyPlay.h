#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "platform/Image.h"
#include "platform/Platform.h"
#include "shell/Actions.h"
#include "ui/HostedGame.h"

namespace qov {

// Playing without the mouse: at the game's waits, keys (and pad buttons bound to the same
// actions) make the clicks the mouse would make, at the places it would make them, so that
// the game cannot tell them apart. A menu wait shows a focus mark over the entry a key would
// choose, once keys are in use; auto-advance lets pages go on by themselves, with a mark in
// the message window while it is on.
class KeyPlay {
 public:
  KeyPlay(Platform& platform, HostedGame& game);

  // Does what `asked` means at the wait the game is in; true when the press was taken. It
  // takes nothing where the game gives the key a meaning of its own (Enter in the item window)
  // or where the wait has no use for it (Up outside a menu: the history's).
  [[nodiscard]] bool perform(const Asked& asked);
  // A mouse button went down or up for the game. While one is held the keys click nothing;
  // a press of the mouse puts the focus mark away until keys are used again.
  void mouseButton(int button, bool down);

  // The delays of auto-advance, as the settings give them.
  void setAutoDelays(std::uint32_t baseMs, std::uint32_t perCharacterMs);
  void setAutoAdvance(bool on);
  [[nodiscard]] bool autoAdvance() const { return auto_; }

  // Told the caption of each menu entry (or header) the keys focus, as they move to it.
  void onFocus(std::function<void(std::u32string_view)> told) { onFocus_ = std::move(told); }
  // The place of the focus mark, when one is shown.
  [[nodiscard]] std::optional<Rect> focusMark() const;

  // True when there is a mark to draw over the game's frame.
  [[nodiscard]] bool marks() const;
  void draw(Image& frame) const;
  [[nodiscard]] std::uint64_t signature() const;

 private:
  // The focused slot of the menu now waiting: 0 the header, 1 the first entry and so on.
  [[nodiscard]] std::size_t focused(const GameWait& wait) const;
  void choose(const GameWait& wait, int direction);
  void click(const Rect& at, int button);

  HostedGame& game_;
  std::shared_ptr<const Font> markFont_;
  bool keysUsed_ = false;
  int mouseHeld_ = 0;
  std::uint64_t focusSerial_ = 0;  // the wait the focus was moved in
  std::size_t focus_ = 0;
  bool auto_ = false;
  std::uint32_t autoBaseMs_ = 1500;
  std::uint32_t autoPerCharacterMs_ = 80;
  std::function<void(std::u32string_view)> onFocus_;
};

}  // namespace qov
