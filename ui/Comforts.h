#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/Image.h"
#include "platform/Platform.h"
#include "ui/Controls.h"
#include "ui/MessageHistory.h"
#include "ui/PlayerSettings.h"

namespace qov {

class MessageWindow;
class WindowControls;

// The keys list that F1 shows over the picture, with the volume and scale in force.
class KeysOverlay : public Control {
 public:
  explicit KeysOverlay(Platform& platform);
  void setStatus(std::u32string status);

 protected:
  void drawSelf(Image& frame, const Rect& at, const Rect& clip) const override;
  void sign(std::uint64_t& digest) const override;

 private:
  std::shared_ptr<const Font> font_;
  std::u32string status_;
};

// What players of today expect and the original window never had: skipping with Ctrl, the
// message history, screenshots, the window's scale and fullscreen, the volume, and the keys
// list. They answer only to keys and wheel steps, which mean nothing to a game, and to the
// click that closes the history or the keys list, which the game never sees.
class Comforts {
 public:
  // What the comforts need of the main window.
  struct Game {
    std::function<void(bool)> hold;        // the game waits while true
    std::function<bool()> openingRuns;     // a timed show that must not be held
    std::function<const Image&()> frame;   // the frame as the window shows it now
    std::function<std::string()> caption;  // the game's title, for screenshot names
  };

  Comforts(Platform& platform, WindowControls& controls, MessageWindow& messages,
           MessageHistory& history, Game game);
  ~Comforts();
  Comforts(const Comforts&) = delete;
  Comforts& operator=(const Comforts&) = delete;

  // Reads the player's settings and applies them; before the window opens.
  void start();

  // True when the key is the comforts' own (the game must not see it).
  [[nodiscard]] bool keyDown(const KeyPress& key);
  void keyUp(const KeyPress& key);
  void mouseWheel(int steps);
  // True when the button's press or release is the comforts' own.
  [[nodiscard]] bool takeMouseDown(int button);
  [[nodiscard]] bool takeMouseUp(int button);

  [[nodiscard]] bool historyOpen() const { return back_ > 0; }
  [[nodiscard]] bool keysShown() const { return overlay_.visible; }
  [[nodiscard]] const PlayerSettings& settings() const { return settings_; }

  // Writes the frame as `<title>-YYYYMMDD-HHMMSS.png` into the pictures folder; returns the
  // file, or nullopt after a line on standard error.
  std::optional<std::filesystem::path> screenshot();

 private:
  void skip(bool on);
  void historyBack();
  void historyForward();
  void showHistory(std::size_t back);
  void closeHistory();
  void showKeys(bool on);
  void holdGame();
  void setScale(int scale);
  void toggleFullscreen();
  void changeVolume(int steps);
  void toggleMute();
  void applyVolume();
  void remember();
  [[nodiscard]] std::u32string status() const;

  Platform& platform_;
  WindowControls& controls_;
  MessageWindow& messages_;
  MessageHistory& history_;
  Game game_;
  HistoryView view_;
  KeysOverlay overlay_;
  PlayerSettings settings_;
  std::filesystem::path settingsFile_;
  bool writeFailed_ = false;  // said once
  std::size_t back_ = 0;      // pages back shown; 0 when the history is closed
  bool holding_ = false;
  int takenButtons_ = 0;  // presses taken, whose releases are taken too
};

}  // namespace qov
