#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Image.h"
#include "platform/Platform.h"
#include "shell/Screens.h"

namespace qov {

// A notice of ours in the window (a dropped thing that is not a game, a save that failed),
// over the game, until a click, Enter, Space or Esc closes it. It is on the stack for as long
// as it lives and shown, or until it is closed.
class NoticeScreen final : public Screen {
 public:
  NoticeScreen(Platform& platform, ScreenStack& screens, std::u32string_view text);
  ~NoticeScreen() override;
  NoticeScreen(const NoticeScreen&) = delete;
  NoticeScreen& operator=(const NoticeScreen&) = delete;

  // Serves the window's events, timers included, until the player has closed it.
  void wait();
  [[nodiscard]] bool open() const { return screens_.contains(*this); }
  // The text as the box shows it, a line each.
  [[nodiscard]] const std::vector<std::u32string>& lines() const { return lines_; }

  [[nodiscard]] bool take(const Press& press, const std::optional<Asked>& asked) override;
  void draw(Image& frame) const override;
  [[nodiscard]] std::uint64_t signature() const override { return 0x4E0; }

 private:
  Platform& platform_;
  ScreenStack& screens_;
  std::shared_ptr<const Font> font_;
  std::vector<std::u32string> lines_;
};

}  // namespace qov
