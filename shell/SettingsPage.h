#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Image.h"
#include "platform/Platform.h"
#include "shell/Actions.h"
#include "shell/Screens.h"

namespace qov {

// The player's settings as a page over the held game: a row for each, its value between
// "＜" and "＞". Up and Down move between the rows, Left and Right (or a click on "＜" and
// "＞") change the value; Esc, the right click or Backspace close the page.
class SettingsPage final : public Screen {
 public:
  struct Row {
    std::u32string name;                    // in English, shown in the language in use
    std::function<std::u32string()> value;  // as shown now
    std::function<void(int)> change;        // a step down (-1) or up (+1)
  };

  SettingsPage(Platform& platform, ScreenStack& screens, std::vector<Row> rows);
  ~SettingsPage() override;
  SettingsPage(const SettingsPage&) = delete;
  SettingsPage& operator=(const SettingsPage&) = delete;

  void show();
  [[nodiscard]] bool shown() const { return screens_.contains(*this); }
  [[nodiscard]] std::size_t focus() const { return focus_; }
  // The index of the row of that name; the count of rows when there is none.
  [[nodiscard]] std::size_t rowNamed(std::u32string_view name) const;
  // Where the "＜" (step -1) or "＞" (step +1) of row `index` is drawn, in frame pixels.
  [[nodiscard]] Rect arrowPlace(std::size_t index, int step) const;
  void onFocus(std::function<void(std::u32string_view)> told) { onFocus_ = std::move(told); }

  // Screen
  [[nodiscard]] bool take(const Press& press, const std::optional<Asked>& asked) override;
  void draw(Image& frame) const override;
  [[nodiscard]] std::uint64_t signature() const override;

 private:
  [[nodiscard]] Rect rowPlace(std::size_t index) const;
  // The rows in sight: from the first up to the end.
  [[nodiscard]] std::size_t firstShown() const;
  [[nodiscard]] std::size_t endShown() const;
  void change(std::size_t index, int step);

  ScreenStack& screens_;
  std::shared_ptr<const Font> font_;
  std::vector<Row> rows_;
  std::size_t focus_ = 0;
  std::uint64_t changes_ = 0;  // for the frame's digest
  std::function<void(std::u32string_view)> onFocus_;
};

}  // namespace qov
