#pragma once

#include <span>
#include <string>
#include <string_view>

namespace qov {

// Sees the words the window shows, as a reader takes them in: a page once it is completely
// shown, the command menu when it appears, and each item the item window shows. It only
// looks; nothing it does reaches the game.
class ShownTextObserver {
 public:
  virtual ~ShownTextObserver() = default;
  // The message window shows `text` completely (it waits for a click, or the message is at its
  // end): the characters drawn, its lines joined, without the blank indent before a line.
  virtual void pageShown(std::u32string_view text) = 0;
  // The page told of last is erased.
  virtual void pageGone() = 0;
  // The command menu appears with `header` over `entries`, in order.
  virtual void menuShown(std::u32string_view header, std::span<const std::u32string> entries) = 0;
  // One entry of the menu gets the keyboard's focus.
  virtual void menuFocused(std::u32string_view entry) = 0;
  // The item window shows the item named `name`.
  virtual void itemShown(std::u32string_view name) = 0;
};

}  // namespace qov
