#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/Image.h"
#include "platform/Platform.h"

namespace qov {

class PageRecorder;
class PictureBox;
class ShownTextObserver;

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
  // The window's caption: the game's title.
  [[nodiscard]] virtual std::string caption() const = 0;
  // Draws the game's frame as it is now into `into` (506 x 384), without counting it as
  // presented.
  virtual void drawFrame(Image& into) const = 0;

  // The message window, whose pages a history may keep and whose text skipping writes at once.
  [[nodiscard]] virtual const PictureBox& messageWindow() const = 0;
  virtual void recordPages(PageRecorder* recorder) = 0;
  virtual void setSkip(bool on) = 0;
  // The pages, menus and items the window shows from now on are told to `observer` (nullptr:
  // to none).
  virtual void observeText(ShownTextObserver* observer) = 0;
};

}  // namespace qov
