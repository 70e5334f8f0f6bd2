#include "ui/CommandMenu.h"

#include <utility>
#include <vector>

#include "engine/MenuDefinition.h"
#include "engine/Variables.h"
#include "ui/Controls.h"
#include "ui/ItemWindow.h"
#include "ui/ScopedFlag.h"
#include "ui/ShownText.h"

namespace qov {

namespace {

constexpr std::u32string_view kHeaderCaption = U"コマンド";
constexpr std::u32string_view kSubmenuSuffix = U"＞";

}  // namespace

CommandMenu::CommandMenu(Platform& platform, Label& LBcm, std::array<Label*, kEntryCount> Label1,
                         ItemWindow& items, Variables& vars,
                         std::function<void(bool)> setInterpreterTimer,
                         std::function<std::int16_t()> opTick)
    : platform_(platform),
      LBcm_(LBcm),
      Label1_(Label1),
      items_(items),
      vars_(vars),
      setInterpreterTimer_(std::move(setInterpreterTimer)),
      opTick_(std::move(opTick)) {
  setShown(false);
}

void CommandMenu::CMST(std::int16_t menu, std::u32string_view text) {
  // The whole text is parsed before the table changes, so a bad definition, which ends the
  // script, never leaves half a menu behind.
  std::vector<menus::Entries> parts = menus::parseDefinition(menu, text);
  for (std::size_t i = 0; i < parts.size(); ++i) {
    MenuText[static_cast<std::size_t>(menu) + i] = std::move(parts[i]);
  }
}

void CommandMenu::setMenuText(std::int16_t menu, std::int16_t entry, std::u32string_view text) {
  menus::checkMenu(menu);
  menus::checkEntry(entry);
  MenuText[static_cast<std::size_t>(menu)][static_cast<std::size_t>(entry)] = text;
}

int CommandMenu::showPage(std::int16_t menu, std::array<std::int16_t, kEntryCount>& map) {
  for (Label* label : Label1_) label->caption.clear();
  int shown = 0;
  const auto& entries = MenuText[static_cast<std::size_t>(menu)];
  for (int i = 0; i < kEntryCount; ++i) {
    const std::u32string& entry = entries[static_cast<std::size_t>(i)];
    if (entry.empty()) continue;
    Label1_[static_cast<std::size_t>(shown)]->caption = entry.substr(1);
    map[static_cast<std::size_t>(shown)] = static_cast<std::int16_t>(i);
    ++shown;
  }
  return shown;
}

std::int16_t CommandMenu::CMSL(std::int16_t menu, const Resume* resume) {
  menus::checkMenu(menu);
  const std::int16_t start = menu;
  std::int16_t current = resume != nullptr ? resume->page : start;
  menus::checkMenu(current);
  start_ = start;
  std::array<std::int16_t, kEntryCount> map{};
  // A click on a label without an entry shows the same menu again, which is not news.
  bool appears = true;
  for (;;) {
    current_ = current;
    if (current == start) LBcm_.caption = kHeaderCaption;
    const int shown = showPage(current, map);
    CMDS(1);
    if (appears) told();
    appears = true;
    // A click made before the menu is shown is forgotten.
    MenuChoice = 99;
    ++pagesShown_;
    if (resume != nullptr && resume->itemLabel) {
      MenuChoice = *resume->itemLabel;  // the item window was open on this page
    } else {
      const ScopedFlag choosing(choosing_);
      if (waitBegins_) waitBegins_();
      while (MenuChoice == 99) platform_.waitEvents();
    }
    resume = nullptr;
    if (MenuChoice == -1) {
      current = start;
      continue;
    }
    appears = false;
    if (MenuChoice < 0 || MenuChoice >= shown) continue;  // only labels with a caption choose
    const std::int16_t label = MenuChoice;
    MenuChoice = map[static_cast<std::size_t>(MenuChoice)];
    const std::u32string& entry =
        MenuText[static_cast<std::size_t>(current)][static_cast<std::size_t>(MenuChoice)];
    if (entry.empty()) continue;
    const char32_t marker = entry.front();
    const auto code = static_cast<std::int16_t>(current * 100 + MenuChoice);
    if (marker == menus::kCommandMarker) return code;
    if (marker == menus::kBackMarker) {
      current = start;
    } else if (menus::isSubmenuMarker(marker)) {
      LBcm_.caption = entry.substr(1);
      LBcm_.caption += kSubmenuSuffix;
      current = static_cast<std::int16_t>(marker - U'０');
    } else if (marker == menus::kItemMarker) {
      itemLabel_ = label;
      if (chooseItem()) {
        vars_.setVar(0, items_.ItemSel);
        return code;
      }
    } else {
      continue;  // any other marker (only ADDCM can store one): the same menu, unchanged
    }
    appears = true;  // another page, or the same one anew after a cancelled item choice
  }
}

bool CommandMenu::chooseItem() {
  CMDS(0);
  items_.ItemWait = 1;
  items_.ITMSET();
  setInterpreterTimer_(false);
  {
    const ScopedFlag choosing(choosingItem_);
    if (waitBegins_) waitBegins_();
    while (items_.ItemWait != 0) platform_.waitEvents();
  }
  setInterpreterTimer_(true);
  return items_.ItemSel != -1;
}

std::u32string CommandMenu::header() const {
  return LBcm_.caption;
}

std::array<std::u32string, CommandMenu::kEntryCount> CommandMenu::entries() const {
  std::array<std::u32string, kEntryCount> captions;
  for (std::size_t i = 0; i < captions.size(); ++i) captions[i] = Label1_[i]->caption;
  return captions;
}

void CommandMenu::setCaptions(std::u32string_view header,
                              const std::array<std::u32string, kEntryCount>& entries) {
  LBcm_.caption = header;
  for (std::size_t i = 0; i < entries.size(); ++i) Label1_[i]->caption = entries[i];
}

void CommandMenu::told() const {
  if (shownText_ == nullptr) return;
  std::vector<std::u32string> entries;
  for (const Label* label : Label1_) {
    if (!label->caption.empty()) entries.push_back(label->caption);
  }
  shownText_->menuShown(LBcm_.caption, entries);
}

void CommandMenu::setShown(bool shown) {
  LBcm_.visible = shown;
  for (Label* label : Label1_) label->visible = shown;
  MenuShown = shown ? 1 : 0;
}

void CommandMenu::CMDS(std::int16_t mode) {
  if (opTick_() != 0) return;
  if (mode == 0 || (mode == 2 && MenuShown == 1)) {
    setShown(false);
  } else if (mode == 1 || (mode == 2 && MenuShown == 0)) {
    setShown(true);
  }
}

void CommandMenu::Label1_MouseDown(int index, int button) {
  (void)button;  // every button gets the feedback
  if (index < 0 || index >= kEntryCount) return;
  Label1_[static_cast<std::size_t>(index)]->backColor = kEntryPressed;
}

void CommandMenu::Label1_MouseUp(int index, int button) {
  if (index < 0 || index >= kEntryCount) return;
  Label& label = *Label1_[static_cast<std::size_t>(index)];
  label.backColor = kEntryBack;
  if (button == kLeftButton) {
    if (!label.caption.empty()) MenuChoice = static_cast<std::int16_t>(index);
  } else if (button == kRightButton) {
    CMDS(2);
  }
}

void CommandMenu::cancelPress() {
  for (Label* label : Label1_) label->backColor = kEntryBack;
  LBcm_.backColor = kHeaderBack;
}

void CommandMenu::LBcm_MouseDown(int button) {
  (void)button;
  LBcm_.backColor = kHeaderPressed;
}

void CommandMenu::LBcm_MouseUp(int button) {
  LBcm_.backColor = kHeaderBack;
  if (button == kLeftButton) {
    MenuChoice = -1;
  } else if (button == kRightButton) {
    CMDS(2);
  }
}

}  // namespace qov
