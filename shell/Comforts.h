#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/Image.h"
#include "platform/Platform.h"
#include "shell/Actions.h"
#include "shell/KeysList.h"
#include "shell/MessageHistory.h"
#include "shell/PlayerSettings.h"
#include "shell/Screens.h"
#include "ui/HostedGame.h"

namespace qov {

// What players of today expect and the original window never had: skipping with Ctrl, the
// message history, screenshots, the window's scale and fullscreen, the volume, and the keys
// list. They answer to the shell's actions, which mean nothing to a game.
class Comforts {
 public:
  Comforts(Platform& platform, HostedGame& game, ScreenStack& screens, const ActionTable& actions);
  ~Comforts();
  Comforts(const Comforts&) = delete;
  Comforts& operator=(const Comforts&) = delete;

  // Reads the player's settings and applies them; before the window opens.
  void start();

  // Does what the player asked for; true when the press was the comforts' own (the game must
  // not see it).
  [[nodiscard]] bool perform(const Asked& asked);
  void skip(bool on);
  // The pad made the last press: the keys list shows the pad's buttons.
  void padInUse(bool on) { padInUse_ = on; }
  // Closes the history and the keys list.
  void closeOverlays();
  // A wait of the game begins: the page in the window keeps the game's state to return to.
  void waitBegan();
  // Writes the settings now if a change waits to be written (they are written once a change
  // has settled, kSettleMs after the last one).
  void settle();
  static constexpr int kSettleMs = 500;

  [[nodiscard]] bool historyOpen() const { return back_ > 0; }
  [[nodiscard]] bool keysShown() const { return screens_.contains(keys_); }
  [[nodiscard]] const PlayerSettings& settings() const { return settings_; }
  // Changes the settings kept between runs and writes them.
  template <typename Change>
  void changeSettings(Change change) {
    change(settings_);
    remember();
  }

  // The music's (true) or the effects' share of their level, by steps of 10 %.
  void changeMixLevel(bool music, int steps);

  // Writes the frame as shown as `<title>-YYYYMMDD-HHMMSS.png` into the pictures folder;
  // returns the file, or nullopt after a line on standard error.
  std::optional<std::filesystem::path> screenshot();

 private:
  void historyBack();
  void historyForward();
  void showHistory(std::size_t back);
  void closeHistory();
  // Returns the game to the page the history shows (when it has a state): it does not return.
  void returnToPage();
  void setScale(int scale);
  void toggleFullscreen();
  void changeVolume(int steps);
  void toggleMute();
  void applyVolume();
  void remember();
  [[nodiscard]] std::u32string status() const;

  Platform& platform_;
  HostedGame& game_;
  ScreenStack& screens_;
  const ActionTable& actions_;
  MessageHistory history_;
  HistoryScreen historyScreen_;
  KeysScreen keys_;
  PlayerSettings settings_;
  PlayerSettings written_;  // as the file holds them
  TimerId settleTimer_;
  std::filesystem::path settingsFile_;
  bool writeFailed_ = false;  // said once
  std::size_t back_ = 0;      // pages back shown; 0 when the history is closed
  bool padInUse_ = false;
  Image shot_;
};

}  // namespace qov
