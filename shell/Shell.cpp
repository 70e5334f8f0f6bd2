#include "shell/Shell.h"

#include <string>
#include <system_error>

#include "engine/ScriptStore.h"
#include "platform/Encoding.h"

namespace qov {

Shell::Shell(Platform& platform, HostedGame& game)
    : platform_(platform),
      game_(game),
      actions_(shellActions()),
      comforts_(platform, game, screens_, actions_),
      keyPlay_(platform, game),
      settingsPage_(platform, screens_, settingsRows()),
      playerMenu_(
          platform, screens_, game,
          {{U"続ける", nullptr},
           {U"設定", [this] { settingsPage_.show(); }},
           {U"キー操作", [this] { static_cast<void>(comforts_.perform(Asked{Action::KeysList})); }},
           {U"終了", [this] { game_.closeRequested(); }}}) {
  screens_.onChange([this] { screensChanged(); });
  platform_.setEventSink(this);
}

Shell::~Shell() {
  platform_.setEventSink(nullptr);
  screens_.onChange(nullptr);
}

int Shell::run() {
  comforts_.start();
  applyAutoDelays();
  return game_.run();
}

void Shell::applyAutoDelays() {
  const PlayerSettings& settings = comforts_.settings();
  keyPlay_.setAutoDelays(static_cast<std::uint32_t>(settings.autoAdvanceMs),
                         static_cast<std::uint32_t>(settings.autoAdvancePerCharacterMs));
}

std::vector<SettingsPage::Row> Shell::settingsRows() {
  constexpr int kDelayStepMs = 500;
  const auto onOff = [](bool on) { return std::u32string(on ? U"オン" : U"オフ"); };
  const auto perform = [this](Action action, int argument = 0) {
    static_cast<void>(comforts_.perform(Asked{action, argument}));
  };
  return {
      {U"音量", [this] { return fromUtf8(std::to_string(comforts_.settings().volume) + " %"); },
       [perform](int step) { perform(Action::Volume, step); }},
      {U"消音", [this, onOff] { return onOff(comforts_.settings().muted); },
       [perform](int) { perform(Action::Mute); }},
      {U"ウィンドウの大きさ",
       [this] { return fromUtf8("×" + std::to_string(platform_.windowScale())); },
       [this, perform](int step) { perform(Action::Scale, platform_.windowScale() + step); }},
      {U"全画面", [this, onOff] { return onOff(platform_.fullscreen()); },
       [perform](int) { perform(Action::Fullscreen); }},
      {U"自動で進める", [this, onOff] { return onOff(keyPlay_.autoAdvance()); },
       [this](int) { keyPlay_.setAutoAdvance(!keyPlay_.autoAdvance()); }},
      {U"自動の待ち",
       [this] {
         const int ms = comforts_.settings().autoAdvanceMs;
         return fromUtf8(std::to_string(ms / 1000) + "." + std::to_string(ms % 1000 / 100) + " 秒");
       },
       [this](int step) {
         comforts_.setAutoAdvanceDelay(comforts_.settings().autoAdvanceMs + step * kDelayStepMs);
         applyAutoDelays();
       }},
  };
}

void Shell::onFocus(const std::function<void(std::u32string_view)>& told) {
  keyPlay_.onFocus(told);
  playerMenu_.onFocus(told);
  settingsPage_.onFocus(told);
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
    if (top == nullptr && (keyPlay_.perform(each) || playerMenu_.perform(each))) return true;
    if (comforts_.perform(each)) return true;
  }
  // While a screen of ours is shown, the game sees nothing.
  return top != nullptr;
}

void Shell::mouseDown(int x, int y, int button) {
  if (take(Press::ofButton(button, x, y))) {
    takenButtons_ |= button;
    return;
  }
  keyPlay_.mouseButton(button, true);
  game_.mouseDown(x, y, button);
}

void Shell::mouseUp(int x, int y, int button) {
  if ((takenButtons_ & button) != 0) {
    takenButtons_ &= ~button;
    return;
  }
  keyPlay_.mouseButton(button, false);
  game_.mouseUp(x, y, button);
}

void Shell::keyDown(const KeyPress& key) {
  comforts_.skip((key.modifiers & kCtrlKey) != 0);
  if (key.key == Key::Control) return;
  if (take(Press::ofKey(key))) return;
  game_.keyDown(key);
}

void Shell::keyUp(const KeyPress& key) {
  comforts_.skip((key.modifiers & kCtrlKey) != 0);
  game_.keyUp(key);
}

void Shell::mouseWheel(int steps) {
  for (; steps > 0; --steps) static_cast<void>(take(Press::ofWheel(1)));
  for (; steps < 0; ++steps) static_cast<void>(take(Press::ofWheel(-1)));
}

void Shell::screensChanged() {
  const bool wanted = screens_.holdsGame() && !game_.openingRuns();
  if (wanted == holding_) return;
  holding_ = wanted;
  game_.holdGame(wanted);
}

void Shell::dropped(const std::filesystem::path& path) {
  std::error_code error;
  const std::filesystem::path absolute =
      path.empty() ? path : std::filesystem::absolute(path, error);
  const std::filesystem::path folder =
      std::filesystem::is_directory(absolute, error) ? absolute : absolute.parent_path();
  if (absolute.empty() || !holdsGame(folder)) {
    game_.notice(U"ゲームのフォルダではありません（" + std::u32string(kFirstScript) +
                 U".QOV がありません）\r\n" + fromUtf8(path.string()));
    return;
  }
  nextGame_ = folder;
  game_.end();
}

// ---- Frame ----

bool Shell::frameChanged() const {
  return game_.frameChanged() || screens_.signature() != presentedScreens_ ||
         keyPlay_.signature() != presentedMarks_;
}

const Image& Shell::composeFrame() {
  const Image& game = game_.composeFrame();
  presentedScreens_ = screens_.signature();
  presentedMarks_ = keyPlay_.signature();
  const bool marks = keyPlay_.marks();
  if (screens_.empty() && !marks) return game;
  frame_ = game;
  if (marks) keyPlay_.draw(frame_);
  screens_.draw(frame_);
  return frame_;
}

}  // namespace qov
