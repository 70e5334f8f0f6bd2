#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Image.h"
#include "platform/Platform.h"
#include "shell/Actions.h"
#include "shell/Comforts.h"
#include "shell/KeyPlay.h"
#include "shell/Notice.h"
#include "shell/PlayerMenu.h"
#include "shell/Screens.h"
#include "shell/SeenPages.h"
#include "shell/SettingsPage.h"
#include "shell/SoundFonts.h"
#include "shell/TextOut.h"
#include "shell/states/States.h"
#include "ui/HostedGame.h"

namespace qov {

// What stands between the window and the game: the platform's event sink. It takes the
// presses that are its own (the actions of its table, anything while a screen of its own is
// shown, and the releases of presses it took or that were made before a screen opened) and
// hands every other input to the game unchanged; it draws its screens over the frame the game
// composes and holds the game while one of them asks for it.
class Shell final : public EventSink {
 public:
  Shell(Platform& platform, HostedGame& game);
  ~Shell() override;
  Shell(const Shell&) = delete;
  Shell& operator=(const Shell&) = delete;

  // Applies the player's settings, then plays the game until the program ends; the exit code.
  [[nodiscard]] int run();
  // The game folder dropped onto the window, once run() has ended for it: the program starts
  // anew on that folder, so that nothing of this game remains.
  [[nodiscard]] const std::optional<std::filesystem::path>& nextGame() const { return nextGame_; }
  // The player asked for the game library instead (the player's menu): it starts in a fresh
  // process once run() has ended.
  [[nodiscard]] bool libraryNext() const { return libraryNext_; }

  // Shows `text` in the window and returns when the player has closed it; the timers go on
  // meanwhile.
  void showNotice(std::u32string_view text);

  [[nodiscard]] Comforts& comforts() { return comforts_; }
  [[nodiscard]] ScreenStack& screens() { return screens_; }
  [[nodiscard]] TextOut& textOut() { return textOut_; }
  [[nodiscard]] KeyPlay& keyPlay() { return keyPlay_; }
  [[nodiscard]] PlayerMenu& playerMenu() { return playerMenu_; }
  [[nodiscard]] SettingsPage& settingsPage() { return settingsPage_; }
  [[nodiscard]] States& states() { return states_; }
  [[nodiscard]] SeenPages& seenPages() { return seenPages_; }
  // Told the caption of every entry the keys or the pad move to, the game's menu and the
  // player's, besides the speech that says it.
  void onFocus(std::function<void(std::u32string_view)> told);

  // EventSink
  void mouseDown(int x, int y, int button) override;
  void mouseUp(int x, int y, int button) override;
  void keyDown(const KeyPress& key) override;
  void keyUp(const KeyPress& key) override;
  void mouseWheel(int steps) override;
  // A pad's buttons are the shell's actions; none reaches the game but A as Enter where no
  // action takes it (the item window's "使う"). A direction held repeats after
  // kPadRepeatDelayMs, every kPadRepeatMs.
  void padDown(PadButton button) override;
  void padUp(PadButton button) override;
  static constexpr std::uint32_t kPadRepeatDelayMs = 400;
  static constexpr int kPadRepeatMs = 80;
  // Closing the window keeps the game's last wait in the autosave.
  void closeRequested() override;
  // An existing game folder, or a file inside one, named by its absolute path ends this game
  // as closing the window does and names the next one; anything else (a dropped text, a
  // relative name) is named in a notice and changes nothing.
  void dropped(const std::filesystem::path& path) override;
  [[nodiscard]] bool frameChanged() const override;
  const Image& composeFrame() override;

 private:
  // True when `press` is the shell's: its screen on top or its action took it.
  [[nodiscard]] bool take(const Press& press);
  void screensChanged();
  void openingChanged(bool running);
  // Skip lasts while Ctrl is held and no other key is, or while the pad's RB is held.
  void updateSkip(const KeyPress& key, bool pressed);
  void applySkip();
  void repeatPad();
  // Shows `lines` in the window (and on standard error) until the player closes them, while
  // the caller goes on: a press that started it waits for nothing.
  void postNotice(const std::vector<std::u32string>& lines);
  [[nodiscard]] std::vector<SettingsPage::Row> settingsRows();
  [[nodiscard]] SettingsPage::Row languageRow();
  void applyAutoDelays();

  Platform& platform_;
  HostedGame& game_;
  ActionTable actions_;
  ScreenStack screens_;
  Comforts comforts_;
  TextOut textOut_;
  KeyPlay keyPlay_;
  SettingsPage settingsPage_;
  States states_;
  PlayerMenu playerMenu_;
  bool holding_ = false;
  int takenButtons_ = 0;  // presses taken, whose releases are taken too
  int gameButtons_ = 0;   // presses the game has seen and not yet the release of
  std::array<int, static_cast<std::size_t>(Key::Other) + 1> keysHeld_{};  // but Ctrl
  std::uint64_t presentedScreens_ = 0;
  std::uint64_t presentedMarks_ = 0;
  std::uint64_t presentedToast_ = 0;
  Image frame_;
  std::list<std::unique_ptr<NoticeScreen>> posted_;  // closed ones go at the next post
  std::optional<std::filesystem::path> nextGame_;
  bool libraryNext_ = false;
  std::function<void(std::u32string_view)> focusTold_;
  SeenPages seenPages_;
  SoundFonts soundFonts_;
  bool keySkip_ = false;
  bool padSkip_ = false;
  std::optional<PadButton> padRepeating_;  // the direction held
  TimerId padRepeat_;
};

}  // namespace qov
