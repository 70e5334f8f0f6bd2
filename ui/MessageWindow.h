#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/Platform.h"
#include "ui/GameSnapshot.h"
#include "ui/HostedGame.h"

namespace qov {

class PictureBox;
class CommandMenu;
class ShownTextObserver;
class ItemWindow;
class Variables;

// Sees every piece of text the message window draws, with its place and colour, and every
// erase, as they happen.
class PageRecorder {
 public:
  virtual ~PageRecorder() = default;
  // The window drew `text` with its text cursor at (x, y).
  virtual void printed(int x, int y, Argb colour, std::u32string_view text) = 0;
  virtual void cleared() = 0;
};

// The message window MES: writes a message character by character with its full-width
// mark-up (speakers, colours, typing speed, variable values, line and page breaks, items) and
// waits for the player's click at every full page and "￥".
class MessageWindow {
 public:
  static constexpr int kSpeakerCount = 16;
  // The mark-up's colours, by index.
  static constexpr std::array<Argb, 16> kPalette{
      rgb(0, 0, 0),       rgb(0, 0, 128),   rgb(0, 128, 0),   rgb(0, 128, 128),
      rgb(128, 0, 0),     rgb(128, 0, 128), rgb(128, 128, 0), rgb(192, 192, 192),
      rgb(128, 128, 128), rgb(0, 0, 255),   rgb(0, 255, 0),   rgb(0, 255, 255),
      rgb(255, 0, 0),     rgb(255, 0, 255), rgb(255, 255, 0), rgb(255, 255, 255)};
  static constexpr int kPassageColor = 3;
  static constexpr int kSpeakerColor = 12;

  MessageWindow(Platform& platform, PictureBox& MES, CommandMenu& menu, ItemWindow& items,
                const Variables& vars, std::function<void(Cursor)> setMousePointer);

  // Hides the menu, clears the window and writes `text`; returns when it is all written.
  // A bad mark-up argument throws ScriptError. Not `skippable`: skipping leaves this message
  // alone. `lastPageShown` (may be empty) is told once the message's last page is in sight.
  void MESHG(std::u32string_view text, bool skippable = true,
             const std::function<void()>& lastPageShown = {});
  // Erases the window and puts the text cursor at its top left.
  void clear();

  // Going on from a save state. resume: the next MESHG writes its first `pages` pages at once,
  // without waits, delays or readers (`resumed` is told when it reaches its own page, which it
  // also writes at once). replay: writes `text` to its end in the same way, waiting nowhere.
  void resume(std::uint32_t pages, std::function<void()> resumed);
  void replay(std::u32string_view text);
  // Told at the start of every page wait (not of those a resume passes).
  void onWait(std::function<void()> begins) { waitBegins_ = std::move(begins); }
  [[nodiscard]] GameSnapshot::Writing attributes() const;
  void setAttributes(const GameSnapshot::Writing& writing);
  // A page wait is on; the page waits of the message before it.
  [[nodiscard]] bool atPage() const { return atPage_; }
  [[nodiscard]] std::uint32_t page() const { return page_; }
  // MES_MouseDown and Picture1_MouseDown: left answers a wait, right toggles the menu.
  void mouseDown(int button);

  // 2 after a left click on the message window or the scene picture, else 0.
  std::int16_t MesClick = 0;

  // The player's reading keys, which the game never sees: `skip` (Ctrl held) writes text at
  // once and ends page waits by themselves after a short look; `hold` (the message history
  // open) keeps the writer where it is.
  // `autoAdvance` ends page waits by themselves after a delay that grows with the page's
  // characters (not the page wait of an item picture).
  struct Reading {
    bool skip = false;
    bool hold = false;
    bool autoAdvance = false;
    std::uint32_t autoBaseMs = 1500;
    std::uint32_t autoPerCharacterMs = 80;
    TypingSpeed typing = TypingSpeed::AsGame;
  };
  Reading reading;
  // How long a page stays in sight when skipping.
  static constexpr std::uint32_t kSkipPageMs = 60;

  // Every page drawn from now on is told to `recorder` too (nullptr: to none).
  void recordInto(PageRecorder* recorder) { history_ = recorder; }
  // Each page completely shown from now on is told to `observer` (nullptr: to none).
  void observeText(ShownTextObserver* observer) { shownText_ = observer; }

  // Kept across messages: names from "＆", the delay from "＃", the colour index from "＠".
  [[nodiscard]] const std::u32string& speakerName(int index) const {
    return SpeakerName_.at(static_cast<std::size_t>(index));
  }
  [[nodiscard]] std::int16_t charDelay() const { return CharDelay_; }
  [[nodiscard]] std::int16_t textColor() const { return TextColor_; }

  // MESHG is writing a message or waiting at one of its pages.
  [[nodiscard]] bool writing() const { return writing_; }
  // Page waits begun so far.
  [[nodiscard]] std::uint64_t pageWaits() const { return pageWaits_; }

 private:
  class Writer;
  friend class Writer;

  // Skipping, and this message may be skipped.
  [[nodiscard]] bool skipping() const { return reading.skip && skippable_; }
  // Waits until at least `ms` have passed on the tick count, serving events meanwhile.
  void TWAIT(std::int16_t ms);
  // Waits for a left click with the wait cursor shown; `byItself`: auto-advance may end it.
  void pageWait(bool byItself);
  // How long the page now written stays before it goes on by itself; nullopt: until a click.
  [[nodiscard]] std::optional<std::uint32_t> pageLook(bool byItself) const;
  // `indent`: the blank before a line's text, which readers of the page leave out.
  void print(std::u32string_view piece, bool indent = false);
  // Tells the observer of the page as it stands, unless it is empty or was told already.
  void pageComplete();

  Platform& platform_;
  PictureBox& MES_;
  CommandMenu& menu_;
  ItemWindow& items_;
  const Variables& vars_;
  std::function<void(Cursor)> setMousePointer_;
  PageRecorder* history_ = nullptr;
  ShownTextObserver* shownText_ = nullptr;
  std::u32string pageText_;  // what the page in the window shows, for shownText_
  bool pageTold_ = false;

  std::array<std::u32string, kSpeakerCount> SpeakerName_{};
  std::int16_t CharDelay_ = 0;
  std::int16_t TextColor_ = 0;
  bool writing_ = false;
  bool skippable_ = true;  // the message being written
  std::uint64_t pageWaits_ = 0;
  std::uint32_t pageCharacters_ = 0;  // written on the page, blanks left out

  std::function<void()> waitBegins_;
  bool atPage_ = false;
  std::uint32_t page_ = 0;
  std::uint32_t pageWaitsOfMessage_ = 0;
  // While going on from a save state: the page waits still to pass; delays are left out until
  // a page wait is kept.
  std::uint32_t pagesToPass_ = 0;
  bool resuming_ = false;
  std::function<void()> resumed_;
  std::pair<PageRecorder*, ShownTextObserver*> keptReaders_{};
  bool readersKept_ = false;
  void passedAll();
};

}  // namespace qov
