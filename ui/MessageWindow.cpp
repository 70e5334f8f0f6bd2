#include "ui/MessageWindow.h"

#include <limits>
#include <string>
#include <utility>

#include "engine/MarkUp.h"
#include "engine/Variables.h"
#include "ui/CommandMenu.h"
#include "ui/Controls.h"
#include "ui/ItemWindow.h"
#include "ui/ScopedFlag.h"
#include "ui/ShownText.h"

namespace qov {

namespace {

// Every line that begins with ordinary text outside a passage is indented by the width of a
// speaker's name.
constexpr std::u32string_view kIndent = U"　　　　　";
constexpr int kIndentColumns = 5;

// A variable's value as the message shows it: the decimal form with a blank for the sign of
// a value that is not negative, cut to its last two characters, so 123 shows "23".
std::u32string twoCharacterValue(std::int16_t value) {
  std::string digits = std::to_string(value);
  if (value >= 0) digits.insert(digits.begin(), ' ');
  return {static_cast<char32_t>(digits[digits.size() - 2]), static_cast<char32_t>(digits.back())};
}

}  // namespace

// The state of one MESHG call: where the scan stands and where the text cursor is on the page.
class MessageWindow::Writer {
 public:
  Writer(MessageWindow& window, std::u32string_view text, const std::function<void()>& lastPage)
      : w_(window), text_(text), lastPage_(lastPage) {}

  void run() {
    w_.menu_.CMDS(0);
    w_.clear();
    const int widthPx = w_.MES_.rect.w;
    const int heightPx = w_.MES_.rect.h;
    const double points = w_.MES_.fontRequest().points;
    // The window measures itself in points; a pixel is 3/4 of a point at 96 dpi.
    lineWidth_ = static_cast<int>(widthPx * 0.75 / points);
    lastLine_ = static_cast<int>(heightPx * 0.75 / points) - 1;
    delay_ = w_.CharDelay_;
    w_.MesClick = 0;
    if (text_.empty()) return;
    for (pos_ = 0;; ++pos_) {
      const markup::Element element = markup::readElement(text_, pos_);
      pos_ = element.last;
      handle(element);
      if (line_ > lastLine_) newPage();
      if (pos_ + 1 >= text_.size()) break;
    }
    w_.pageComplete();
    lastPageShown();
  }

 private:
  void handle(const markup::Element& e) {
    using markup::Kind;
    switch (e.kind) {
      case Kind::speakerName:
        // Taken as they are: a mark-up character here is part of the name.
        w_.SpeakerName_[static_cast<std::size_t>(e.argument)] = e.name;
        break;
      case Kind::colour:
        w_.TextColor_ = static_cast<std::int16_t>(e.argument);
        setColour(e.argument);
        break;
      case Kind::speed:
        // The delay in force stays: the new speed starts with the next page or message.
        w_.CharDelay_ = static_cast<std::int16_t>(e.argument * 50);
        break;
      case Kind::page:
        newPage();
        break;
      case Kind::lineBreak:
        if (column_ > 0) lineBreak();
        break;
      case Kind::passageOn:
        passage_ = true;
        setColour(kPassageColor);
        break;
      case Kind::passageOff:
        passage_ = false;
        setColour(w_.TextColor_);
        break;
      case Kind::speakerLine:
        speakerLine(e.argument);
        break;
      case Kind::value:
        print(twoCharacterValue(w_.vars_.var(e.argument)));
        ++column_;
        wrapAtLineEnd();
        break;
      case Kind::item:
        showItem(static_cast<std::int16_t>(e.argument));
        break;
      case Kind::text:
        ordinary(static_cast<char32_t>(e.argument));
        break;
    }
  }

  void ordinary(char32_t c) {
    if (!passage_ && column_ == 0) {
      w_.print(kIndent, true);
      column_ = kIndentColumns;
    }
    print(std::u32string_view(&c, 1));
    ++column_;
    if (delay_ > 0 && !w_.skipping() && !w_.resuming_) {
      switch (w_.reading.typing) {
        case TypingSpeed::AsGame:
          w_.TWAIT(delay_);
          break;
        case TypingSpeed::Twice:
          w_.TWAIT(static_cast<std::int16_t>(delay_ / 2));
          break;
        case TypingSpeed::Instant:
          break;
      }
    }
    // A click during typing writes the rest of the page at once.
    if (w_.MesClick == 2) delay_ = 0;
    wrapAtLineEnd();
  }

  void speakerLine(int h) {
    if (column_ > 0) {
      if (line_ == lastLine_) {
        pageWait();
        w_.clear();
        line_ = 0;
      } else {
        w_.MES_.newLine();
        ++line_;
      }
    }
    std::u32string piece = U"「";
    piece += w_.SpeakerName_[static_cast<std::size_t>(h)];
    piece += U"」";
    setColour(kSpeakerColor);
    print(piece);
    setColour(w_.TextColor_);  // also inside a passage
    column_ = kIndentColumns;
  }

  void showItem(std::int16_t item) {
    w_.items_.ItemWait = 0;
    w_.items_.ItemSel = item;
    // The page so far is read before the item it shows.
    w_.pageComplete();
    w_.items_.ITMSET();
    w_.pageWait(false);
    w_.items_.hide();
  }

  void wrapAtLineEnd() {
    if (column_ >= lineWidth_) lineBreak();
  }

  void lineBreak() {
    column_ = 0;
    ++line_;
    w_.MES_.newLine();
  }

  // Every page wait starts the next page at the speed CharDelay says.
  void pageWait() {
    w_.pageWait(true);
    delay_ = w_.CharDelay_;
  }

  void newPage() {
    // The wait at the end of the text shows the message's last page.
    if (pos_ + 1 >= text_.size()) lastPageShown();
    pageWait();
    w_.clear();
    column_ = 0;
    line_ = 0;
  }

  void lastPageShown() {
    if (told_) return;
    told_ = true;
    if (lastPage_) lastPage_();
  }

  void setColour(int index) { w_.MES_.foreColor = kPalette[static_cast<std::size_t>(index)]; }
  void print(std::u32string_view piece) { w_.print(piece); }

  MessageWindow& w_;
  std::u32string_view text_;
  const std::function<void()>& lastPage_;
  bool told_ = false;
  std::size_t pos_ = 0;
  int column_ = 0;
  int line_ = 0;
  int lineWidth_ = 0;
  int lastLine_ = 0;
  std::int16_t delay_ = 0;
  bool passage_ = false;
};

MessageWindow::MessageWindow(Platform& platform, PictureBox& MES, CommandMenu& menu,
                             ItemWindow& items, const Variables& vars,
                             std::function<void(Cursor)> setMousePointer)
    : platform_(platform),
      MES_(MES),
      menu_(menu),
      items_(items),
      vars_(vars),
      setMousePointer_(std::move(setMousePointer)) {}

void MessageWindow::MESHG(std::u32string_view text, bool skippable,
                          const std::function<void()>& lastPageShown) {
  // A bad mark-up ends the message with a ScriptError; the window writes no more then.
  struct Writing {
    MessageWindow& w;
    Writing(MessageWindow& window, bool skippable) : w(window) {
      w.writing_ = true;
      w.skippable_ = skippable;
    }
    ~Writing() {
      w.writing_ = false;
      w.skippable_ = true;
    }
    Writing(const Writing&) = delete;
    Writing& operator=(const Writing&) = delete;
  } writing(*this, skippable);
  pageWaitsOfMessage_ = 0;
  Writer(*this, text, lastPageShown).run();
  // A message shorter than the pages to pass (its script changed) goes on from its end.
  resuming_ = false;
  pagesToPass_ = 0;
  passedAll();
}

void MessageWindow::resume(std::uint32_t pages, std::function<void()> resumed) {
  pagesToPass_ = pages;
  resuming_ = true;
  resumed_ = std::move(resumed);
  // The pages passed were read before; readers hear of the page resumed from its start.
  keptReaders_ = {std::exchange(history_, nullptr), std::exchange(shownText_, nullptr)};
  readersKept_ = true;
  if (pages == 0) passedAll();
}

void MessageWindow::passedAll() {
  if (!readersKept_) return;
  readersKept_ = false;
  history_ = keptReaders_.first;
  shownText_ = keptReaders_.second;
  keptReaders_ = {};
  if (resumed_) std::exchange(resumed_, nullptr)();
}

void MessageWindow::replay(std::u32string_view text) {
  resume(std::numeric_limits<std::uint32_t>::max(), nullptr);
  MESHG(text);
}

GameSnapshot::Writing MessageWindow::attributes() const {
  return {SpeakerName_, CharDelay_, TextColor_, MES_.foreColor};
}

void MessageWindow::setAttributes(const GameSnapshot::Writing& writing) {
  SpeakerName_ = writing.speakerNames;
  CharDelay_ = writing.charDelay;
  TextColor_ = writing.textColor;
  MES_.foreColor = writing.foreColor;
}

void MessageWindow::clear() {
  pageCharacters_ = 0;
  MES_.cls();
  if (history_ != nullptr) history_->cleared();
  if (pageTold_ && shownText_ != nullptr) shownText_->pageGone();
  pageText_.clear();
  pageTold_ = false;
}

void MessageWindow::pageComplete() {
  if (pageTold_ || pageText_.empty()) return;
  pageTold_ = true;
  if (shownText_ != nullptr) shownText_->pageShown(pageText_);
}

void MessageWindow::print(std::u32string_view piece, bool indent) {
  if (history_ != nullptr) history_->printed(MES_.currentX, MES_.currentY, MES_.foreColor, piece);
  if (!indent) {
    // Text added after the page was told (after an item's picture) is read on its own.
    if (pageTold_) {
      if (shownText_ != nullptr) shownText_->pageGone();
      pageText_.clear();
      pageTold_ = false;
    }
    pageText_ += piece;
  }
  for (const char32_t c : piece) pageCharacters_ += c != U'　' && c != U' ';
  MES_.print(piece, MES_.foreColor);
}

void MessageWindow::mouseDown(int button) {
  if (button == kLeftButton) {
    MesClick = 2;
  } else if (button == kRightButton) {
    menu_.CMDS(2);
  }
}

void MessageWindow::TWAIT(std::int16_t ms) {
  // Unsigned differences stay right when the tick count wraps around.
  const std::uint32_t start = platform_.tickCount();
  const auto wanted = static_cast<std::uint32_t>(ms);
  for (;;) {
    if (reading.hold) {
      platform_.waitEvents();
      continue;
    }
    const std::uint32_t elapsed = platform_.tickCount() - start;
    if (elapsed >= wanted || skipping()) return;
    platform_.waitEvents(wanted - elapsed);
  }
}

std::optional<std::uint32_t> MessageWindow::pageLook(bool byItself) const {
  if (reading.hold) return std::nullopt;
  if (skipping()) return kSkipPageMs;
  if (reading.autoAdvance && byItself) {
    return reading.autoBaseMs + reading.autoPerCharacterMs * pageCharacters_;
  }
  return std::nullopt;
}

void MessageWindow::pageWait(bool byItself) {
  const std::uint32_t page = pageWaitsOfMessage_++;
  if (pagesToPass_ > 0) {
    if (--pagesToPass_ == 0) passedAll();
    return;
  }
  resuming_ = false;
  pageComplete();
  MesClick = 0;
  ++pageWaits_;
  setMousePointer_(Cursor::Wait);
  const ScopedFlag atPage(atPage_);
  page_ = page;
  if (waitBegins_) waitBegins_();
  // While skipping or advancing by itself, the page goes on once it has been in sight long
  // enough; holding it, or a change of mode, starts the look again.
  std::optional<std::uint32_t> since;
  std::optional<std::uint32_t> looking;
  while (MesClick == 0) {
    const std::optional<std::uint32_t> look = pageLook(byItself);
    if (look != looking) since.reset();
    looking = look;
    if (!look) {
      platform_.waitEvents();
      continue;
    }
    const std::uint32_t now = platform_.tickCount();
    if (!since) since = now;
    const std::uint32_t shown = now - *since;
    if (shown >= *look) break;
    platform_.waitEvents(*look - shown);
  }
  setMousePointer_(Cursor::Default);
  MesClick = 0;
}

}  // namespace qov
