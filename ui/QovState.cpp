// The main window's save states: what it shows and plays, taken at a wait and put back.
#include <string>
#include <utility>

#include "engine/MenuDefinition.h"
#include "platform/Encoding.h"
#include "ui/Qov.h"

namespace qov {

namespace {

// The command that a state's line must hold for the state to go on at its wait.
bool waitsThere(const GameSnapshot& state) {
  const auto& lines = *state.lines;
  if (state.lineNo < 1 || static_cast<std::size_t>(state.lineNo) >= lines.size()) return false;
  const std::u32string& line = lines[static_cast<std::size_t>(state.lineNo)];
  const std::u32string_view word = std::u32string_view(line).substr(0, line.find(U','));
  if (state.wait != GameSnapshot::Wait::Page) return word == U"CMSL";
  return word == U"MES" || word == U"FP";
}

}  // namespace

std::optional<GameSnapshot> Qov::snapshot() const {
  if (opening_.running() || resume_) return std::nullopt;
  GameSnapshot s;
  if (messages_.atPage()) {
    s.wait = GameSnapshot::Wait::Page;
    s.page = messages_.page();
  } else if (menu_.choosingItem()) {
    s.wait = GameSnapshot::Wait::Items;
    s.menuLabel = menu_.itemLabel();
  } else if (menu_.choosing()) {
    s.wait = GameSnapshot::Wait::Menu;
  } else {
    return std::nullopt;
  }
  if (s.wait != GameSnapshot::Wait::Page) {
    s.menu = menu_.startMenu();
    s.menuPage = menu_.currentPage();
  }
  const ScriptStore& store = interpreter_.store();
  s.lines = store.texts();
  s.scriptFile = store.scriptFile();
  // The waiting command's own line, which runs again to go on (FP has moved LineNo).
  s.lineNo = interpreter_.commandLine();
  s.caseEndLine = store.caseEndLine();
  s.returnLine = interpreter_.returnLine();
  s.memory = {vars_.vars(), vars_.itemCounts(), vars_.itemNames()};
  s.menuText = menu_.MenuText;
  s.menuShown = menu_.MenuShown;
  s.header = menu_.header();
  s.entries = menu_.entries();
  s.writing = messages_.attributes();
  s.message = message_;
  s.itemSel = items_.ItemSel;
  s.itemWait = items_.ItemWait;
  s.picture = picture_;
  s.pictureHash = pictureHash_;
  s.musicPiece = musicPiece_;
  s.musicMode = musicMode_;
  s.loopingSound = loopingSound_;
  s.loopingSoundFlags = loopingSoundFlags_;
  return s;
}

std::optional<std::string> Qov::refusal(const GameSnapshot& state) const {
  if (opening_.running()) return "the opening is playing";
  if (!state.lines || state.lines->size() != ScriptStore::kMaxLines + 1) {
    return "its script lines are not complete";
  }
  if (!waitsThere(state)) return "its line holds no command that waits for the player";
  if (state.wait == GameSnapshot::Wait::Page && !state.message) return "it has no message";
  const auto colourKnown = [](const GameSnapshot::Writing& w) {
    return w.textColor >= 0 && w.textColor < static_cast<int>(MessageWindow::kPalette.size());
  };
  if (!colourKnown(state.writing) || (state.message && !colourKnown(state.message->writing))) {
    return "its text colour is not one of the window's";
  }
  const auto inRange = [](int value, int count) { return value >= 0 && value < count; };
  if (state.wait != GameSnapshot::Wait::Page &&
      (!inRange(state.menu, menus::kMenuCount) || !inRange(state.menuPage, menus::kMenuCount) ||
       !inRange(state.menuLabel, menus::kEntryCount))) {
    return "its menu is not one of the ten";
  }
  if (!state.picture.empty()) {
    const std::optional<std::uint64_t> hash = scene_.fileHash(state.picture);
    if (!hash) return "its picture " + toUtf8(state.picture) + ".SZG is gone";
    if (*hash != state.pictureHash) return "its picture " + toUtf8(state.picture) + ".SZG changed";
  }
  return std::nullopt;
}

void Qov::restore(GameSnapshot state) {
  throw GoingOn{std::move(state)};
}

void Qov::applyState(const GameSnapshot& s) {
  cancelPresses();
  interpreter_.store().restore(s.lines, s.scriptFile, s.lineNo, s.caseEndLine);
  interpreter_.setReturnLine(s.returnLine);

  menu_.MenuText = s.menuText;
  menu_.setCaptions(s.header, s.entries);
  menu_.setShown(false);
  items_.hide();

  // The message window as its message left it: written again from its start, the values it
  // showed with it; the page of a page wait is written when its MES goes on.
  const auto assignMemory = [this](const GameSnapshot::Memory& m) {
    vars_.assign(m.vars, m.itemCounts, m.itemNames);
  };
  message_ = s.message;
  if (s.message) {
    messages_.setAttributes(s.message->writing);
    assignMemory(s.message->memory);
    items_.ItemSel = s.message->itemSel;
    items_.ItemWait = s.message->itemWait;
  }
  if (s.wait != GameSnapshot::Wait::Page) {
    if (s.message) {
      messages_.replay(s.message->text);
      items_.hide();
    } else {
      messages_.clear();
    }
    messages_.setAttributes(s.writing);
    assignMemory(s.memory);
    items_.ItemSel = s.itemSel;
    items_.ItemWait = s.itemWait;
  }

  picture_ = s.picture;
  pictureHash_ = s.pictureHash;
  if (s.picture.empty()) {
    scene_.clear();
  } else {
    scene_.GHG(s.picture);
  }

  // The piece playing plays on when the state plays it too (a return to an earlier page).
  const bool samePiece = musicMode_ == 1 && s.musicMode == 1 && musicPiece_ == s.musicPiece;
  if (!samePiece) {
    if (musicMode_ == 1) music_.MUSPL(U"", 0);
    if (!s.musicPiece.empty() && s.musicMode != 0) {
      music_.MUSPL(s.musicPiece, 1);
      if (s.musicMode != 1) music_.MUSPL(U"", s.musicMode);
    }
  }
  musicPiece_ = s.musicPiece;
  musicMode_ = s.musicMode;
  if (platform_.sound().playing()) platform_.sound().stop();
  loopingSound_ = s.loopingSound;
  loopingSoundFlags_ = s.loopingSoundFlags;
  if (!s.loopingSound.empty()) sounds_.sndPlaySoundA(s.loopingSound, s.loopingSoundFlags);

  Resume resume;
  resume.wait = s.wait;
  resume.page = s.page;
  resume.menu = s.menu;
  resume.inMenu.page = s.menuPage;
  if (s.wait == GameSnapshot::Wait::Items) resume.inMenu.itemLabel = s.menuLabel;
  resume.itemSel = s.itemSel;
  resume.menuShown = s.menuShown;
  resume_ = resume;
  platform_.setCursor(Cursor::Default);
  platform_.setTimerEnabled(TimerQov_, true);
}

void Qov::waitBegins() {
  if (resume_) {
    if (resume_->wait == GameSnapshot::Wait::Items) items_.select(resume_->itemSel);
    menu_.setShown(resume_->menuShown != 0);
    resume_.reset();
  }
  if (waitObserver_) waitObserver_();
}

}  // namespace qov
