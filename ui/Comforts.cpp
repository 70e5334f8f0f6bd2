#include "ui/Comforts.h"

#include <algorithm>
#include <array>
#include <ctime>
#include <iostream>
#include <string_view>
#include <system_error>
#include <utility>

#include "platform/Encoding.h"
#include "ui/MessageWindow.h"
#include "ui/WindowControls.h"

namespace qov {

namespace fs = std::filesystem;

namespace {

constexpr Rect kOverlayBox{32, 40, 440, 256};
constexpr Argb kOverlayShade = rgb(0, 0, 48);
constexpr Argb kOverlayBorder = rgb(160, 160, 208);
constexpr Argb kOverlayHeading = rgb(255, 255, 0);
constexpr Argb kOverlayText = rgb(255, 255, 255);
constexpr int kVolumeStep = 10;
constexpr int kLargestScaleKey = 4;

constexpr std::array<std::u32string_view, 9> kKeyLines{
    U"Ctrl（押している間）　メッセージを早送り",
    U"ホイール↑・PageUp・↑　前のページ（履歴）",
    U"ホイール↓・↓　次のページ",
    U"PageDown・Esc・左クリック　履歴を閉じる",
    U"F12　スクリーンショット（ピクチャフォルダへ）",
    U"Ctrl+1〜4　ウィンドウの大きさ",
    U"Alt+Enter・F11　全画面",
    U"Ctrl+↑・Ctrl+↓　音量　　M　消音",
    U"F1　このキー一覧",
};

// A caption as a file name: no folder separators or control characters.
std::string fileNameOf(const std::string& caption) {
  std::string name;
  for (const char c : caption) {
    const auto byte = static_cast<unsigned char>(c);
    name += (c == '/' || c == '\\' || byte < 0x20 || byte == 0x7F) ? '_' : c;
  }
  if (name.empty() || name == "." || name == "..") name = "qov";
  return name;
}

std::string localTimestamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::array<char, 32> text{};
  const std::size_t n = std::strftime(text.data(), text.size(), "%Y%m%d-%H%M%S", &local);
  return std::string(text.data(), n);
}

// `colour` over `under` at three quarters.
Argb shade(Argb under, Argb colour) {
  const auto mixChannel = [&](int shift) {
    const auto a = static_cast<int>((under >> shift) & 0xFF);
    const auto b = static_cast<int>((colour >> shift) & 0xFF);
    return static_cast<Argb>((a + 3 * b) / 4) << shift;
  };
  return 0xFF000000u | mixChannel(16) | mixChannel(8) | mixChannel(0);
}

}  // namespace

// ---- KeysOverlay ----

KeysOverlay::KeysOverlay(Platform& platform)
    : font_(platform.font(FontRequest{FontFace::Gothic, 10.0, false})) {
  rect = kOverlayBox;
  visible = false;
}

void KeysOverlay::setStatus(std::u32string status) {
  status_ = std::move(status);
}

void KeysOverlay::drawSelf(Image& frame, const Rect& at, const Rect& clip) const {
  for (int y = clip.y; y < clip.y + clip.h; ++y) {
    for (int x = clip.x; x < clip.x + clip.w; ++x) {
      frame.setPixel(x, y, shade(frame.pixel(x, y), kOverlayShade));
    }
  }
  frame.fill(Rect{at.x, at.y, at.w, 1}.intersect(clip), kOverlayBorder);
  frame.fill(Rect{at.x, at.y + at.h - 1, at.w, 1}.intersect(clip), kOverlayBorder);
  frame.fill(Rect{at.x, at.y, 1, at.h}.intersect(clip), kOverlayBorder);
  frame.fill(Rect{at.x + at.w - 1, at.y, 1, at.h}.intersect(clip), kOverlayBorder);
  const int step = font_->lineHeight() + 6;
  int y = at.y + 12;
  const auto line = [&](std::u32string_view text, Argb colour) {
    frame.drawMask(font_->render(text), at.x + 16, y, colour, clip);
    y += step;
  };
  line(U"キー操作　（キーかクリックで閉じます）", kOverlayHeading);
  y += step / 2;
  for (const std::u32string_view text : kKeyLines) line(text, kOverlayText);
  y += step / 2;
  line(status_, kOverlayHeading);
}

void KeysOverlay::sign(std::uint64_t& digest) const {
  for (const char32_t c : status_) {
    digest ^= c;
    digest *= 0x100000001B3ull;
  }
}

// ---- Comforts ----

Comforts::Comforts(Platform& platform, WindowControls& controls, MessageWindow& messages,
                   MessageHistory& history, Game game)
    : platform_(platform),
      controls_(controls),
      messages_(messages),
      history_(history),
      game_(std::move(game)),
      view_(platform, controls.MES),
      overlay_(platform) {
  messages_.recordInto(history_);
  controls_.form.add(view_);
  controls_.form.add(overlay_);
}

Comforts::~Comforts() {
  auto& children = controls_.form.children;
  std::erase_if(children, [this](const Control* c) { return c == &view_ || c == &overlay_; });
}

void Comforts::start() {
  settingsFile_ = platform_.settingsFile();
  if (!settingsFile_.empty()) {
    PlayerSettings::Read read = PlayerSettings::read(settingsFile_);
    if (read.problem) std::cerr << "qov: " << *read.problem << '\n' << std::flush;
    settings_ = read.settings;
  }
  if (settings_.scale) settings_.scale = platform_.setWindowScale(*settings_.scale);
  platform_.setFullscreen(settings_.fullscreen);
  applyVolume();
}

bool Comforts::keyDown(const KeyPress& key) {
  skip((key.modifiers & kCtrlKey) != 0);
  if (key.key == Key::Control) return true;
  if (keysShown()) {
    showKeys(false);
    return true;
  }
  const bool ctrl = (key.modifiers & kCtrlKey) != 0;
  const bool alt = (key.modifiers & kAltKey) != 0;
  const bool once = !key.repeat;
  switch (key.key) {
    case Key::F1:
      if (once) showKeys(true);
      return true;
    case Key::F12:
      if (once) static_cast<void>(screenshot());
      return true;
    case Key::F11:
      if (once) toggleFullscreen();
      return true;
    case Key::Enter:
      if (!alt) break;
      if (once) toggleFullscreen();
      return true;
    case Key::Digit1:
    case Key::Digit2:
    case Key::Digit3:
    case Key::Digit4:
      if (!ctrl) break;
      if (once) {
        setScale(1 + static_cast<int>(key.key) - static_cast<int>(Key::Digit1));
      }
      return true;
    case Key::M:
      if (ctrl || alt) break;
      if (once) toggleMute();
      return true;
    case Key::Up:
    case Key::Down:
      if (!ctrl) break;
      changeVolume(key.key == Key::Up ? 1 : -1);
      return true;
    default:
      break;
  }
  if (!ctrl && !alt && (key.key == Key::Up || key.key == Key::PageUp)) {
    historyBack();
    return true;
  }
  if (!historyOpen()) return false;
  if (key.key == Key::Down) historyForward();
  if (key.key == Key::PageDown || key.key == Key::Escape) closeHistory();
  return true;  // the game sees no key while the history is open
}

void Comforts::keyUp(const KeyPress& key) {
  skip((key.modifiers & kCtrlKey) != 0);
}

void Comforts::mouseWheel(int steps) {
  if (keysShown()) return;
  for (; steps > 0; --steps) historyBack();
  for (; steps < 0 && historyOpen(); ++steps) historyForward();
}

bool Comforts::takeMouseDown(int button) {
  if (keysShown()) {
    showKeys(false);
  } else if (historyOpen()) {
    if (button == kLeftButton) closeHistory();
  } else {
    return false;
  }
  takenButtons_ |= button;
  return true;
}

bool Comforts::takeMouseUp(int button) {
  if ((takenButtons_ & button) == 0) return false;
  takenButtons_ &= ~button;
  return true;
}

void Comforts::skip(bool on) {
  messages_.reading.skip = on;
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
  view_.show(&history_.earlierPage(back), back, history_.earlierPages());
  holdGame();
}

void Comforts::closeHistory() {
  back_ = 0;
  view_.show(nullptr, 0, 0);
  holdGame();
}

void Comforts::showKeys(bool on) {
  if (on) overlay_.setStatus(status());
  overlay_.visible = on;
  holdGame();
}

void Comforts::holdGame() {
  const bool wanted = (historyOpen() || keysShown()) && !game_.openingRuns();
  if (wanted == holding_) return;
  holding_ = wanted;
  game_.hold(wanted);
}

std::optional<fs::path> Comforts::screenshot() {
  const Image& frame = game_.frame();
  const fs::path folder = platform_.picturesFolder();
  if (folder.empty()) {
    std::cerr << "qov: no folder for screenshots\n" << std::flush;
    return std::nullopt;
  }
  const std::string stem = fileNameOf(game_.caption()) + "-" + localTimestamp();
  fs::path file = folder / (stem + ".png");
  std::error_code ec;
  for (int n = 2; fs::exists(file, ec); ++n) {
    file = folder / (stem + "-" + std::to_string(n) + ".png");
  }
  if (!platform_.writePng(frame, file)) {
    std::cerr << "qov: cannot write the screenshot " << file.string() << '\n' << std::flush;
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

void Comforts::applyVolume() {
  platform_.setVolume(settings_.muted ? 0 : settings_.volume);
}

void Comforts::remember() {
  if (settingsFile_.empty()) return;
  const std::optional<std::string> problem = settings_.write(settingsFile_);
  // Said once, not at every key.
  if (problem && !writeFailed_) std::cerr << "qov: " << *problem << '\n' << std::flush;
  writeFailed_ = problem.has_value();
}

std::u32string Comforts::status() const {
  std::string text = "音量 " + std::to_string(settings_.volume) + "%";
  if (settings_.muted) text += "（消音中）";
  text += "　大きさ ×" + std::to_string(platform_.windowScale());
  if (platform_.fullscreen()) text += "　全画面";
  return fromUtf8(text);
}

}  // namespace qov
