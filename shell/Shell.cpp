#include "shell/Shell.h"

#include <algorithm>
#include <string>
#include <system_error>

#include <iostream>
#include "engine/ScriptStore.h"
#include "platform/Encoding.h"

namespace qov {

namespace fs = std::filesystem;

Shell::Shell(Platform& platform, HostedGame& game)
    : platform_(platform),
      game_(game),
      actions_(shellActions()),
      comforts_(platform, game, screens_, actions_),
      textOut_(platform, game, comforts_) {
  screens_.onChange([this] { screensChanged(); });
  textOut_.notifyTo([this](const std::vector<std::u32string>& lines) { postNotice(lines); });
  game_.setOpeningObserver([this](bool running) { openingChanged(running); });
  game_.setNoticeHook([this](std::u32string_view text) { showNotice(text); });
  platform_.setEventSink(this);
}

Shell::~Shell() {
  posted_.clear();
  platform_.setEventSink(nullptr);
  game_.setNoticeHook(nullptr);
  game_.setOpeningObserver(nullptr);
  screens_.onChange(nullptr);
}

int Shell::run() {
  comforts_.start();
  textOut_.start();
  const int code = game_.run();
  comforts_.settle();
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

// ---- Input ----

bool Shell::take(const Press& press) {
  const std::optional<Asked> asked = actions_.match(press);
  Screen* const top = screens_.top();
  if (top != nullptr && top->take(press, asked)) return true;
  const bool taken = asked && (textOut_.perform(*asked) || comforts_.perform(*asked));
  // While a screen of ours is shown, the game sees nothing.
  return taken || top != nullptr;
}

void Shell::mouseDown(int x, int y, int button) {
  if (take(Press::ofButton(button))) {
    takenButtons_ |= button;
    return;
  }
  gameButtons_ |= button;
  game_.mouseDown(x, y, button);
}

void Shell::mouseUp(int x, int y, int button) {
  if ((takenButtons_ & button) != 0) {
    takenButtons_ &= ~button;
    return;
  }
  if ((gameButtons_ & button) == 0) return;  // its press was taken from the game
  gameButtons_ &= ~button;
  game_.mouseUp(x, y, button);
}

void Shell::keyDown(const KeyPress& key) {
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
  const bool skipping = (key.modifiers & kCtrlKey) != 0 && !otherKey;
  comforts_.skip(skipping);
  textOut_.skip(skipping);
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
    postNotice({U"ゲームのフォルダではありません（" + std::u32string(kFirstScript) +
                    U".QOV がありません）",
                fromUtf8(path.string())});
    return;
  }
  nextGame_ = folder;
  game_.end();
}

// ---- Frame ----

bool Shell::frameChanged() const {
  return game_.frameChanged() || screens_.signature() != presentedScreens_;
}

const Image& Shell::composeFrame() {
  const Image& game = game_.composeFrame();
  presentedScreens_ = screens_.signature();
  if (screens_.empty()) return game;
  frame_ = game;
  screens_.draw(frame_);
  return frame_;
}

}  // namespace qov
