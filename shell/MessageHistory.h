#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Image.h"
#include "shell/Screens.h"
#include "ui/Controls.h"
#include "ui/GameSnapshot.h"
#include "ui/MessageWindow.h"

namespace qov {

// The pages the message window has shown, as they were drawn: every piece of text with its
// place and colour, so that a page looks back exactly as it looked. The message window
// reports what it prints and when it is erased; an erase ends the page drawn so far.
class MessageHistory final : public PageRecorder {
 public:
  static constexpr std::size_t kPagesKept = 256;

  struct Piece {
    int x = 0;
    int y = 0;
    Argb colour = 0;
    std::uint32_t start = 0;  // in Page::text
    std::uint32_t length = 0;
  };
  struct Page {
    std::u32string text;
    std::vector<Piece> pieces;
    // The game at the first wait while the page was in the window, to return to; none when
    // the page had no wait.
    std::shared_ptr<const GameSnapshot> state;
    [[nodiscard]] std::u32string_view pieceText(const Piece& p) const {
      return std::u32string_view(text).substr(p.start, p.length);
    }
  };

  void printed(int x, int y, Argb colour, std::u32string_view text) override;
  void cleared() override;

  // Pages finished before the one now in the window.
  [[nodiscard]] std::size_t earlierPages() const { return pages_.size(); }
  // The page `back` pages before the one now in the window (1: the one just before).
  [[nodiscard]] const Page& earlierPage(std::size_t back) const;

  // A wait begins: the page now in the window keeps the state `take` gives, unless it has one.
  void waitBegan(const std::function<std::optional<GameSnapshot>()>& take);
  // The game returns to the page `back` pages back: the pages after it are forgotten, as if
  // never shown. The page itself is shown again from its state: written again (at a page of a
  // message) or kept as the one in the window (at a menu, which writes nothing).
  void returnTo(std::size_t back);

 private:
  std::deque<Page> pages_;
  Page current_;
};

// The read-only view of an earlier page, over the message window, with a small tag above its
// right end that says how far back it is.
class HistoryView : public Control {
 public:
  HistoryView(Platform& platform, const PictureBox& MES);

  // Shows `page`, `back` of `count` pages back; nullptr hides the view.
  void show(const MessageHistory::Page* page, std::size_t back, std::size_t count);
  // The button that returns to the page shown, when the page can be returned to.
  [[nodiscard]] bool returnButtonAt(int x, int y) const;
  [[nodiscard]] bool canReturn() const { return page_ != nullptr && page_->state != nullptr; }

 protected:
  void drawSelf(Image& frame, const Rect& at, const Rect& clip) const override;
  void sign(std::uint64_t& digest) const override;

 private:
  const PictureBox& MES_;
  std::shared_ptr<const Font> tagFont_;
  const MessageHistory::Page* page_ = nullptr;
  std::u32string tag_;
  std::uint64_t shown_ = 0;  // counts the pages shown, for the frame's digest
};

// The history as a screen over the game: the shell's history actions turn its pages; Enter or
// a click on its button returns the game to the page shown.
class HistoryScreen final : public Screen {
 public:
  HistoryScreen(Platform& platform, const PictureBox& MES, std::function<void()> returnToPage)
      : view_(platform, MES), returnToPage_(std::move(returnToPage)) {}
  void show(const MessageHistory::Page* page, std::size_t back, std::size_t count) {
    view_.show(page, back, count);
  }
  [[nodiscard]] bool take(const Press& press, const std::optional<Asked>& asked) override;
  void draw(Image& frame) const override { view_.draw(frame); }
  [[nodiscard]] std::uint64_t signature() const override { return view_.signature(); }

 private:
  HistoryView view_;
  std::function<void()> returnToPage_;
};

}  // namespace qov
