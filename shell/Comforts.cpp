#include "shell/Comforts.h"

#include <algorithm>
#include <array>
#include <ctime>
#include <iostream>
#include <system_error>

#include "platform/Encoding.h"
#include "shell/Words.h"

namespace qov {

namespace fs = std::filesystem;

namespace {

constexpr int kVolumeStep = 10;
constexpr int kLargestScaleKey = 4;

// The longest file name that ext4, FAT, exFAT and NTFS all take, in bytes of UTF-8.
constexpr std::size_t kLongestName = 255;

// `caption`, then `ending`, as a file name that every file system a pictures folder may live on
// takes (a USB stick or a Windows partition refuses more than ext4 does): no control
// characters, none of / \ : * ? " < > |, no leading dot or blank, and at most kLongestName
// bytes, the caption cut at a character so that `ending` is kept whole.
std::string fileNameOf(const std::string& caption, const std::string& ending) {
  std::u32string name;
  for (const char32_t c : fromUtf8(caption)) {
    const bool refused = c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0) ||
                         std::u32string_view(U"/\\:*?\"<>|").find(c) != std::u32string_view::npos;
    if (name.empty() && (c == U'.' || c == U' ' || c == U'\u3000')) continue;
    name += refused ? U'_' : c;
  }
  if (name.empty()) name = U"qov";
  std::string bytes;
  for (const char32_t c : name) {
    const std::string one = toUtf8(std::u32string_view(&c, 1));
    if (bytes.size() + one.size() + ending.size() > kLongestName) break;
    bytes += one;
  }
  return bytes + ending;
}

std::string localTimestamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::array<char, 32> text{};
  const std::size_t n = std::strftime(text.data(), text.size(), "%Y%m%d-%H%M%S", &local);
  return std::string(text.data(), n);
}

}  // namespace

Comforts::Comforts(Platform& platform, HostedGame& game, ScreenStack& screens,
                   const ActionTable& actions)
    : platform_(platform),
      game_(game),
      screens_(screens),
      actions_(actions),
      historyScreen_(platform, game.messageWindow(), [this] { returnToPage(); }),
      keys_(platform, screens),
      settleTimer_(platform.createTimer(
          kSettleMs, [this] { settle(); }, true)) {
  game_.recordPages(&history_);
}

Comforts::~Comforts() {
  settle();
  platform_.setTimerEnabled(settleTimer_, false);
  game_.recordPages(nullptr);
  screens_.pop(keys_);
  screens_.pop(historyScreen_);
}

void Comforts::start() {
  settingsFile_ = platform_.settingsFile();
  if (!settingsFile_.empty()) {
    PlayerSettings::Read read = PlayerSettings::read(settingsFile_);
    if (read.problem) std::cerr << "qov: " << *read.problem << '\n' << std::flush;
    settings_ = read.settings;
  }
  written_ = settings_;
  if (settings_.scale) settings_.scale = platform_.setWindowScale(*settings_.scale);
  platform_.setFullscreen(settings_.fullscreen);
  applyVolume();
  game_.setTypingSpeed(settings_.typing);
}

bool Comforts::perform(const Asked& asked) {
  switch (asked.action) {
    case Action::GoOn:
    case Action::Cancel:
    case Action::Choose:
    case Action::RightClick:
    case Action::AutoAdvance:
      return false;  // the game's waits answer to them
    default:
      break;
  }
  // A key held down repeats only the actions that are made for it; it is still theirs.
  if (asked.again) return true;
  switch (asked.action) {
    case Action::Skip:
      return true;
    case Action::HistoryBack:
      historyBack();
      return true;
    case Action::HistoryForward:
      if (!historyOpen()) return false;
      historyForward();
      return true;
    case Action::HistoryClose:
      if (!historyOpen()) return false;
      closeHistory();
      return true;
    case Action::Screenshot:
      static_cast<void>(screenshot());
      return true;
    case Action::Scale:
      setScale(asked.argument);
      return true;
    case Action::Fullscreen:
      toggleFullscreen();
      return true;
    case Action::Volume:
      changeVolume(asked.argument);
      return true;
    case Action::Mute:
      toggleMute();
      return true;
    case Action::KeysList:
      keys_.show(actions_.keysPage(padInUse_), status(), padInUse_);
      return true;
    default:
      break;  // the page's readers' (TextOut), the keys at the game's waits (KeyPlay), the
              // player's menu (Shell)
  }
  return false;
}

void Comforts::skip(bool on) {
  game_.setSkip(on);
}

void Comforts::closeOverlays() {
  if (historyOpen()) closeHistory();
  screens_.pop(keys_);
}

void Comforts::waitBegan() {
  history_.waitBegan([this] { return game_.snapshot(); });
}

void Comforts::returnToPage() {
  const std::size_t back = back_;
  const std::shared_ptr<const GameSnapshot> state = history_.earlierPage(back).state;
  if (const std::optional<std::string> refusal = game_.refusal(*state)) {
    std::cerr << "qov: cannot return to that page: " << *refusal << '\n' << std::flush;
    return;
  }
  closeHistory();
  history_.returnTo(back);
  game_.restore(*state);
}

void Comforts::historyBack() {
  // The opening is a timed show with its song: it cannot wait.
  if (game_.openingRuns()) return;
  const std::size_t pages = history_.earlierPages();
  if (pages == 0) return;
  showHistory(std::min(back_ + 1, pages));
}

void Comforts::historyForward() {
  if (back_ <= 1) {
    closeHistory();
  } else {
    showHistory(back_ - 1);
  }
}

void Comforts::showHistory(std::size_t back) {
  back_ = back;
  historyScreen_.show(&history_.earlierPage(back), back, history_.earlierPages());
  if (!screens_.contains(historyScreen_)) screens_.push(historyScreen_);
}

void Comforts::closeHistory() {
  back_ = 0;
  historyScreen_.show(nullptr, 0, 0);
  screens_.pop(historyScreen_);
}

std::optional<fs::path> Comforts::screenshot() {
  game_.drawFrame(shot_);
  screens_.draw(shot_);
  const fs::path folder = platform_.picturesFolder();
  if (folder.empty()) {
    std::cerr << "qov: no folder for screenshots\n" << std::flush;
    return std::nullopt;
  }
  const std::string caption = game_.caption();
  const std::string stamp = "-" + localTimestamp();
  fs::path file = folder / fileNameOf(caption, stamp + ".png");
  std::error_code ec;
  for (int n = 2; fs::exists(file, ec); ++n) {
    file = folder / fileNameOf(caption, stamp + "-" + std::to_string(n) + ".png");
  }
  if (const std::error_code error = platform_.writePngFile(shot_, file)) {
    std::cerr << "qov: cannot write the screenshot " << file.string() << " (" << error.message()
              << ")\n"
              << std::flush;
    return std::nullopt;
  }
  std::cerr << "qov: screenshot saved as " << file.string() << '\n' << std::flush;
  return file;
}

void Comforts::setScale(int scale) {
  settings_.scale = platform_.setWindowScale(std::clamp(scale, 1, kLargestScaleKey));
  remember();
}

void Comforts::toggleFullscreen() {
  platform_.setFullscreen(!platform_.fullscreen());
  settings_.fullscreen = platform_.fullscreen();
  remember();
}

void Comforts::changeVolume(int steps) {
  settings_.volume = std::clamp(settings_.volume + steps * kVolumeStep, 0, 100);
  settings_.muted = false;
  applyVolume();
  remember();
}

void Comforts::toggleMute() {
  settings_.muted = !settings_.muted;
  applyVolume();
  remember();
}

void Comforts::changeMixLevel(bool music, int steps) {
  int& level = music ? settings_.musicVolume : settings_.effectsVolume;
  level = std::clamp(level + steps * kVolumeStep, 0, 100);
  applyVolume();
  remember();
}

void Comforts::applyVolume() {
  platform_.setVolume(settings_.muted ? 0 : settings_.volume);
  platform_.setMixLevels(settings_.musicVolume, settings_.effectsVolume);
}

void Comforts::remember() {
  if (settingsFile_.empty()) return;
  // Enabling the timer again starts its interval anew: the file waits for the last change.
  platform_.setTimerEnabled(settleTimer_, settings_ != written_);
}

void Comforts::settle() {
  if (!platform_.timerEnabled(settleTimer_)) return;
  platform_.setTimerEnabled(settleTimer_, false);
  const std::optional<std::string> problem = settings_.write(settingsFile_);
  if (!problem) written_ = settings_;
  // Said once, not at every change.
  if (problem && !writeFailed_) std::cerr << "qov: " << *problem << '\n' << std::flush;
  writeFailed_ = problem.has_value();
}

std::u32string Comforts::status() const {
  const auto number = [](int n) { return fromUtf8(std::to_string(n)); };
  std::u32string text = fill(tr(U"Volume {}%"), {number(settings_.volume)});
  if (settings_.muted) text += tr(U" (muted)");
  text += fill(tr(U"  Size ×{}"), {number(platform_.windowScale())});
  if (platform_.fullscreen()) text += tr(U"  Fullscreen");
  return text;
}

}  // namespace qov
