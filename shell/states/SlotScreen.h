#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Image.h"
#include "platform/Platform.h"
#include "shell/Actions.h"
#include "shell/Screens.h"

namespace qov {

class States;

// The twenty save slots over the held game, five to a page: each with its thumbnail, when it
// was taken and the first characters of its page. Enter or a click saves into the marked slot
// or loads it, Delete or a row's "×" deletes it once the player confirms; Left and Right
// switch between saving and loading, Up and Down (and the wheel) move the mark; Esc,
// Backspace or a right click close it.
class SlotScreen final : public Screen {
 public:
  static constexpr int kRowsShown = 5;
  static constexpr int kListTop = 34;
  static constexpr int kRowHeight = 60;

  SlotScreen(Platform& platform, ScreenStack& screens, States& states);
  ~SlotScreen() override;
  SlotScreen(const SlotScreen&) = delete;
  SlotScreen& operator=(const SlotScreen&) = delete;

  void show(bool saving);
  [[nodiscard]] bool shown() const;
  [[nodiscard]] bool saving() const { return saving_; }
  [[nodiscard]] std::size_t focus() const { return focus_; }
  [[nodiscard]] std::optional<std::size_t> confirming() const { return confirming_; }
  // Where slot `index` is drawn while its page is shown, its "×", and the two buttons of the
  // confirmation ("消す", "やめる"), in frame pixels.
  [[nodiscard]] static Rect rowPlace(std::size_t index);
  [[nodiscard]] static Rect deletePlace(std::size_t index);
  [[nodiscard]] static Rect confirmPlace(bool yes);
  [[nodiscard]] static Rect tabPlace(bool saving);

  // Screen
  [[nodiscard]] bool take(const Press& press, const std::optional<Asked>& asked) override;
  void draw(Image& frame) const override;
  [[nodiscard]] std::uint64_t signature() const override;

 private:
  struct Slot {
    bool present = false;
    std::u32string when;  // or why it cannot be read
    std::u32string page;
    Image thumbnail;
    bool damaged = false;
  };

  void refresh(std::size_t index);
  void close();
  void act(std::size_t index);
  void askDelete(std::size_t index);
  void answer(bool yes);
  void move(int by);
  void drawSlot(Image& frame, std::size_t index) const;

  Platform& platform_;
  ScreenStack& screens_;
  States& states_;
  std::shared_ptr<const Font> font_;
  std::shared_ptr<const Font> small_;
  std::vector<Slot> slots_;
  bool saving_ = true;
  std::size_t focus_ = 0;
  std::optional<std::size_t> confirming_;
  std::uint64_t changes_ = 0;
};

}  // namespace qov
