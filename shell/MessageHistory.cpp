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
}

void HistoryView::sign(std::uint64_t& digest) const {
  digest ^= shown_;
  digest *= 0x100000001B3ull;
}

}  // namespace qov
