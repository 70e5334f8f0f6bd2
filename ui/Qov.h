#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/Host.h"
#include "engine/Interpreter.h"
#include "engine/Variables.h"
#include "media/Music.h"
#include "media/Opening.h"
#include "media/OpeningStage.h"
#include "media/SoundEffects.h"
#include "platform/Image.h"
#include "platform/Platform.h"
#include "ui/CommandMenu.h"
#include "ui/GameData.h"
#include "ui/GameSnapshot.h"
#include "ui/HostedGame.h"
#include "ui/ItemWindow.h"
#include "ui/MessageWindow.h"
#include "ui/ScenePicture.h"
#include "ui/WindowControls.h"

namespace qov {

// The main window: owns every control and every part of the game, wires them together, runs
// the interpreter on TimerQov, routes the window's input to the controls' handlers and
// composes the frame. The program sends it the window's events, through the layer around the
// game or directly (setEventSink).
class Qov final : public Host, public HostedGame, public OpeningStage {
 public:
  // `gameDir` holds the scripts, pictures and the save file; music and effects are looked up
  // in `mediaDirs`.
  Qov(Platform& platform, std::filesystem::path gameDir,
      std::vector<std::filesystem::path> mediaDirs);
  ~Qov() override;
  Qov(const Qov&) = delete;
  Qov& operator=(const Qov&) = delete;

  // Loads "wnatu" and starts the interpreter's timer; a script that cannot be read is
  // reported and ends the program (ProgramEnd{1}).
  void Form_Load();
  // Form_Load, then the window's events until the program ends; returns the exit code.
  [[nodiscard]] int run() override;
  // Closes the music device, beeps and ends the program (ProgramEnd{0}).
  [[noreturn]] void Form_Unload();
  // True once the game has ended by its own EXIT or EOF (not by the window's closing, a drop
  // or a script error).
  [[nodiscard]] bool endedByScript() const { return endedByScript_; }

  // Host
  void MESHG(std::u32string_view text) override;
  void clearMessageWindow() override;
  void CMST(std::int16_t menu, std::u32string_view text) override;
  void setMenuText(std::int16_t menu, std::int16_t entry, std::u32string_view text) override;
  std::int16_t CMSL(std::int16_t menu) override;
  void CMDS(std::int16_t mode) override;
  void GHG(std::u32string_view name) override;
  void MUSPL(std::u32string_view name, std::int16_t mode) override;
  void playSound(std::u32string_view name, std::int16_t flags) override;
  void OP() override;
  [[noreturn]] void unload() override;
  void showErrorReport(std::u32string_view report) override;
  void showNotice(std::u32string_view text) override;

  // EventSink
  void mouseDown(int x, int y, int button) override;
  void mouseUp(int x, int y, int button) override;
  void keyDown(const KeyPress& key) override;
  void keyUp(const KeyPress& key) override;
  void mouseWheel(int steps) override;
  [[noreturn]] void closeRequested() override;
  [[nodiscard]] bool frameChanged() const override;
  const Image& composeFrame() override;

  // HostedGame
  [[noreturn]] void end() override { Form_Unload(); }
  void holdGame(bool on) override;
  [[nodiscard]] bool openingRuns() const override { return opening_.running(); }
  void setOpeningObserver(std::function<void(bool)> observer) override {
    openingObserver_ = std::move(observer);
  }
  void cancelPresses() override;
  void setNoticeHook(std::function<void(std::u32string_view)> hook) override {
    noticeHook_ = std::move(hook);
  }
  [[nodiscard]] std::string caption() const override { return game_.title; }
  void drawFrame(Image& into) const override;
  [[nodiscard]] const PictureBox& messageWindow() const override { return controls_.MES; }
  void recordPages(PageRecorder* recorder) override { messages_.recordInto(recorder); }
  void setSkip(bool on) override { messages_.reading.skip = on; }
  void setReadingLog(std::function<bool(const MessagePlace&)> mayskip,
                     std::function<void(const MessagePlace&)> read) override {
    mayskip_ = std::move(mayskip);
    read_ = std::move(read);
  }
  void setTypingSpeed(TypingSpeed speed) override { messages_.reading.typing = speed; }
  [[nodiscard]] std::filesystem::path folder() const override { return gameDir_; }
  void observeText(ShownTextObserver* observer) override;
  void setAutoAdvance(bool on, std::uint32_t baseMs, std::uint32_t perCharacterMs) override;
  [[nodiscard]] GameWait wait() const override;
  [[nodiscard]] std::optional<GameSnapshot> snapshot() const override;
  [[nodiscard]] std::optional<std::string> refusal(const GameSnapshot& state) const override;
  [[noreturn]] void restore(GameSnapshot state) override;
  void startFrom(GameSnapshot state) override { startState_ = std::move(state); }
  void setWaitObserver(std::function<void()> observer) override {
    waitObserver_ = std::move(observer);
  }

  // The parts, for tests and tools.
  [[nodiscard]] WindowControls& controls() { return controls_; }
  [[nodiscard]] Variables& variables() { return vars_; }
  [[nodiscard]] ItemWindow& items() { return items_; }
  [[nodiscard]] CommandMenu& menu() { return menu_; }
  [[nodiscard]] MessageWindow& messages() { return messages_; }
  [[nodiscard]] Interpreter& interpreter() { return interpreter_; }
  [[nodiscard]] TimerId timerQov() const { return TimerQov_; }

  // Sees each text given to MESHG and each picture name given to GHG as it happens, the
  // opening's too: what a transcript of a play records.
  enum class Shown { Message, Picture };
  void setShowObserver(std::function<void(Shown, std::u32string_view)> observer) {
    showObserver_ = std::move(observer);
  }

 private:
  void dispatchMouseDown(Control& target, int button);
  void dispatchMouseUp(Control& target, int x, int y, int button);
  // The item window's button that `control` is, as its click handler; nullptr otherwise.
  [[nodiscard]] Button* itemButton(Control& control);
  void click(Button& button);

  // Save states (QovState.cpp).
  // Puts every part back as `state` has it; the waiting command at its line then goes on to
  // its wait at the next tick.
  void applyState(const GameSnapshot& state);
  // A wait begins: what a state left to its wait (the menu shown, the item chosen), then the
  // observer.
  void waitBegins();
  // Thrown by restore() from inside a wait, caught by run().
  struct GoingOn {
    GameSnapshot state;
  };
  // What the next MESHG or CMSL needs to go on to the wait of a state.
  struct Resume {
    GameSnapshot::Wait wait = GameSnapshot::Wait::Page;
    std::uint32_t page = 0;
    std::int16_t menu = 0;
    CommandMenu::Resume inMenu;
    std::int16_t itemSel = 0;
    std::int16_t menuShown = 0;
  };

  Platform& platform_;
  Variables vars_;
  WindowControls controls_;
  ItemWindow items_;
  TimerId TimerQov_;
  CommandMenu menu_;
  MessageWindow messages_;
  ScenePicture scene_;
  Music music_;
  SoundEffects sounds_;
  Opening opening_;
  Interpreter interpreter_;
  std::filesystem::path gameDir_;
  // Its caption, icon, wait cursor and item sheet (moved into ITMPicture1 at construction).
  GameData game_;
  bool timerHeld_ = false;  // TimerQov was disabled by holdGame()

  // Mouse capture: the control that got the first mouse-down gets every event until all
  // buttons are up again.
  Control* captured_ = nullptr;
  int heldButtons_ = 0;

  Image frame_;
  std::uint64_t presentedSignature_ = 0;
  bool endedByScript_ = false;
  std::function<void(Shown, std::u32string_view)> showObserver_;
  std::function<void(bool)> openingObserver_;
  std::function<void(std::u32string_view)> noticeHook_;

  // What a save state needs that no part keeps: the message the window shows as it began, the
  // picture shown, the music and the looping effect.
  std::shared_ptr<const GameSnapshot::Message> message_;
  std::u32string picture_;
  std::uint64_t pictureHash_ = 0;
  std::u32string musicPiece_;
  std::int16_t musicMode_ = 0;
  std::u32string loopingSound_;
  std::int16_t loopingSoundFlags_ = 0;
  std::optional<GameSnapshot> startState_;
  std::optional<Resume> resume_;  // frames wait until it has been reached
  std::function<void()> waitObserver_;
  ShownTextObserver* textObserver_ = nullptr;
  std::function<bool(const MessagePlace&)> mayskip_;
  std::function<void(const MessagePlace&)> read_;
  MessagePlace place_;  // of the message being written; no script in the opening
};

}  // namespace qov
