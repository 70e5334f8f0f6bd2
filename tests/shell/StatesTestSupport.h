#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "tests/shell/ShellTestSupport.h"
#include "ui/ShownText.h"

namespace qov::test {

// The main window seen through a stand-in for its snapshots: each page or menu the window
// shows is a wait whose state is its number (waitsTold) and the variables; going on from a state
// records it and ends the game.
class SnapshotGame final : public HostedGame, private ShownTextObserver {
 public:
  explicit SnapshotGame(Qov& window) : q_(window) {}

  std::optional<GameSnapshot> restored;
  std::optional<GameSnapshot> startedFrom;
  std::optional<std::string> refuse;
  bool opening = false;
  int waitsTold = 0;

  std::optional<GameSnapshot> snapshot() const override {
    if (opening || q_.wait().kind == GameWait::Kind::None) return std::nullopt;
    GameSnapshot s;
    s.lines = std::make_shared<const std::vector<std::u32string>>(2001, U"");
    s.scriptFile = "wnatu.QOV";
    s.page = static_cast<std::uint32_t>(waitsTold);
    s.memory.vars = q_.variables().vars();
    return s;
  }
  std::optional<std::string> refusal(const GameSnapshot& /*state*/) const override {
    return refuse;
  }
  [[noreturn]] void restore(GameSnapshot state) override {
    restored = std::move(state);
    q_.end();
  }
  void startFrom(GameSnapshot state) override { startedFrom = std::move(state); }
  void setWaitObserver(std::function<void()> observer) override {
    waitObserver_ = std::move(observer);
  }

  int run() override { return q_.run(); }
  [[noreturn]] void end() override { q_.end(); }
  void holdGame(bool on) override { q_.holdGame(on); }
  bool openingRuns() const override { return opening || q_.openingRuns(); }
  void setOpeningObserver(std::function<void(bool)> o) override {
    q_.setOpeningObserver(std::move(o));
  }
  void cancelPresses() override { q_.cancelPresses(); }
  void setNoticeHook(std::function<void(std::u32string_view)> h) override {
    q_.setNoticeHook(std::move(h));
  }
  std::string caption() const override { return q_.caption(); }
  void drawFrame(Image& into) const override { q_.drawFrame(into); }
  const PictureBox& messageWindow() const override { return q_.messageWindow(); }
  void recordPages(PageRecorder* r) override { q_.recordPages(r); }
  void setSkip(bool on) override { q_.setSkip(on); }
  void observeText(ShownTextObserver* observer) override {
    shell_ = observer;
    q_.observeText(this);
  }
  void setAutoAdvance(bool on, std::uint32_t base, std::uint32_t per) override {
    q_.setAutoAdvance(on, base, per);
  }
  GameWait wait() const override { return q_.wait(); }
  std::filesystem::path folder() const override { return q_.folder(); }
  void setReadingLog(std::function<bool(const MessagePlace&)> mayskip,
                     std::function<void(const MessagePlace&)> read) override {
    q_.setReadingLog(std::move(mayskip), std::move(read));
  }
  void setTypingSpeed(TypingSpeed speed) override { q_.setTypingSpeed(speed); }

  void mouseDown(int x, int y, int b) override { q_.mouseDown(x, y, b); }
  void mouseUp(int x, int y, int b) override { q_.mouseUp(x, y, b); }
  void keyDown(const KeyPress& k) override { q_.keyDown(k); }
  void keyUp(const KeyPress& k) override { q_.keyUp(k); }
  void mouseWheel(int s) override { q_.mouseWheel(s); }
  void closeRequested() override { q_.closeRequested(); }
  bool frameChanged() const override { return q_.frameChanged(); }
  const Image& composeFrame() override { return q_.composeFrame(); }

 private:
  void waitBegun() {
    ++waitsTold;
    if (waitObserver_) waitObserver_();
  }
  void pageShown(std::u32string_view text) override {
    if (shell_) shell_->pageShown(text);
    waitBegun();
  }
  void pageGone() override {
    if (shell_) shell_->pageGone();
  }
  void menuShown(std::u32string_view header, std::span<const std::u32string> entries) override {
    if (shell_) shell_->menuShown(header, entries);
    waitBegun();
  }
  void menuFocused(std::u32string_view entry) override {
    if (shell_) shell_->menuFocused(entry);
  }
  void itemShown(std::u32string_view name) override {
    if (shell_) shell_->itemShown(name);
  }

  Qov& q_;
  ShownTextObserver* shell_ = nullptr;
  std::function<void()> waitObserver_;
};

// The shell around the stand-in, its states in a folder of their own.
class StatesWindow : public Window {
 public:
  explicit StatesWindow(const std::filesystem::path& dir) : Window(dir) {
    play = [this] { return shell.run(); };
    states.open(dir, stateDir.path());
  }
  SnapshotGame game{window};
  Shell shell{platform, game};
  States& states = shell.states();
  TempDir stateDir;
};

}  // namespace qov::test
