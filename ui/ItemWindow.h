#pragma once

#include <cstdint>

#include "engine/Variables.h"
#include "ui/WindowControls.h"

namespace qov {

class ShownTextObserver;

// The item window ITEM: selection mode (browse the items held, "使う" or "やめる") and
// display mode (one item's picture, opened by the message window). Pictures are cells of the
// item sheet held by ITMPicture1.
class ItemWindow {
 public:
  static constexpr int kCellWidth = 120;
  static constexpr int kCellHeight = 100;

  ItemWindow(WindowControls& controls, const Variables& vars);

  // Opens the window in the mode ItemWait selects (1 selection, 0 display).
  void ITMSET();
  // Paints the cell of item ItemSel at the top left of ITEM.
  void ITMHG();
  // Hides ITEM (the message window closes display mode with it).
  void hide();

  void ITMCommand1_Click();           // "使う"
  void ITMCommand2_Click();           // "やめる"
  void ITMCommand3_Click(int index);  // 0 "＜", 1 "＞"

  // The selection shows item `item`, as browsing to it does (a save state going on).
  void select(std::int16_t item);

  // True while ITEM shows the selection mode.
  [[nodiscard]] bool selecting() const;
  // Each item shown from now on is told to `observer` (nullptr: to none).
  void observeText(ShownTextObserver* observer) { shownText_ = observer; }

  std::int16_t ItemSel = 0;
  std::int16_t ItemWait = 0;

 private:
  WindowControls& c_;
  const Variables& vars_;
  bool selectionMode_ = false;
  ShownTextObserver* shownText_ = nullptr;

  // Tells the observer of the item ItemSel, when it is one.
  void told() const;
};

}  // namespace qov
