#include "ui/Qov.h"

#include <iostream>
#include <string>
#include <utility>

#include "platform/Encoding.h"
#include "platform/ProgramEnd.h"
#include "ui/WindowImages.h"

namespace qov {

namespace {

constexpr FontRequest kMessageFontAtLoad{FontFace::Gothic, 10.0, false};

// The report's line breaks (CR LF, and the lone CR before the line's text) as the terminal
// shows them, ending in one newline.
std::string forTerminal(std::u32string_view text) {
  std::string out;
  const std::string utf8 = toUtf8(text);
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] == '\r') {
      out += '\n';
      if (i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
    } else {
      out += utf8[i];
    }
  }
  if (out.empty() || out.back() != '\n') out += '\n';
  return out;
}

}  // namespace

Qov::Qov(Platform& platform, std::filesystem::path gameDir,
         std::vector<std::filesystem::path> mediaDirs)
    : platform_(platform),
      controls_(platform),
      items_(controls_, vars_),
      TimerQov_(platform.createTimer(1, [this] { interpreter_.timerqov_Timer(); })),
      menu_(
          platform, controls_.LBcm,
          {&controls_.Label1[0], &controls_.Label1[1], &controls_.Label1[2], &controls_.Label1[3],
           &controls_.Label1[4]},
          items_, vars_, [this](bool enabled) { platform_.setTimerEnabled(TimerQov_, enabled); },
          [this] { return opening_.opTick(); }),
      messages_(platform, controls_.MES, menu_, items_, vars_,
                [this](Cursor cursor) { platform_.setCursor(cursor); }),
      scene_(platform, controls_.Picture1, gameDir),
      music_(platform),
      sounds_(platform, std::move(mediaDirs)),
      opening_(platform, *this, sounds_),
      interpreter_(vars_, *this, gameDir),
      gameDir_(std::move(gameDir)),
      game_(readGameData(platform, gameDir_)) {
  platform_.setTimerEnabled(TimerQov_, false);
  controls_.ITMPicture1.setPicture(std::move(game_.itemSheet));
  messages_.onWait([this] { waitBegins(); });
  menu_.onWait([this] { waitBegins(); });
}

Qov::~Qov() = default;

void Qov::Form_Load() {
  // Centring the window is the platform's part of opening it.
  controls_.MES.setFont(kMessageFontAtLoad);
  menu_.MenuShown = 0;
  // The report names only the script; the terminal learns where it was looked for.
  if (!holdsGame(gameDir_)) {
    std::cerr << "qov: no script \"" << toUtf8(kFirstScript) << "\" (" << toUtf8(kFirstScript)
              << ".QOV) in the game folder " << gameDir_.string() << '\n';
  }
  if (startState_) {
    applyState(*startState_);
    startState_.reset();
  } else {
    interpreter_.load(kFirstScript);
  }
  platform_.setTimerEnabled(TimerQov_, true);
  // The window appears once it is loaded, as a failed start shows only the error report.
  platform_.openWindow(game_.title, game_.icon, game_.cursor);
}

int Qov::run() {
  try {
    Form_Load();
    for (;;) {
      try {
        for (;;) platform_.waitEvents();
      } catch (GoingOn& goOn) {
        applyState(goOn.state);
      }
    }
  } catch (const ProgramEnd& end) {
    return end.exitCode;
  }
}

void Qov::Form_Unload() {
  music_.MUSPL(U"", 9);
  platform_.beep();
  throw ProgramEnd{0};
}

// ---- Host ----

void Qov::MESHG(std::u32string_view text) {
  if (showObserver_) showObserver_(Shown::Message, text);
  if (!resume_ || resume_->wait != GameSnapshot::Wait::Page) {
    message_ = std::make_shared<const GameSnapshot::Message>(GameSnapshot::Message{
        std::u32string(text), messages_.attributes(),
        {vars_.vars(), vars_.itemCounts(), vars_.itemNames()}, items_.ItemSel, items_.ItemWait});
  } else {
    // Going on from a state: the pages before its own were read; the item window's readers
    // hear of the page resumed and after.
    items_.observeText(nullptr);
    messages_.resume(resume_->page, [this] { items_.observeText(textObserver_); });
  }
  if (opening_.running()) {
    place_ = {};
    messages_.MESHG(text);
    return;
  }
  // The line that holds the text: the MES line, or the line FP chose.
  place_ = {interpreter_.store().scriptFile(), interpreter_.lineNo()};
  const MessagePlace place = place_;
  messages_.MESHG(text, !mayskip_ || mayskip_(place), [this, &place] {
    if (read_) read_(place);
  });
}

void Qov::clearMessageWindow() {
  message_.reset();
  messages_.clear();
}

void Qov::CMST(std::int16_t menu, std::u32string_view text) {
  menu_.CMST(menu, text);
}

void Qov::setMenuText(std::int16_t menu, std::int16_t entry, std::u32string_view text) {
  menu_.setMenuText(menu, entry, text);
}

std::int16_t Qov::CMSL(std::int16_t menu) {
  if (resume_ && resume_->wait != GameSnapshot::Wait::Page && resume_->menu == menu) {
    const CommandMenu::Resume inMenu = resume_->inMenu;
    return menu_.CMSL(menu, &inMenu);
  }
  return menu_.CMSL(menu);
}

void Qov::CMDS(std::int16_t mode) {
  menu_.CMDS(mode);
}

void Qov::GHG(std::u32string_view name) {
  if (showObserver_) showObserver_(Shown::Picture, name);
  pictureHash_ = scene_.GHG(name);
  picture_ = name;
}

void Qov::MUSPL(std::u32string_view name, std::int16_t mode) {
  music_.MUSPL(name, mode);
  if (mode == 1) musicPiece_ = name;
  musicMode_ = mode;
}

void Qov::playSound(std::u32string_view name, std::int16_t flags) {
  const bool keeps = (flags & SoundEffects::kNoStop) != 0 && platform_.sound().playing();
  std::u32string file = std::u32string(name) + U".wav";
  sounds_.sndPlaySoundA(file, flags);
  if (keeps) return;
  const bool loops = (flags & SoundEffects::kAsync) != 0 && (flags & SoundEffects::kLoop) != 0;
  loopingSound_ = loops ? std::move(file) : std::u32string();
  loopingSoundFlags_ = loops ? flags : 0;
}

void Qov::OP() {
  if (openingObserver_) openingObserver_(true);
  // Told also when the program ends inside the opening.
  struct Ended {
    const std::function<void(bool)>& observer;
    ~Ended() {
      if (observer) observer(false);
    }
  } ended{openingObserver_};
  opening_.OP();
}

void Qov::unload() {
  endedByScript_ = true;
  Form_Unload();
}

void Qov::showErrorReport(std::u32string_view report) {
  std::cerr << forTerminal(report) << std::flush;
  platform_.messageBox("Qov ERROR", toUtf8(report), MessageIcon::Stop);
}

void Qov::showNotice(std::u32string_view text) {
  std::cerr << forTerminal(text) << std::flush;
  if (noticeHook_) {
    noticeHook_(text);
  } else {
    platform_.messageBox(game_.title, toUtf8(text), MessageIcon::Information);
  }
}

// ---- Input ----

void Qov::mouseDown(int x, int y, int button) {
  if (heldButtons_ == 0) captured_ = controls_.form.hitTest(x, y);
  heldButtons_ |= button;
  if (captured_ != nullptr) dispatchMouseDown(*captured_, button);
}

void Qov::mouseUp(int x, int y, int button) {
  Control* const target = captured_;
  heldButtons_ &= ~button;
  if (heldButtons_ == 0) captured_ = nullptr;
  if (target != nullptr) dispatchMouseUp(*target, x, y, button);
}

void Qov::dispatchMouseDown(Control& target, int button) {
  WindowControls& c = controls_;
  if (&target == &c.Picture1 || &target == &c.MES) {
    messages_.mouseDown(button);
  } else if (&target == &c.LBcm) {
    menu_.LBcm_MouseDown(button);
  } else if (Button* pushed = itemButton(target)) {
    if (button == kLeftButton) {
      pushed->pressed = true;
      c.focus = pushed;
    }
  } else {
    for (int i = 0; i < static_cast<int>(c.Label1.size()); ++i) {
      if (&target == &c.Label1[static_cast<std::size_t>(i)]) menu_.Label1_MouseDown(i, button);
    }
  }
  // ITEM and ITMLabel1 have no handlers: a click on them reaches nothing.
}

void Qov::dispatchMouseUp(Control& target, int x, int y, int button) {
  WindowControls& c = controls_;
  if (&target == &c.LBcm) {
    menu_.LBcm_MouseUp(button);
  } else if (Button* pushed = itemButton(target)) {
    // A click is a left press and release on the same button.
    if (button == kLeftButton && pushed->pressed) {
      pushed->pressed = false;
      if (pushed->shown() && pushed->visibleFrameRect().contains(x, y)) click(*pushed);
    }
  } else {
    for (int i = 0; i < static_cast<int>(c.Label1.size()); ++i) {
      if (&target == &c.Label1[static_cast<std::size_t>(i)]) menu_.Label1_MouseUp(i, button);
    }
  }
}

void Qov::cancelPresses() {
  captured_ = nullptr;
  heldButtons_ = 0;
  WindowControls& c = controls_;
  for (Button* b : {&c.ITMCommand1, &c.ITMCommand2, &c.ITMCommand3[0], &c.ITMCommand3[1]}) {
    b->pressed = false;
  }
  menu_.cancelPress();
}

Button* Qov::itemButton(Control& control) {
  WindowControls& c = controls_;
  for (Button* b : {&c.ITMCommand1, &c.ITMCommand2, &c.ITMCommand3[0], &c.ITMCommand3[1]}) {
    if (&control == b) return b;
  }
  return nullptr;
}

void Qov::click(Button& button) {
  WindowControls& c = controls_;
  if (&button == &c.ITMCommand1) {
    items_.ITMCommand1_Click();
  } else if (&button == &c.ITMCommand2) {
    items_.ITMCommand2_Click();
  } else if (&button == &c.ITMCommand3[0]) {
    items_.ITMCommand3_Click(0);
  } else if (&button == &c.ITMCommand3[1]) {
    items_.ITMCommand3_Click(1);
  }
}

void Qov::keyDown(const KeyPress& key) {
  if (!items_.selecting()) return;
  if (key.key == Key::Enter) items_.ITMCommand1_Click();
  if (key.key == Key::Escape) items_.ITMCommand2_Click();
}

void Qov::keyUp(const KeyPress& /*key*/) {}

void Qov::mouseWheel(int /*steps*/) {}

void Qov::holdGame(bool on) {
  messages_.reading.hold = on;
  // Inside a wait the writer holds itself; between ticks the interpreter's timer stops.
  if (on) {
    timerHeld_ = platform_.timerEnabled(TimerQov_);
    if (timerHeld_) platform_.setTimerEnabled(TimerQov_, false);
  } else if (timerHeld_) {
    timerHeld_ = false;
    platform_.setTimerEnabled(TimerQov_, true);
  }
}

void Qov::observeText(ShownTextObserver* observer) {
  textObserver_ = observer;
  messages_.observeText(observer);
  menu_.observeText(observer);
  items_.observeText(observer);
}

void Qov::setAutoAdvance(bool on, std::uint32_t baseMs, std::uint32_t perCharacterMs) {
  messages_.reading.autoAdvance = on;
  messages_.reading.autoBaseMs = baseMs;
  messages_.reading.autoPerCharacterMs = perCharacterMs;
}

GameWait Qov::wait() const {
  const WindowControls& c = controls_;
  GameWait w;
  w.serial = messages_.pageWaits() + menu_.pagesShown();
  w.message = c.MES.visibleFrameRect();
  if (items_.selecting()) {
    w.kind = GameWait::Kind::Items;
    w.previous = c.ITMCommand3[0].visibleFrameRect();
    w.next = c.ITMCommand3[1].visibleFrameRect();
  } else if (messages_.writing()) {
    w.kind = GameWait::Kind::Message;
    w.place = place_;
  } else if (menu_.choosing()) {
    w.kind = GameWait::Kind::Menu;
    if (c.LBcm.shown()) {
      w.menu.push_back({c.LBcm.visibleFrameRect(), c.LBcm.caption});
      for (const Label& entry : c.Label1) {
        if (entry.shown() && !entry.caption.empty()) {
          w.menu.push_back({entry.visibleFrameRect(), entry.caption});
        }
      }
    }
  }
  return w;
}

void Qov::closeRequested() {
  Form_Unload();
}

// ---- Frame ----

bool Qov::frameChanged() const {
  // Going on from a state shows nothing until its wait has been reached.
  if (resume_) return false;
  return controls_.form.signature() != presentedSignature_;
}

const Image& Qov::composeFrame() {
  if (frame_.empty()) frame_ = Image(WindowControls::kWidth, WindowControls::kHeight);
  controls_.form.draw(frame_);
  presentedSignature_ = controls_.form.signature();
  return frame_;
}

void Qov::drawFrame(Image& into) const {
  if (into.width() != WindowControls::kWidth || into.height() != WindowControls::kHeight) {
    into = Image(WindowControls::kWidth, WindowControls::kHeight);
  }
  controls_.form.draw(into);
}

}  // namespace qov
