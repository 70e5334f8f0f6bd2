#pragma once

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
  // The opening, a timed show with its song, is playing.
  [[nodiscard]] virtual bool openingRuns() const = 0;
  // Tells the player something in a box of the game's window, which waits for its OK.
  virtual void notice(std::u32string_view text) = 0;
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
