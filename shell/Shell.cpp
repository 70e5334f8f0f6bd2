#include "shell/Shell.h"

#include <algorithm>
#include <iostream>
#include <string>
#include <system_error>
#include <utility>

#include "engine/ScriptStore.h"
#include "platform/Encoding.h"
#include "shell/Words.h"

namespace qov {

namespace fs = std::filesystem;

Shell::Shell(Platform& platform, HostedGame& game)
    : platform_(platform),
      game_(game),
      actions_(shellActions()),
      comforts_(platform, game, screens_, actions_),
      textOut_(platform, game, comforts_,
               [this](const std::vector<std::u32string>& lines) { postNotice(lines); }),
      keyPlay_(platform, game),
      settingsPage_(platform, screens_, settingsRows()),
      states_(platform, game, screens_,
              [this](const std::vector<std::u32string>& lines) { postNotice(lines); }),
      playerMenu_(platform, screens_, game,
                  {{later(U"Continue"), nullptr},
                   {later(U"Save"), [this] { states_.showSlots(true); }},
                   {later(U"Load"), [this] { states_.showSlots(false); }},
                   {later(U"Settings"), [this] { settingsPage_.show(); }},
                   {later(U"Keys"),
                    [this] { static_cast<void>(comforts_.perform(Asked{Action::KeysList})); }},
                   {later(U"Game library"),
                    [this] {
                      libraryNext_ = true;
                      states_.autosave();
                      game_.end();
                    }},
                   {later(U"Quit"), [this] { closeRequested(); }}}),
      seenPages_(platform),
      soundFonts_(platform, comforts_,
                  [this](const std::vector<std::u32string>& lines) { postNotice(lines); }),
      // In the background: a repeat does not by itself end a wait of the game's.
      padRepeat_(platform.createTimer(
          kPadRepeatMs, [this] { repeatPad(); }, true)) {
  screens_.onChange([this] { screensChanged(); });
  // The entry the keys move to is spoken, as the game's own menu is when it appears.
  const auto focused = [this](std::u32string_view caption) {
    textOut_.menuFocused(caption);
    if (focusTold_) focusTold_(caption);
  };
  keyPlay_.onFocus(focused);
  playerMenu_.onFocus(focused);
  settingsPage_.onFocus(focused);
  playerMenu_.onOpen([this](std::u32string_view heading, std::span<const std::u32string> entries) {
    textOut_.announceMenu(heading, entries);
  });
  game_.setOpeningObserver([this](bool running) { openingChanged(running); });
  game_.setNoticeHook([this](std::u32string_view text) { showNotice(text); });
  states_.setPageText([this] { return textOut_.page(); });
  // Each wait for the player: a page of the history to return to, a state for the autosave.
  game_.setWaitObserver([this] {
    comforts_.waitBegan();
    states_.waitBegun();
  });
  // Skipping only what was read passes over the messages seen in an earlier play or this one.
  game_.setReadingLog(
      [this](const MessagePlace& place) {
        return !comforts_.settings().skipReadOnly || seenPages_.seen(place);
      },
      [this](const MessagePlace& place) { seenPages_.mark(place); });
  platform_.setEventSink(this);
}

Shell::~Shell() {
  platform_.setTimerEnabled(padRepeat_, false);
  posted_.clear();
  platform_.setEventSink(nullptr);
  game_.setReadingLog(nullptr, nullptr);
  game_.setNoticeHook(nullptr);
  game_.setOpeningObserver(nullptr);
  game_.setWaitObserver(nullptr);
  screens_.onChange(nullptr);
}

int Shell::run() {
  comforts_.start();
  textOut_.start();
  applyAutoDelays();
  seenPages_.open(SeenPages::fileFor(platform_.dataFolder(), game_.folder()));
  soundFonts_.start();
  const int code = game_.run();
  comforts_.settle();
  seenPages_.settle();
  return code;
}

void Shell::showNotice(std::u32string_view text) {
  textOut_.announce(text);
  // Standard error has said it; where no one sees the window, nobody can close it.
  if (!platform_.windowSeen()) return;
  NoticeScreen notice(platform_, screens_, text);
  notice.wait();
}

void Shell::postNotice(const std::vector<std::u32string>& lines) {
  std::u32string text;
  for (const std::u32string& line : lines) {
    std::cerr << toUtf8(line) << '\n';
    text += (text.empty() ? U"" : U"\r\n") + line;
  }
  std::cerr << std::flush;
  if (!lines.empty()) textOut_.announce(lines.front());
  if (!platform_.windowSeen()) return;
  posted_.remove_if([](const std::unique_ptr<NoticeScreen>& n) { return !n->open(); });
  posted_.push_back(std::make_unique<NoticeScreen>(platform_, screens_, text));
}

void Shell::applyAutoDelays() {
  const PlayerSettings& settings = comforts_.settings();
  keyPlay_.setAutoDelays(static_cast<std::uint32_t>(settings.autoAdvanceMs),
                         static_cast<std::uint32_t>(settings.autoAdvancePerCharacterMs));
}

std::vector<SettingsPage::Row> Shell::settingsRows() {
  constexpr int kDelayStepMs = 500;
  const auto onOff = [](bool on) { return on ? tr(U"On") : tr(U"Off"); };
  const auto perform = [this](Action action, int argument = 0) {
    static_cast<void>(comforts_.perform(Asked{action, argument}));
  };
  return {
      {later(U"Volume"),
       [this] { return fromUtf8(std::to_string(comforts_.settings().volume) + " %"); },
       [perform](int step) { perform(Action::Volume, step); }},
      {later(U"Mute"), [this, onOff] { return onOff(comforts_.settings().muted); },
       [perform](int) { perform(Action::Mute); }},
      {later(U"Window size"),
       [this] { return fromUtf8("×" + std::to_string(platform_.windowScale())); },
       [this, perform](int step) { perform(Action::Scale, platform_.windowScale() + step); }},
      {later(U"Fullscreen"), [this, onOff] { return onOff(platform_.fullscreen()); },
       [perform](int) { perform(Action::Fullscreen); }},
      {later(U"Auto-advance"), [this, onOff] { return onOff(keyPlay_.autoAdvance()); },
       [this](int) { keyPlay_.setAutoAdvance(!keyPlay_.autoAdvance()); }},
      {later(U"Auto-advance delay"),
       [this] {
         const int ms = comforts_.settings().autoAdvanceMs;
         return fill(tr(U"{} s"),
                     {fromUtf8(std::to_string(ms / 1000) + "." + std::to_string(ms % 1000 / 100))});
       },
       [this](int step) {
         comforts_.changeSettings([step](PlayerSettings& s) {
           s.autoAdvanceMs = std::clamp(s.autoAdvanceMs + step * kDelayStepMs, 0, 60000);
         });
         applyAutoDelays();
       }},
      {later(U"Music volume"),
       [this] { return fromUtf8(std::to_string(comforts_.settings().musicVolume) + " %"); },
       [this](int step) { comforts_.changeMixLevel(true, step); }},
      {later(U"Effects volume"),
       [this] { return fromUtf8(std::to_string(comforts_.settings().effectsVolume) + " %"); },
       [this](int step) { comforts_.changeMixLevel(false, step); }},
      {later(U"Text speed"),
       [this] {
         switch (comforts_.settings().typing) {
           case TypingSpeed::Twice:
             return tr(U"Twice as fast");
           case TypingSpeed::Instant:
             return tr(U"At once");
           default:
             return tr(U"As the game says");
         }
       },
       [this](int step) {
         comforts_.changeSettings([step](PlayerSettings& s) {
           s.typing = static_cast<TypingSpeed>((static_cast<int>(s.typing) + 3 + step) % 3);
         });
         game_.setTypingSpeed(comforts_.settings().typing);
       }},
      {later(U"Skip"),
       [this] {
         return comforts_.settings().skipReadOnly ? tr(U"Read text only") : tr(U"All text");
       },
       [this](int) {
         comforts_.changeSettings([](PlayerSettings& s) { s.skipReadOnly = !s.skipReadOnly; });
       }},
      {later(U"Soundfont"), [this] { return soundFonts_.shown(); },
       [this](int step) { soundFonts_.step(step); }},
      languageRow(),
  };
}

SettingsPage::Row Shell::languageRow() {
  // Named in both languages, so that a player who cannot read the one shown finds it.
  static constexpr Language kOrder[] = {Language::Automatic, Language::Japanese, Language::English};
  return {U"言語 / Language",
          [this] {
            switch (comforts_.settings().language) {
              case Language::Japanese:
                return std::u32string(U"日本語");
              case Language::English:
                return std::u32string(U"English");
              case Language::Automatic:
                break;
            }
            return tr(U"Automatic");
          },
          [this](int step) {
            const auto at =
                std::find(std::begin(kOrder), std::end(kOrder), comforts_.settings().language) -
                std::begin(kOrder);
            const Language next = kOrder[(at + 3 + step % 3) % 3];
            comforts_.changeSettings([next](PlayerSettings& s) { s.language = next; });
            useLanguage(next);
          }};
}

void Shell::onFocus(std::function<void(std::u32string_view)> told) {
  focusTold_ = std::move(told);
}

// ---- Input ----

bool Shell::take(const Press& press) {
  const std::vector<Asked> asked = actions_.matches(press);
  Screen* const top = screens_.top();
  if (top != nullptr &&
      top->take(press, asked.empty() ? std::nullopt : std::optional<Asked>(asked.front()))) {
    return true;
  }
  for (const Asked& each : asked) {
    // The game's waits answer keys only while no screen of ours is over the game.
    if (top == nullptr &&
        (keyPlay_.perform(each) || playerMenu_.perform(each) || states_.perform(each))) {
      return true;
    }
    if (textOut_.perform(each) || comforts_.perform(each)) return true;
  }
  // While a screen of ours is shown, the game sees nothing.
  return top != nullptr;
}

void Shell::mouseDown(int x, int y, int button) {
  comforts_.padInUse(false);
  if (take(Press::ofButton(button, x, y))) {
    takenButtons_ |= button;
    return;
  }
  gameButtons_ |= button;
  keyPlay_.mouseButton(button, true);
  game_.mouseDown(x, y, button);
}

void Shell::mouseUp(int x, int y, int button) {
  keyPlay_.mouseButton(button, false);
  if ((takenButtons_ & button) != 0) {
    takenButtons_ &= ~button;
    return;
  }
  if ((gameButtons_ & button) == 0) return;  // its press was taken from the game
  gameButtons_ &= ~button;
  game_.mouseUp(x, y, button);
}

void Shell::keyDown(const KeyPress& key) {
  comforts_.padInUse(false);
  updateSkip(key, true);
  if (key.key == Key::Control) return;
  if (take(Press::ofKey(key))) return;
  game_.keyDown(key);
}

void Shell::keyUp(const KeyPress& key) {
  updateSkip(key, false);
  game_.keyUp(key);
}

void Shell::updateSkip(const KeyPress& key, bool pressed) {
  if (key.key != Key::Control && !key.repeat) {
    int& held = keysHeld_[static_cast<std::size_t>(key.key)];
    held = pressed ? held + 1 : std::max(0, held - 1);
  }
  const bool otherKey =
      std::any_of(keysHeld_.begin(), keysHeld_.end(), [](int n) { return n > 0; });
  keySkip_ = (key.modifiers & kCtrlKey) != 0 && !otherKey;
  applySkip();
}

void Shell::applySkip() {
  const bool skipping = keySkip_ || padSkip_;
  comforts_.skip(skipping);
  textOut_.skip(skipping);
}

void Shell::closeRequested() {
  states_.autosave();
  game_.closeRequested();
}

void Shell::padDown(PadButton button) {
  comforts_.padInUse(true);
  if (button == PadButton::RB) {
    padSkip_ = true;
    applySkip();
  }
  if (button == PadButton::Up || button == PadButton::Down || button == PadButton::Left ||
      button == PadButton::Right) {
    padRepeating_ = button;
    platform_.setTimerEnabled(padRepeat_, true);
    platform_.delayNextTick(padRepeat_, kPadRepeatDelayMs);
  }
  if (take(Press::ofPad(button))) return;
  if (button == PadButton::A) {
    game_.keyDown(KeyPress{Key::Enter});
    game_.keyUp(KeyPress{Key::Enter});
  }
}

void Shell::padUp(PadButton button) {
  if (button == PadButton::RB) {
    padSkip_ = false;
    applySkip();
  }
  if (padRepeating_ == button) {
    padRepeating_.reset();
    platform_.setTimerEnabled(padRepeat_, false);
  }
}

void Shell::repeatPad() {
  if (padRepeating_) static_cast<void>(take(Press::ofPad(*padRepeating_, true)));
}

void Shell::mouseWheel(int steps) {
  for (; steps > 0; --steps) static_cast<void>(take(Press::ofWheel(1)));
  for (; steps < 0; ++steps) static_cast<void>(take(Press::ofWheel(-1)));
}

// ---- Screens ----

void Shell::screensChanged() {
  // A press the game saw before a screen opened is never released to it.
  if (!screens_.empty() && gameButtons_ != 0) {
    takenButtons_ |= gameButtons_;
    gameButtons_ = 0;
    game_.cancelPresses();
  }
  const bool wanted = screens_.holdsGame() && !game_.openingRuns();
  if (wanted == holding_) return;
  holding_ = wanted;
  game_.holdGame(wanted);
}

void Shell::openingChanged(bool running) {
  // The opening is a timed show: the history stays closed from its start to its end, and the
  // keys list, which cannot hold it, goes with it.
  comforts_.closeOverlays();
  if (!running) screensChanged();
}

void Shell::dropped(const fs::path& path) {
  std::error_code error;
  const bool named = !path.empty() && path.is_absolute() && fs::exists(path, error);
  const fs::path folder = fs::is_directory(path, error) ? path : path.parent_path();
  if (!named || !holdsGame(folder)) {
    postNotice({fill(tr(U"Not a game folder (there is no {}.QOV)"), {kFirstScript}),
                fromUtf8(path.string())});
    return;
  }
  nextGame_ = folder;
  states_.autosave();
  game_.end();
}

// ---- Frame ----

bool Shell::frameChanged() const {
  return game_.frameChanged() || screens_.signature() != presentedScreens_ ||
         keyPlay_.signature() != presentedMarks_ || states_.toastSignature() != presentedToast_;
}

const Image& Shell::composeFrame() {
  const Image& game = game_.composeFrame();
  presentedScreens_ = screens_.signature();
  presentedMarks_ = keyPlay_.signature();
  presentedToast_ = states_.toastSignature();
  const bool marks = keyPlay_.marks();
  if (screens_.empty() && !marks && states_.toastText().empty()) return game;
  frame_ = game;
  if (marks) keyPlay_.draw(frame_);
  screens_.draw(frame_);
  states_.drawToast(frame_);
  return frame_;
}

}  // namespace qov
