#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/Image.h"

namespace qov {

// The two faces of the window's fonts; the names are the ones the layout uses.
enum class FontFace {
  Gothic,  // "ＭＳ ゴシック"
  Mincho,  // "ＭＳ 明朝"
};

struct FontRequest {
  FontFace face = FontFace::Gothic;
  double points = 10.0;  // at 96 dpi
  bool bold = false;
  friend bool operator==(const FontRequest&, const FontRequest&) = default;
};

// A font at one size. Text is rendered without anti-aliasing.
class Font {
 public:
  virtual ~Font() = default;
  [[nodiscard]] virtual int lineHeight() const = 0;
  // The drawn width of `text` in pixels: how far the text cursor moves.
  [[nodiscard]] virtual int measure(std::u32string_view text) const = 0;
  // A mask of lineHeight() rows and measure(text) columns.
  [[nodiscard]] virtual Mask render(std::u32string_view text) const = 0;
};

// Mouse buttons as the window's events number them.
enum MouseButton : int { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };

// The keys the program answers to; every other key is Other.
enum class Key {
  Enter,
  Escape,
  Space,
  Control,  // either Ctrl key
  Up,
  Down,
  PageUp,
  PageDown,
  Home,
  End,
  Delete,
  Backspace,
  F1,
  F5,
  F6,
  F9,
  F11,
  F12,
  C,
  M,
  V,
  Digit1,  // the keys 1 to 4 of the main block, whatever the layout prints on them
  Digit2,
  Digit3,
  Digit4,
  Left,
  Right,
  A,
  X,
  Z,
  Other,
};

// Modifier keys held, as a mask.
enum KeyModifier : int { kCtrlKey = 1, kAltKey = 2, kShiftKey = 4 };

struct KeyPress {
  Key key = Key::Other;
  int modifiers = 0;    // held after the press or release, KeyModifier bits
  bool repeat = false;  // sent again because the key is held down
};

// The buttons of a gamepad that the program answers to, as a common pad lays them out: A at the
// bottom of the four face buttons, B at the right, X at the left, Y at the top; LB and RB the
// shoulder buttons. Up to Right are the D-pad and the left stick alike.
enum class PadButton { A, B, X, Y, LB, RB, Start, Back, Up, Down, Left, Right };
inline constexpr int kPadButtons = static_cast<int>(PadButton::Right) + 1;

enum class Cursor { Default, Wait };

enum class MessageIcon { Stop, Information };

// What the window tells the program. Positions are frame pixels (0..505, 0..383).
class EventSink {
 public:
  virtual ~EventSink() = default;
  virtual void mouseDown(int x, int y, int button) = 0;
  virtual void mouseUp(int x, int y, int button) = 0;
  virtual void keyDown(const KeyPress& key) = 0;
  virtual void keyUp(const KeyPress& key) = 0;
  // The mouse wheel over the window: positive steps away from the player (up).
  virtual void mouseWheel(int steps) = 0;
  // A button of any pad plugged in went down or up. All pads count as one: a button is down
  // while any pad holds it, and unplugging a pad lets go of what it held.
  virtual void padDown(PadButton /*button*/) {}
  virtual void padUp(PadButton /*button*/) {}
  // The player closes the window.
  virtual void closeRequested() = 0;
  // A file or folder dropped onto the window (a dropped text arrives as a name too).
  virtual void dropped(const std::filesystem::path& /*path*/) {}
  // True when the frame has changed since the last composeFrame().
  [[nodiscard]] virtual bool frameChanged() const = 0;
  // The 506 x 384 frame as it must be shown now.
  virtual const Image& composeFrame() = 0;
};

// The background-music device. It takes multimedia command strings ("open NAME.MID alias bg",
// "play bg", "stop bg", "close bg", "status bg mode", "seek bg to start") and answers like the
// interface it stands in for: false when the call fails; `answer` receives the reply of a
// status query ("playing", "stopped", "not ready").
class MusicDevice {
 public:
  virtual ~MusicDevice() = default;
  virtual bool send(std::string_view command, std::string* answer = nullptr) = 0;
  // While a piece plays: how long at the least before "status bg mode" can answer anything but
  // "playing" unless a command changes it; nullopt when the device cannot tell.
  [[nodiscard]] virtual std::optional<std::chrono::milliseconds> playingFor() {
    return std::nullopt;
  }
};

// One channel of sound effects, mixed over the music; a new effect replaces the playing one.
class SoundOutput {
 public:
  virtual ~SoundOutput() = default;
  // Plays a wave file; false (and nothing plays) when it cannot be read.
  virtual bool play(const std::filesystem::path& file, bool loop) = 0;
  // The short sound played for a missing file.
  virtual void playDefault() = 0;
  [[nodiscard]] virtual bool playing() const = 0;
  virtual void stop() = 0;
};

using TimerId = int;

// Everything outside the program: window, events, timers, clock, fonts, picture decoding,
// message box, beep, audio. SDL is the real implementation, headless the one for tests.
class Platform {
 public:
  virtual ~Platform() = default;

  // Shows the window (a no-op headless): a fixed 506 x 384 client area, centred.
  virtual void openWindow(const std::string& caption, const Image& icon,
                          const Image& waitCursor) = 0;
  virtual void setEventSink(EventSink* sink) = 0;

  // Timers fire from doEvents()/waitEvents(). A timer whose handler is still running is never
  // fired again from inside it. Enabling a timer restarts its interval. A background timer
  // (the music loop) does not by itself move a wait forward: the headless platform uses this
  // to see a wait that can never end.
  virtual TimerId createTimer(int intervalMs, std::function<void()> handler,
                              bool background = false) = 0;
  virtual void setTimerEnabled(TimerId timer, bool enabled) = 0;
  [[nodiscard]] virtual bool timerEnabled(TimerId timer) const = 0;
  // The next tick of an enabled timer comes `ms` from now instead of after its interval; the
  // ticks after it keep the interval. For a handler that knows the ticks in between would find
  // nothing to do.
  virtual void delayNextTick(TimerId timer, std::uint32_t ms) = 0;

  // Milliseconds since some start; wraps around at 2^32 like the system's tick count.
  [[nodiscard]] virtual std::uint32_t tickCount() = 0;

  // Delivers pending input and window events, fires due timers, presents a new frame if the
  // sink says it changed. Never blocks.
  virtual void doEvents() = 0;
  // Blocks until the next event or due timer (or until `timeoutMs` has passed), then runs
  // doEvents(). Costs no CPU while it blocks.
  virtual void waitEvents(std::optional<std::uint32_t> timeoutMs = std::nullopt) = 0;

  virtual void setCursor(Cursor cursor) = 0;
  // A modal box with one OK button; returns when the player has closed it. Where no display
  // can show it, it returns at once.
  virtual void messageBox(const std::string& title, const std::string& textUtf8,
                          MessageIcon icon) = 0;
  // Whether a player can see the window: not with a video driver that shows nothing, where
  // whatever waits for the player would wait for ever.
  [[nodiscard]] virtual bool windowSeen() const = 0;
  // The system beep: a short tone, heard before the call returns.
  virtual void beep() = 0;

  [[nodiscard]] virtual std::shared_ptr<const Font> font(const FontRequest& wanted) = 0;
  // Decodes a picture recognised by its content (BMP, GIF, JPEG, PNG, ...).
  [[nodiscard]] virtual std::optional<Image> decodeImage(std::span<const std::uint8_t> bytes) = 0;

  virtual MusicDevice& music() = 0;
  virtual SoundOutput& sound() = 0;
  // The overall volume of music, effects and beep, 0 to 100 %, on top of their own levels
  // (music 60 %, effects 70 %), so that they keep their balance.
  virtual void setVolume(int percent) = 0;
  // The music's and the effects' share of their own level, 0 to 100 % each (100: the levels
  // above), under the overall volume.
  virtual void setMixLevels(int musicPercent, int effectsPercent) = 0;
  // Loads the General MIDI soundfont `file` (empty: the platform's own choice) in place of
  // the one in use, off the window's thread; the music goes on meanwhile, and the old sounds
  // stay when the new file cannot be loaded.
  virtual void loadSoundFont(const std::filesystem::path& file) = 0;
  // How the last loadSoundFont() ended, once: nullopt while it loads or when there is
  // nothing new to tell.
  [[nodiscard]] virtual std::optional<bool> soundFontLoaded() = 0;

  // The window's whole-number scale (1: 506 x 384), kept within the screen; may be set before
  // openWindow(), which then opens at that size. Returns the scale now in force.
  virtual int setWindowScale(int scale) = 0;
  [[nodiscard]] virtual int windowScale() const = 0;
  // Fullscreen shows the frame scaled by a whole factor on the whole screen; may be set before
  // openWindow().
  virtual void setFullscreen(bool on) = 0;
  [[nodiscard]] virtual bool fullscreen() const = 0;

  // The player's own files: the settings file (empty: settings are not kept) and the folder
  // for screenshots.
  [[nodiscard]] virtual std::filesystem::path settingsFile() const = 0;
  [[nodiscard]] virtual std::filesystem::path picturesFolder() const = 0;
  // The folder of what the player keeps of its own ($XDG_DATA_HOME/qov); empty: nothing is kept.
  [[nodiscard]] virtual std::filesystem::path dataFolder() const = 0;
  // Writes a PNG file, whole or not at all; the reason when it cannot be written.
  [[nodiscard]] virtual std::error_code writePngFile(const Image& image,
                                                     const std::filesystem::path& file) = 0;

  // Puts UTF-8 text on the desktop's clipboard, for other programs to read; false when the
  // desktop refuses it.
  virtual bool setClipboardText(const std::string& utf8) = 0;
};

}  // namespace qov
