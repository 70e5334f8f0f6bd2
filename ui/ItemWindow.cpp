#include "ui/ItemWindow.h"

#include "ui/ShownText.h"

namespace qov {

namespace {

constexpr int kLastItem = Variables::kItemCount - 1;  // 16
constexpr int kLastCell = 17;                         // the sheet's last cell holds no item

}  // namespace

ItemWindow::ItemWindow(WindowControls& controls, const Variables& vars)
    : c_(controls), vars_(vars) {}

void ItemWindow::ITMSET() {
  if (ItemWait == 0) {
    selectionMode_ = false;
    c_.ITEM.resize(120, 100);
  } else {
    selectionMode_ = true;
    c_.ITEM.resize(169, 129);
    ItemSel = 0;
    c_.ITMLabel1.caption = vars_.itemName(0);
  }
  c_.ITEM.visible = true;
  c_.focus = &c_.ITMPicture1;
  ITMHG();
  told();
}

void ItemWindow::told() const {
  if (shownText_ == nullptr || ItemSel < 0 || ItemSel > kLastItem) return;
  shownText_->itemShown(vars_.itemName(ItemSel));
}

void ItemWindow::ITMHG() {
  const int n = ItemSel;
  // Only the message mark-up can ask for another number; the sheet has no cell for it, so
  // the window keeps what it shows.
  if (n < 0 || n > kLastCell) return;
  const int x = kCellWidth * (n % 6);
  const int y = kCellHeight * (n / 6);
  c_.ITEM.paint(c_.ITMPicture1.picture(), Rect{x, y, kCellWidth, kCellHeight}, 0, 0);
}

void ItemWindow::hide() {
  c_.ITEM.visible = false;
}

void ItemWindow::ITMCommand1_Click() {
  ItemWait = 0;
  hide();
}

void ItemWindow::ITMCommand2_Click() {
  ItemSel = -1;
  ItemWait = 0;
  hide();
}

void ItemWindow::ITMCommand3_Click(int index) {
  // With no item held the search would never end: it stops after one full round, back on the
  // item it started from.
  int sel = ItemSel;
  for (int step = 0; step <= kLastItem; ++step) {
    if (index == 0) {
      sel = (sel <= 0 || sel > kLastItem) ? kLastItem : sel - 1;
    } else {
      sel = (sel >= kLastItem || sel < 0) ? 0 : sel + 1;
    }
    if (vars_.itemCount(sel) > 0) break;
  }
  select(static_cast<std::int16_t>(sel));
}

void ItemWindow::select(std::int16_t item) {
  if (item < 0 || item > kLastItem) return;
  ItemSel = item;
  c_.ITMLabel1.caption = vars_.itemName(item);
  ITMHG();
  c_.focus = &c_.ITMPicture1;
  told();
}

bool ItemWindow::selecting() const {
  return selectionMode_ && c_.ITEM.shown();
}

}  // namespace qov
