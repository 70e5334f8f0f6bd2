#pragma once

// The message window and the command menu on the headless platform with the window's real
// controls, and the mouse routed to their handlers as the main window routes it.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/Variables.h"
#include "platform/Image.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/render/Render.h"
#include "tests/ui/Golden.h"
#include "ui/CommandMenu.h"
#include "ui/ItemWindow.h"
#include "ui/MessageWindow.h"
#include "ui/WindowControls.h"

namespace qov::testing {

constexpr Argb kWhite = rgb(255, 255, 255);
// A full-width glyph of the message font advances this far; a line holds 37 cells.
constexpr int kCell = 13;

// The headless platform with its tick count moved by an offset, to put a wrap of the
// system's 32-bit millisecond counter inside a wait.
class ShiftedClock final : public Platform {
 public:
  ShiftedClock(HeadlessPlatform& inner, std::uint32_t offset) : in_(inner), offset_(offset) {}
  std::uint32_t tickCount() override { return in_.tickCount() + offset_; }

  void openWindow(const std::string& caption, const Image& icon, const Image& cursor) override {
    in_.openWindow(caption, icon, cursor);
  }
  void setEventSink(EventSink* sink) override { in_.setEventSink(sink); }
  TimerId createTimer(int ms, std::function<void()> handler, bool background) override {
    return in_.createTimer(ms, std::move(handler), background);
  }
  void setTimerEnabled(TimerId t, bool on) override { in_.setTimerEnabled(t, on); }
  bool timerEnabled(TimerId t) const override { return in_.timerEnabled(t); }
  void doEvents() override { in_.doEvents(); }
  void waitEvents(std::optional<std::uint32_t> ms) override { in_.waitEvents(ms); }
  void setCursor(Cursor cursor) override { in_.setCursor(cursor); }
  void messageBox(const std::string& title, const std::string& text, MessageIcon i) override {
    in_.messageBox(title, text, i);
  }
  void beep() override { in_.beep(); }
  std::shared_ptr<const Font> font(const FontSpec& wanted) override { return in_.font(wanted); }
  std::optional<Image> decodeImage(std::span<const std::uint8_t> bytes) override {
    return in_.decodeImage(bytes);
  }
  MusicDevice& music() override { return in_.music(); }
  SoundOutput& sound() override { return in_.sound(); }

 private:
  HeadlessPlatform& in_;
  std::uint32_t offset_;
};

class Rig : public EventSink {
 public:
  explicit Rig(std::uint32_t tickOffset = 0) : p(headless, tickOffset), c(p) {
    headless.setEventSink(this);
    c.MES.setFont(FontSpec{FontFace::Gothic, 10.0, false});
    headless.setStallHandler([this] { return onStall(); });
  }

  HeadlessPlatform headless;
  ShiftedClock p;
  WindowControls c;
  Variables vars;
  ItemWindow items{c, vars};
  std::int16_t opTick = 0;
  std::vector<bool> timerLog;  // every switch of the interpreter's timer
  CommandMenu menu{p,
                   c.LBcm,
                   {&c.Label1[0], &c.Label1[1], &c.Label1[2], &c.Label1[3], &c.Label1[4]},
                   items,
                   vars,
                   [this](bool on) { timerLog.push_back(on); },
                   [this] { return opTick; }};
  MessageWindow mes{p, c.MES, menu, items, vars, [this](Cursor k) { p.setCursor(k); }};

  // Runs when the program waits for input that is not queued: gets to look at the window
  // and queue the next input. Returning false ends the wait with HeadlessStall.
  std::vector<std::function<void()>> answers;
  std::size_t stalls = 0;
  std::vector<std::uint64_t> stallTimes;  // the virtual clock at each such wait

  // Left click at the centre of a control (down and up).
  void click(const Control& control, int button = kLeftButton,
             std::optional<std::uint64_t> notBefore = std::nullopt) {
    const Rect r = control.frameRect();
    headless.click(r.x + r.w / 2, r.y + r.h / 2, button, notBefore);
  }

  [[nodiscard]] Image frame() const {
    Image img(WindowControls::kWidth, WindowControls::kHeight);
    c.form.draw(img);
    return img;
  }

  // EventSink: the main window's routing.
  void mouseDown(int x, int y, int button) override {
    Control* hit = c.form.hitTest(x, y);
    down_ = hit;
    if (hit == &c.MES || hit == &c.Picture1) mes.mouseDown(button);
    if (hit == &c.LBcm) menu.LBcm_MouseDown(button);
    if (const int i = entryIndex(hit); i >= 0) menu.Label1_MouseDown(i, button);
  }
  void mouseUp(int x, int y, int button) override {
    Control* hit = c.form.hitTest(x, y);
    if (hit == &c.LBcm) menu.LBcm_MouseUp(button);
    if (const int i = entryIndex(hit); i >= 0) menu.Label1_MouseUp(i, button);
    if (hit != down_ || button != kLeftButton) return;
    if (hit == &c.ITMCommand1) items.ITMCommand1_Click();
    if (hit == &c.ITMCommand2) items.ITMCommand2_Click();
    if (hit == &c.ITMCommand3[0]) items.ITMCommand3_Click(0);
    if (hit == &c.ITMCommand3[1]) items.ITMCommand3_Click(1);
  }
  void keyDown(Key) override {}
  void closeRequested() override {}
  [[nodiscard]] bool frameChanged() const override { return c.form.signature() != shown_; }
  const Image& composeFrame() override {
    shown_ = c.form.signature();
    frame_ = frame();
    return frame_;
  }

 private:
  bool onStall() {
    stallTimes.push_back(headless.now());
    if (stalls >= answers.size()) return false;
    answers[stalls++]();
    return true;
  }
  int entryIndex(const Control* hit) const {
    for (int i = 0; i < 5; ++i) {
      if (hit == &c.Label1[static_cast<std::size_t>(i)]) return i;
    }
    return -1;
  }

  Control* down_ = nullptr;
  std::uint64_t shown_ = 0;
  Image frame_;
};

// True when some pixel of `area` differs from `background`.
[[nodiscard]] inline bool inked(const Image& img, const Rect& area, Argb background = kWhite) {
  const Rect r = area.intersect(img.bounds());
  for (int y = r.y; y < r.y + r.h; ++y) {
    for (int x = r.x; x < r.x + r.w; ++x) {
      if (img.pixel(x, y) != background) return true;
    }
  }
  return false;
}

// True when some pixel of `area` has exactly `colour`.
[[nodiscard]] inline bool hasColour(const Image& img, const Rect& area, Argb colour) {
  const Rect r = area.intersect(img.bounds());
  for (int y = r.y; y < r.y + r.h; ++y) {
    for (int x = r.x; x < r.x + r.w; ++x) {
      if (img.pixel(x, y) == colour) return true;
    }
  }
  return false;
}

using test::expectGolden;

}  // namespace qov::testing
