#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/Image.h"
#include "platform/Pads.h"
#include "platform/Platform.h"
#include "platform/headless/HeadlessAudio.h"

namespace qov {

class FontLibrary;

// A wait that can never end, or a program that runs on without taking its scripted input.
class HeadlessStall : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The platform for tests: no display, a virtual clock, scripted input, the frame in memory and
// logs of everything the program shows or sounds. Deterministic.
//
// The clock stands still except in waitEvents(), which jumps straight to the next thing that
// can happen. Scripted input waits in a queue; an item without a time is delivered only when
// the program waits with nothing else to do (waitEvents() without a timeout while no
// foreground timer is enabled), an item with a time once the clock has reached it. Each
// waitEvents() call delivers at most one item. A wait that can never end throws HeadlessStall.
class HeadlessPlatform final : public Platform {
 public:
  struct MessageBoxEntry {
    std::string title;
    std::string text;
    MessageIcon icon = MessageIcon::Information;
  };

  // `mediaDirs`: where music and sound files are looked up, in order.
  explicit HeadlessPlatform(std::vector<std::filesystem::path> mediaDirs = {});
  ~HeadlessPlatform() override;
  HeadlessPlatform(const HeadlessPlatform&) = delete;
  HeadlessPlatform& operator=(const HeadlessPlatform&) = delete;

  // Platform
  void openWindow(const std::string& caption, const Image& icon, const Image& waitCursor) override;
  void setEventSink(EventSink* sink) override { sink_ = sink; }
  TimerId createTimer(int intervalMs, std::function<void()> handler,
                      bool background = false) override;
  void setTimerEnabled(TimerId timer, bool enabled) override;
  [[nodiscard]] bool timerEnabled(TimerId timer) const override;
  void delayNextTick(TimerId timer, std::uint32_t ms) override;
  [[nodiscard]] std::uint32_t tickCount() override {
    return tickBase_ + static_cast<std::uint32_t>(now_);
  }
  void doEvents() override;
  void waitEvents(std::optional<std::uint32_t> timeoutMs = std::nullopt) override;
  void setCursor(Cursor cursor) override;
  void messageBox(const std::string& title, const std::string& textUtf8, MessageIcon icon) override;
  // The test is the player, who sees the frame.
  [[nodiscard]] bool windowSeen() const override { return true; }
  void beep() override { ++beeps_; }
  [[nodiscard]] std::shared_ptr<const Font> font(const FontRequest& wanted) override;
  [[nodiscard]] std::optional<Image> decodeImage(std::span<const std::uint8_t> bytes) override;
  MusicDevice& music() override { return music_; }
  SoundOutput& sound() override { return sound_; }
  void setVolume(int percent) override { volume_ = percent; }
  void setMixLevels(int musicPercent, int effectsPercent) override {
    musicLevel_ = musicPercent;
    effectsLevel_ = effectsPercent;
  }
  // At once: a file loads when it reads as a RIFF "sfbk" (a soundfont's header).
  void loadSoundFont(const std::filesystem::path& file) override;
  [[nodiscard]] std::optional<bool> soundFontLoaded() override {
    return std::exchange(soundFontLoaded_, std::nullopt);
  }
  int setWindowScale(int scale) override;
  [[nodiscard]] int windowScale() const override { return scale_; }
  void setFullscreen(bool on) override { fullscreen_ = on; }
  [[nodiscard]] bool fullscreen() const override { return fullscreen_; }
  [[nodiscard]] std::filesystem::path settingsFile() const override { return settingsFile_; }
  [[nodiscard]] std::filesystem::path picturesFolder() const override { return pictures_; }
  [[nodiscard]] std::filesystem::path dataFolder() const override { return data_; }
  [[nodiscard]] std::error_code writePngFile(const Image& image,
                                             const std::filesystem::path& file) override;
  bool setClipboardText(const std::string& utf8) override {
    clipboard_ = utf8;
    return true;
  }

  // Scripted input. `notBeforeMs`: the virtual time (now()) from which the item may be
  // delivered; without it the item waits until the program has nothing else to do.
  void click(int x, int y, int button = kLeftButton,
             std::optional<std::uint64_t> notBeforeMs = std::nullopt);  // down and up together
  void mouseDown(int x, int y, int button = kLeftButton,
                 std::optional<std::uint64_t> notBeforeMs = std::nullopt);
  void mouseUp(int x, int y, int button = kLeftButton,
               std::optional<std::uint64_t> notBeforeMs = std::nullopt);
  // A key pressed and released; `modifiers` are held besides those held by keyDown().
  void key(Key key, std::optional<std::uint64_t> notBeforeMs = std::nullopt, int modifiers = 0);
  // A key pressed (and held, Key::Control included) or released.
  void keyDown(Key key, std::optional<std::uint64_t> notBeforeMs = std::nullopt, int modifiers = 0);
  void keyUp(Key key, std::optional<std::uint64_t> notBeforeMs = std::nullopt, int modifiers = 0);
  void wheel(int steps, std::optional<std::uint64_t> notBeforeMs = std::nullopt);
  void closeWindow(std::optional<std::uint64_t> notBeforeMs = std::nullopt);
  // Gamepads, each named by a number: plugged in and out, a button pressed and released or
  // held down or let go, the left stick moved. What a pad not plugged in does is lost.
  void plugPad(int pad = 0, std::optional<std::uint64_t> notBeforeMs = std::nullopt);
  void unplugPad(int pad = 0, std::optional<std::uint64_t> notBeforeMs = std::nullopt);
  void pad(PadButton button, std::optional<std::uint64_t> notBeforeMs = std::nullopt, int pad = 0);
  void padDown(PadButton button, std::optional<std::uint64_t> notBeforeMs = std::nullopt,
               int pad = 0);
  void padUp(PadButton button, std::optional<std::uint64_t> notBeforeMs = std::nullopt,
             int pad = 0);
  void padStick(Pads::Axis axis, int value, std::optional<std::uint64_t> notBeforeMs = std::nullopt,
                int pad = 0);
  void drop(std::filesystem::path path, std::optional<std::uint64_t> notBeforeMs = std::nullopt);
  [[nodiscard]] std::size_t pendingInput() const { return input_.size(); }

  // Called when a wait can never end; returns true if it queued more input, else the wait
  // throws HeadlessStall.
  void setStallHandler(std::function<bool()> handler) { stallHandler_ = std::move(handler); }
  // How far the clock may run without any input being taken before HeadlessStall is thrown
  // (10 minutes unless set).
  void setStallLimit(std::uint64_t ms) { stallLimit_ = ms; }

  // Whether a changed frame is composed (on by default). A player that never looks at the
  // frame saves the drawing.
  void setFramesComposed(bool composed) { framesComposed_ = composed; }

  // What tickCount() says at now() == 0 (0 unless set), to bring its wrap-around near.
  void setTickBase(std::uint32_t base) { tickBase_ = base; }
  // Virtual milliseconds since construction; tickCount() is the tick base plus its low 32 bits.
  [[nodiscard]] std::uint64_t now() const { return now_; }

  // The player's own files; both empty unless set (no settings kept, no screenshots).
  void setSettingsFile(std::filesystem::path file) { settingsFile_ = std::move(file); }
  void setPicturesFolder(std::filesystem::path dir) { pictures_ = std::move(dir); }
  // Empty unless set: nothing of the player's own is kept.
  void setDataFolder(std::filesystem::path dir) { data_ = std::move(dir); }
  // The screen that the window scale must fit (1920 x 1080 unless set).
  void setScreenSize(int width, int height) {
    screenWidth_ = width;
    screenHeight_ = height;
  }
  // What the clipboard holds: the text last put on it.
  [[nodiscard]] const std::string& clipboardText() const { return clipboard_; }
  // The overall volume last set, 0 to 100 (100 unless set).
  [[nodiscard]] int volume() const { return volume_; }
  // The music's and the effects' levels last set, 0 to 100 (100 unless set).
  [[nodiscard]] int musicLevel() const { return musicLevel_; }
  [[nodiscard]] int effectsLevel() const { return effectsLevel_; }
  // The soundfont in use: the last one loaded (empty: the platform's own).
  [[nodiscard]] const std::filesystem::path& soundFont() const { return soundFont_; }

  // The last frame composed (empty until the sink first reports a change).
  [[nodiscard]] const Image& frame() const { return frame_; }
  [[nodiscard]] bool saveFrame(const std::filesystem::path& png) const;
  [[nodiscard]] int presents() const { return presents_; }

  [[nodiscard]] const std::vector<MessageBoxEntry>& messageBoxes() const { return boxes_; }
  [[nodiscard]] int beeps() const { return beeps_; }
  [[nodiscard]] Cursor cursor() const { return cursor_; }
  // Every setCursor() call, in order.
  [[nodiscard]] const std::vector<Cursor>& cursorLog() const { return cursorLog_; }
  // The caption given to openWindow(); nullopt before the window is opened.
  [[nodiscard]] const std::optional<std::string>& windowCaption() const { return caption_; }
  [[nodiscard]] const Image& windowIcon() const { return icon_; }
  [[nodiscard]] const Image& waitCursorImage() const { return waitCursor_; }

  [[nodiscard]] HeadlessMusicDevice& headlessMusic() { return music_; }
  [[nodiscard]] HeadlessSoundOutput& headlessSound() { return sound_; }

 private:
  enum class InputKind {
    MouseDown,
    MouseUp,
    Click,
    Key,
    KeyDown,
    KeyUp,
    Wheel,
    Close,
    Drop,
    PadPlug,
    PadUnplug,
    Pad,
    PadDown,
    PadUp,
    PadStick,
  };
  struct Input {
    InputKind kind = InputKind::Click;
    int x = 0;
    int y = 0;
    int button = kLeftButton;
    Key key = Key::Other;
    int modifiers = 0;  // for keys; the steps for the wheel
    std::optional<std::uint64_t> notBefore;
    int pad = 0;  // which pad
    PadButton padButton = PadButton::A;
    Pads::Axis axis = Pads::Axis::X;  // the stick's value in `x`
  };
  struct Timer {
    int interval = 1;
    std::function<void()> handler;
    bool background = false;
    bool enabled = false;
    bool running = false;
    std::uint64_t due = 0;
  };

  void queue(Input input);
  void deliverFront();
  [[nodiscard]] bool foregroundTimerWaiting() const;
  [[nodiscard]] std::optional<std::uint64_t> nextDue(bool background) const;
  void fireDueTimers();
  void fire(TimerId id);
  void presentIfChanged();
  void advanceTo(std::uint64_t t);
  [[nodiscard]] Timer& timer(TimerId id);
  [[nodiscard]] const Timer& timer(TimerId id) const;

  std::unique_ptr<FontLibrary> fonts_;
  Pads pads_{[this](PadButton b, bool down) {
    if (sink_ == nullptr) return;
    if (down) {
      sink_->padDown(b);
    } else {
      sink_->padUp(b);
    }
  }};
  HeadlessMusicDevice music_;
  HeadlessSoundOutput sound_;
  EventSink* sink_ = nullptr;
  std::vector<Timer> timers_;
  std::deque<Input> input_;
  std::deque<std::filesystem::path> drops_;  // the names of the queued drops, in order
  std::function<bool()> stallHandler_;
  bool framesComposed_ = true;
  std::uint64_t stallLimit_ = 10 * 60 * 1000;
  std::uint64_t now_ = 0;
  std::uint32_t tickBase_ = 0;
  std::uint64_t lastInputAt_ = 0;  // the clock when input was last taken
  long idleDoEvents_ = 0;          // doEvents() calls in a row that changed nothing
  Image frame_;
  int presents_ = 0;
  std::vector<MessageBoxEntry> boxes_;
  int beeps_ = 0;
  Cursor cursor_ = Cursor::Default;
  std::vector<Cursor> cursorLog_;
  std::optional<std::string> caption_;
  int heldModifiers_ = 0;
  int volume_ = 100;
  int musicLevel_ = 100;
  int effectsLevel_ = 100;
  std::filesystem::path soundFont_;
  std::optional<bool> soundFontLoaded_;
  int scale_ = 1;
  bool fullscreen_ = false;
  int screenWidth_ = 1920;
  int screenHeight_ = 1080;
  std::filesystem::path settingsFile_;
  std::filesystem::path pictures_;
  std::filesystem::path data_;
  std::string clipboard_;
  Image icon_;
  Image waitCursor_;
};

}  // namespace qov
