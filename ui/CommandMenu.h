#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "engine/MenuDefinition.h"
#include "platform/Platform.h"

namespace qov {

class Label;
class ShownTextObserver;
class ItemWindow;
class Variables;

// The command menu: the header label LBcm and the five entry labels Label1(0..4) over the
// lower edge of the scene picture, the ten menus of five entries the script defines, and the
// run of a menu up to the player's final choice.
class CommandMenu {
 public:
  static constexpr int kMenuCount = menus::kMenuCount;
  static constexpr int kEntryCount = menus::kEntryCount;

  // Label colours: normal and pressed backs of the entries and of the header.
  static constexpr Argb kEntryBack = rgb(64, 64, 64);
  static constexpr Argb kEntryPressed = rgb(192, 0, 0);
  static constexpr Argb kHeaderBack = rgb(0, 128, 0);
  static constexpr Argb kHeaderPressed = rgb(0, 192, 0);

  // The labels start hidden, as MenuShown = 0 says. setInterpreterTimer switches TimerQov
  // around the item-window wait; opTick reads the opening's clock (CMDS is off while it runs).
  CommandMenu(Platform& platform, Label& LBcm, std::array<Label*, kEntryCount> Label1,
              ItemWindow& items, Variables& vars, std::function<void(bool)> setInterpreterTimer,
              std::function<std::int16_t()> opTick);

  // Defines menu, menu + 1, ... from a text of marker-led entries separated by "・".
  void CMST(std::int16_t menu, std::u32string_view text);
  // MenuText(menu, entry) = text, marker included (ADDCM; DELCM passes "").
  void setMenuText(std::int16_t menu, std::int16_t entry, std::u32string_view text);
  // Where a save state goes on inside CMSL: the page shown, and the label of the "￥" entry
  // when the item window chooses.
  struct Resume {
    std::int16_t page = 0;
    std::optional<std::int16_t> itemLabel;
  };
  // Shows the menu and runs it until a final choice; returns menu * 100 + entry index.
  [[nodiscard]] std::int16_t CMSL(std::int16_t menu, const Resume* resume = nullptr);
  // 0 hides the six labels, 1 shows them, 2 toggles; nothing while the opening runs.
  void CMDS(std::int16_t mode);

  void Label1_MouseDown(int index, int button);
  void Label1_MouseUp(int index, int button);
  void LBcm_MouseDown(int button);
  void LBcm_MouseUp(int button);
  // A press on an entry or the header that will not be released here: its pressed look goes,
  // and nothing is chosen.
  void cancelPress();

  // Each menu shown from now on is told to `observer` (nullptr: to none).
  void observeText(ShownTextObserver* observer) { shownText_ = observer; }

  // CMSL waits for a click on a menu page (not while the item window chooses).
  [[nodiscard]] bool choosing() const { return choosing_; }
  // The item window chooses for a "￥" entry of the menu.
  [[nodiscard]] bool choosingItem() const { return choosingItem_; }
  // While CMSL runs: the menu it was asked for, the page it shows, the label of the "￥" entry
  // being chosen for.
  [[nodiscard]] std::int16_t startMenu() const { return start_; }
  [[nodiscard]] std::int16_t currentPage() const { return current_; }
  [[nodiscard]] std::int16_t itemLabel() const { return itemLabel_; }
  // Told at the start of every wait of CMSL: a menu page, the item window.
  void onWait(std::function<void()> begins) { waitBegins_ = std::move(begins); }
  // The labels' captions: the header's, then the entries'.
  [[nodiscard]] std::u32string header() const;
  [[nodiscard]] std::array<std::u32string, kEntryCount> entries() const;
  void setCaptions(std::u32string_view header, const std::array<std::u32string, kEntryCount>& entries);
  void setShown(bool shown);

  // Menu pages shown by CMSL so far.
  [[nodiscard]] std::uint64_t pagesShown() const { return pagesShown_; }

  std::int16_t MenuShown = 0;
  // 99 while CMSL waits, -1 after a header click, else the label index clicked.
  std::int16_t MenuChoice = 0;
  // Each entry is a marker character followed by its caption; "" is no entry.
  std::array<menus::Entries, kMenuCount> MenuText{};

 private:
  // The labels of one menu page; returns how many entries it shows, `map` the entry of each.
  int showPage(std::int16_t menu, std::array<std::int16_t, kEntryCount>& map);
  // Runs the item window for a "￥" entry; false when the player cancelled.
  bool chooseItem();
  // Tells the observer of the menu the labels show.
  void told() const;

  Platform& platform_;
  Label& LBcm_;
  std::array<Label*, kEntryCount> Label1_;
  ItemWindow& items_;
  Variables& vars_;
  std::function<void(bool)> setInterpreterTimer_;
  std::function<std::int16_t()> opTick_;
  ShownTextObserver* shownText_ = nullptr;
  bool choosing_ = false;
  bool choosingItem_ = false;
  std::int16_t start_ = 0;
  std::int16_t current_ = 0;
  std::int16_t itemLabel_ = 0;
  std::function<void()> waitBegins_;
  std::uint64_t pagesShown_ = 0;
};

}  // namespace qov
