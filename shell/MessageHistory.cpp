#include "shell/MessageHistory.h"

#include <algorithm>
#include <string>

#include "platform/Encoding.h"
#include "shell/Words.h"

namespace qov {

namespace {

// The tag sits on the scene picture right of the menu's lower row, touching the message
// window.
constexpr Rect kTag{434, 318, 70, 18};
constexpr Argb kTagBack = rgb(0, 0, 128);
constexpr Argb kTagText = rgb(255, 255, 255);
// Left of the tag: the button that returns the game to the page shown.
constexpr Rect kReturn{344, 318, 88, 18};
constexpr Argb kReturnBack = rgb(128, 0, 0);
constexpr const char32_t* kReturnCaption = later(U"Return here");

}  // namespace

void MessageHistory::printed(int x, int y, Argb colour, std::u32string_view text) {
  if (text.empty()) return;
  current_.pieces.push_back(Piece{x, y, colour, static_cast<std::uint32_t>(current_.text.size()),
                                  static_cast<std::uint32_t>(text.size())});
  current_.text += text;
}

void MessageHistory::cleared() {
  if (current_.pieces.empty()) return;
  pages_.push_back(std::move(current_));
  current_ = Page{};
  if (pages_.size() > kPagesKept) pages_.pop_front();
}

const MessageHistory::Page& MessageHistory::earlierPage(std::size_t back) const {
  return pages_.at(pages_.size() - back);
}

void MessageHistory::waitBegan(const std::function<std::optional<GameSnapshot>()>& take) {
  if (current_.state) return;
  if (std::optional<GameSnapshot> state = take()) {
    current_.state = std::make_shared<const GameSnapshot>(std::move(*state));
  }
}

void MessageHistory::returnTo(std::size_t back) {
  const auto page = pages_.end() - static_cast<std::ptrdiff_t>(back);
  const bool writtenAgain = page->state && page->state->wait == GameSnapshot::Wait::Page;
  current_ = writtenAgain ? Page{} : std::move(*page);
  pages_.erase(page, pages_.end());
}

bool HistoryScreen::take(const Press& press, const std::optional<Asked>& /*asked*/) {
  const bool enter = press.kind == Press::Kind::Key && press.key == Key::Enter &&
                     press.modifiers == 0 && !press.repeat;
  const bool click = press.kind == Press::Kind::Button && press.button == kLeftButton &&
                     view_.returnButtonAt(press.x, press.y);
  if (!enter && !click) return false;
  if (view_.canReturn()) returnToPage_();
  return true;
}

HistoryView::HistoryView(Platform& platform, const PictureBox& MES)
    : MES_(MES), tagFont_(platform.font(FontRequest{FontFace::Gothic, 9.0, false})) {
  const Rect m = MES.rect;
  rect = Rect{0, kTag.y, m.x + m.w, m.y + m.h - kTag.y};
  visible = false;
}

void HistoryView::show(const MessageHistory::Page* page, std::size_t back, std::size_t count) {
  page_ = page;
  visible = page != nullptr;
  tag_ =
      fill(tr(U"History {}/{}"), {fromUtf8(std::to_string(back)), fromUtf8(std::to_string(count))});
  ++shown_;
}

bool HistoryView::returnButtonAt(int x, int y) const {
  return canReturn() && kReturn.contains(x, y);
}

void HistoryView::drawSelf(Image& frame, const Rect& at, const Rect& clip) const {
  if (page_ == nullptr) return;
  // The page in the message window's own colours and font, where it was drawn.
  const Rect mes{at.x + MES_.rect.x, at.y + (MES_.rect.y - rect.y), MES_.rect.w, MES_.rect.h};
  const Rect mesClip = mes.intersect(clip);
  frame.fill(mesClip, MES_.backColor);
  const Font& font = MES_.font();
  for (const MessageHistory::Piece& piece : page_->pieces) {
    frame.drawMask(font.render(page_->pieceText(piece)), mes.x + piece.x, mes.y + piece.y,
                   piece.colour, mesClip);
  }
  const Rect tag{at.x + kTag.x, at.y, kTag.w, kTag.h};
  const Rect tagClip = tag.intersect(clip);
  frame.fill(tagClip, kTagBack);
  const Mask text = tagFont_->render(tag_);
  frame.drawMask(text, tag.x + (tag.w - text.width) / 2, tag.y + (tag.h - text.height) / 2,
                 kTagText, tagClip);
  if (!canReturn()) return;
  const Rect button{at.x + kReturn.x, at.y, kReturn.w, kReturn.h};
  const Rect buttonClip = button.intersect(clip);
  frame.fill(buttonClip, kReturnBack);
  const Mask caption = tagFont_->render(tr(kReturnCaption));
  frame.drawMask(caption, button.x + (button.w - caption.width) / 2,
                 button.y + (button.h - caption.height) / 2, kTagText, buttonClip);
}

void HistoryView::sign(std::uint64_t& digest) const {
  digest ^= shown_;
  digest *= 0x100000001B3ull;
}

}  // namespace qov
