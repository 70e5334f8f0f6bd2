#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Image.h"
#include "platform/Platform.h"
#include "ui/GameSnapshot.h"

namespace qov {

class PageRecorder;
class PictureBox;
class ShownTextObserver;

// Where a message's command stands in the game's scripts: the script file, as on disk relative
// to the game folder, and its line.
struct MessagePlace {
  std::string script;
  int line = 0;
  friend bool operator==(const MessagePlace&, const MessagePlace&) = default;
};

// How fast the message window types: at the game's own delays, at half of them, or each page
// at once.
enum class TypingSpeed { AsGame, Twice, Instant };

// What the game waits for, and where a click answers it (frame pixels): what keys and pads
// need to stand in for the mouse.
struct GameWait {
  enum class Kind {
    None,
    Message,  // writing a message or waiting at its page: a left click on `message` goes on
    Menu,     // a menu waits for the player's choice
    Items,    // the item window chooses an item
  };
  struct Target {
    Rect place;
    std::u32string caption;
  };
  Kind kind = Kind::None;
  // Different for every wait begun: every page of a message, every page of a menu.
  std::uint64_t serial = 0;
  Rect message;  // a right click here shows or hides the menu
  // In a menu wait with the menu shown: its header first, then each entry with a caption.
  std::vector<Target> menu;
  Rect previous, next;  // the item window's "＜" and "＞"
  // In a message wait, the message's place; its script is empty for the opening's texts.
  MessagePlace place;
};

// The game as the layer around it sees it: the window's input goes in unchanged (EventSink),
// and besides that only what never changes what the game observes.
class HostedGame : public EventSink {
 public:
  // Loads the game and serves the window's events until the program ends; the exit code.
  [[nodiscard]] virtual int run() = 0;
  // Ends the game as closing the window does (ProgramEnd{0}).
  [[noreturn]] virtual void end() = 0;

  // While held, the interpreter's timer and the message writer wait; the music loop and the
  // opening's clock never stop.
  virtual void holdGame(bool on) = 0;
  // The opening, a timed show with its song, is playing: from its start to its end.
  [[nodiscard]] virtual bool openingRuns() const = 0;
  // Told when the opening starts (true) and when it has ended (false).
  virtual void setOpeningObserver(std::function<void(bool)> observer) = 0;
  // Lets go of the mouse: a press the game has seen is never released to it, and a pushed
  // button or menu entry comes up without a click.
  virtual void cancelPresses() = 0;

  // What shows the game's notices (a save that failed) in the window, after standard error,
  // and returns once the player has read them; unset, a message box.
  virtual void setNoticeHook(std::function<void(std::u32string_view)> hook) = 0;
  // The game's folder, which names its place among the player's own files.
  [[nodiscard]] virtual std::filesystem::path folder() const = 0;
  // The window's caption: the game's title.
  [[nodiscard]] virtual std::string caption() const = 0;
  // Draws the game's frame as it is now into `into` (506 x 384), without counting it as
  // presented.
  virtual void drawFrame(Image& into) const = 0;

  // The message window, whose pages a history may keep and whose text skipping writes at once.
  [[nodiscard]] virtual const PictureBox& messageWindow() const = 0;
  virtual void recordPages(PageRecorder* recorder) = 0;
  virtual void setSkip(bool on) = 0;
  // While skipping, a message that `mayskip` says no to is typed and waits as without; `read`
  // is told each message once its last page is in sight. Neither is asked of the opening's
  // texts. Unset: every message is skipped and none told.
  virtual void setReadingLog(std::function<bool(const MessagePlace&)> mayskip,
                             std::function<void(const MessagePlace&)> read) = 0;
  // The game's delays stay what they are for the game; only the typing is faster.
  virtual void setTypingSpeed(TypingSpeed speed) = 0;
  // The pages, menus and items the window shows from now on are told to `observer` (nullptr:
  // to none).
  virtual void observeText(ShownTextObserver* observer) = 0;
  // While on, a page wait ends by itself after baseMs and perCharacterMs for every character
  // on the page; never a menu's or the item window's wait.
  virtual void setAutoAdvance(bool on, std::uint32_t baseMs, std::uint32_t perCharacterMs) = 0;
  [[nodiscard]] virtual GameWait wait() const = 0;

  // The game's state at the wait it is in; nullopt where it waits for nothing or in the opening.
  [[nodiscard]] virtual std::optional<GameSnapshot> snapshot() const = 0;
  // Why `state` cannot be gone on from (a picture it shows changed or is gone, its line holds
  // no command that waits); nullopt when it can.
  [[nodiscard]] virtual std::optional<std::string> refusal(const GameSnapshot& state) const = 0;
  // Leaves whatever the game is doing and goes on from `state`, which refusal() accepted: the
  // waits are left by an exception that run() catches, so only an input handler may call it,
  // once its own work is done.
  [[noreturn]] virtual void restore(GameSnapshot state) = 0;
  // Before run(): the game starts from `state` instead of from its first script.
  virtual void startFrom(GameSnapshot state) = 0;
  // Told each time a wait for the player begins (where snapshot() gives a state).
  virtual void setWaitObserver(std::function<void()> observer) = 0;
};

}  // namespace qov
