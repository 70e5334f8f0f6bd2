#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Image.h"
#include "platform/Platform.h"
#include "shell/Actions.h"
#include "shell/Screens.h"
#include "ui/HostedGame.h"

namespace qov {

// The player's own menu, over the held game: go back to the game, the settings, the keys
// list, the game library, or close the window as the player would. Mouse, keys and pad reach every
// entry: a click on one, or the arrows and Enter; Esc, the right click or the middle button close
// it again.
class PlayerMenu final : public Screen {
 public:
  struct Entry {
    std::u32string caption;        // in English, shown in the language in use
    std::function<void()> chosen;  // after the menu has closed
  };

  PlayerMenu(Platform& platform, ScreenStack& screens, HostedGame& game,
             std::vector<Entry> entries);
  ~PlayerMenu() override;
  PlayerMenu(const PlayerMenu&) = delete;
  PlayerMenu& operator=(const PlayerMenu&) = delete;

  // Opens the menu when `asked` is its action and the game gives the press no meaning of its
  // own (Esc in the item window is "やめる"); true when it opened.
  [[nodiscard]] bool perform(const Asked& asked);
  [[nodiscard]] bool shown() const { return screens_.contains(*this); }
  [[nodiscard]] std::size_t focus() const { return focus_; }
  // Where entry `index` is drawn, in frame pixels.
  [[nodiscard]] Rect entryPlace(std::size_t index) const;
  // Told the caption of each entry that the keys focus.
  void onFocus(std::function<void(std::u32string_view)> told) { onFocus_ = std::move(told); }
  // Told the heading and the entries' captions each time the menu opens.
  using OpenTold = std::function<void(std::u32string_view, std::span<const std::u32string>)>;
  void onOpen(OpenTold told) { onOpen_ = std::move(told); }

  // Screen
  [[nodiscard]] bool take(const Press& press, const std::optional<Asked>& asked) override;
  void draw(Image& frame) const override;
  [[nodiscard]] std::uint64_t signature() const override;

 private:
  void open();
  void close();
  void move(int direction);
  void choose(std::size_t index);

  ScreenStack& screens_;
  HostedGame& game_;
  std::shared_ptr<const Font> font_;
  std::vector<Entry> entries_;
  std::size_t focus_ = 0;
  std::uint64_t opened_ = 0;  // times opened, for the frame's digest
  std::function<void(std::u32string_view)> onFocus_;
  OpenTold onOpen_;
};

}  // namespace qov
