#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "platform/Image.h"
#include "shell/Actions.h"

namespace qov {

// Something of the shell's drawn over the game: the history, the keys list, a notice. The
// one on top of the stack takes every input; none of it reaches the game.
class Screen {
 public:
  virtual ~Screen() = default;
  // A press while this screen is on top, with the action it is bound to; true when the screen
  // has dealt with it. What it leaves goes to the shell's actions, never to the game.
  [[nodiscard]] virtual bool take(const Press& press, const std::optional<Asked>& asked) = 0;
  virtual void draw(Image& frame) const = 0;
  // A digest of everything that decides how the screen looks.
  [[nodiscard]] virtual std::uint64_t signature() const = 0;
  // The game waits while the screen is shown (but never the opening, a timed show).
  [[nodiscard]] virtual bool holdsGame() const { return true; }
};

// The screens over the game, the last one pushed on top. It holds them by reference: each
// screen belongs to whoever shows it and is popped before it goes.
class ScreenStack {
 public:
  // Told after every push and pop.
  void onChange(std::function<void()> changed) { changed_ = std::move(changed); }

  void push(Screen& screen);
  // Takes `screen` off the stack wherever it lies; nothing when it is not there.
  void pop(Screen& screen);

  [[nodiscard]] bool empty() const { return screens_.empty(); }
  [[nodiscard]] Screen* top() const { return screens_.empty() ? nullptr : screens_.back(); }
  [[nodiscard]] bool contains(const Screen& screen) const;
  [[nodiscard]] bool holdsGame() const;

  // Draws every screen over `frame`, bottom first.
  void draw(Image& frame) const;
  [[nodiscard]] std::uint64_t signature() const;

 private:
  std::vector<Screen*> screens_;
  std::function<void()> changed_;
};

}  // namespace qov
