// The window platforms: the headless one on its virtual clock, and SDL on its dummy drivers.
#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include <sys/resource.h>

#include "platform/ProgramEnd.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/sdl/SdlPlatform.h"

namespace qov {
namespace {

// Records what the window tells the program.
class RecordingSink : public EventSink {
 public:
  std::vector<std::string> events;
  bool changed = true;
  int composed = 0;
  Image image{506, 384};
  bool throwOnClose = false;

  void mouseDown(int x, int y, int b) override { mouse("down", x, y, b); }
  void mouseUp(int x, int y, int b) override { mouse("up", x, y, b); }
  void keyDown(const KeyPress& k) override {
    const std::string alt = (k.modifiers & kAltKey) != 0 ? "alt+" : "";
    events.push_back(alt + (k.key == Key::Enter    ? "enter"
                            : k.key == Key::Escape ? "escape"
                                                   : "other"));
  }
  void keyUp(const KeyPress& /*k*/) override {}
  void mouseWheel(int steps) override { events.push_back("wheel " + std::to_string(steps)); }
  void closeRequested() override {
    events.emplace_back("close");
    if (throwOnClose) throw ProgramEnd{0};
  }
  [[nodiscard]] bool frameChanged() const override { return changed; }
  const Image& composeFrame() override {
    changed = false;
    ++composed;
    return image;
  }

 private:
  void mouse(const char* what, int x, int y, int b) {
    events.push_back(std::string(what) + " " + std::to_string(x) + "," + std::to_string(y) + " " +
                     std::to_string(b));
  }
};

TEST(HeadlessPlatform, TimersKeepTheirIntervalsAndNeverNest) {
  HeadlessPlatform p;
  std::vector<std::uint64_t> fast;
  std::vector<std::uint64_t> slow;
  int depth = 0;
  int maxDepth = 0;
  const TimerId fastTimer = p.createTimer(
      10, [&] { fast.push_back(p.now()); }, true);
  const TimerId slowTimer = p.createTimer(100, [&] {
    slow.push_back(p.now());
    maxDepth = std::max(maxDepth, ++depth);
    const std::uint64_t until = p.now() + 250;
    while (p.now() < until) p.waitEvents(until - p.now());
    --depth;
  });
  p.setTimerEnabled(fastTimer, true);
  p.setTimerEnabled(slowTimer, true);
  for (int i = 0; i < 3; ++i) p.waitEvents();
  EXPECT_EQ(maxDepth, 1);
  // The handler ran 250 ms, so the ticks missed meanwhile are not made up.
  EXPECT_EQ(slow, (std::vector<std::uint64_t>{100, 350, 600}));
  for (std::size_t i = 0; i < 20; ++i) EXPECT_EQ(fast[i], 10 * (i + 1));

  // Enabling restarts the interval.
  p.setTimerEnabled(fastTimer, false);
  p.setTimerEnabled(slowTimer, false);
  p.setTimerEnabled(slowTimer, true);
  const std::uint64_t start = p.now();
  p.waitEvents();
  EXPECT_EQ(slow.back(), start + 100);
}

TEST(HeadlessPlatform, InputArrivesWhenNothingElseIsToDoOrAtItsTime) {
  HeadlessPlatform p;
  RecordingSink sink;
  p.setEventSink(&sink);
  p.click(10, 20);
  p.key(Key::Enter);
  // A wait with a timeout, or one while a foreground timer is enabled, keeps untimed input.
  p.waitEvents(50);
  int ticks = 0;
  const TimerId t = p.createTimer(1000, [&] { ++ticks; });
  p.setTimerEnabled(t, true);
  p.waitEvents();
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(p.now(), 1050u);
  EXPECT_TRUE(sink.events.empty());

  // A background timer does not hold it up; one item per wait.
  p.setTimerEnabled(t, false);
  p.setTimerEnabled(p.createTimer(
                        10, [] {}, true),
                    true);
  p.waitEvents();
  EXPECT_EQ(sink.events, (std::vector<std::string>{"down 10,20 1", "up 10,20 1"}));
  EXPECT_EQ(p.now(), 1050u);
  p.waitEvents();
  EXPECT_EQ(sink.events.back(), "enter");

  // Timed input comes at its time, to any kind of wait.
  p.setTimerEnabled(t, true);
  p.mouseDown(5, 6, kRightButton, 2500);
  p.key(Key::Escape, 2600);
  while (sink.events.size() < 4) p.waitEvents();
  EXPECT_EQ(p.now(), 2500u);
  EXPECT_EQ(ticks, 2);
  EXPECT_EQ(sink.events.back(), "down 5,6 2");
  p.setTimerEnabled(t, false);
  p.waitEvents(500);
  EXPECT_EQ(p.now(), 2600u);
  EXPECT_EQ(sink.events.back(), "escape");
}

TEST(HeadlessPlatform, StallsAreDetected) {
  HeadlessPlatform p;
  RecordingSink sink;
  p.setEventSink(&sink);
  // Only a background timer, and a foreground one whose handler is the waiting one.
  p.setTimerEnabled(p.createTimer(
                        10, [] {}, true),
                    true);
  bool stalled = false;
  const TimerId tick = p.createTimer(1, [&] {
    try {
      p.waitEvents();
    } catch (const HeadlessStall&) {
      stalled = true;
    }
  });
  p.setTimerEnabled(tick, true);
  p.waitEvents();
  EXPECT_TRUE(stalled);

  // The stall handler may supply more input.
  p.setTimerEnabled(tick, false);
  int asked = 0;
  p.setStallHandler([&] {
    if (++asked > 1) return false;
    p.closeWindow();
    return true;
  });
  p.waitEvents();
  EXPECT_EQ(sink.events, std::vector<std::string>{"close"});
  EXPECT_THROW(p.waitEvents(), HeadlessStall);

  // A clock running past the limit, and polling that changes nothing, fail too.
  HeadlessPlatform q;
  q.setStallLimit(5000);
  q.setTimerEnabled(q.createTimer(1000, [] {}), true);
  EXPECT_THROW(
      {
        for (;;) q.waitEvents();
      },
      HeadlessStall);
  EXPECT_LE(q.now(), 6000u);
  HeadlessPlatform r;
  EXPECT_THROW(
      {
        for (;;) r.doEvents();
      },
      HeadlessStall);
}

TEST(HeadlessPlatform, FramesAreKeptAndClosingThrowsThroughTheWait) {
  HeadlessPlatform p;
  RecordingSink sink;
  sink.throwOnClose = true;
  p.setEventSink(&sink);
  sink.image.setPixel(3, 4, rgb(255, 0, 0));
  p.doEvents();
  p.doEvents();
  EXPECT_EQ(p.presents(), 1);
  EXPECT_EQ(p.frame().pixel(3, 4), rgb(255, 0, 0));

  p.setTickBase(0xFFFFFFF0u);  // the millisecond count wraps around
  p.waitEvents(20);
  EXPECT_EQ(p.tickCount(), 4u);

  p.closeWindow();
  EXPECT_THROW(p.waitEvents(), ProgramEnd);
}

void push(SDL_Event e) {
  ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
}

void pushButton(Uint32 type, Uint32 window, Uint8 button, int x, int y) {
  SDL_Event e{};
  e.button = {type, 0, window, 0, button, 0, 1, 0, x, y};
  e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
  push(e);
}

void pushKey(SDL_Keycode key, Uint16 mod = KMOD_NONE) {
  SDL_Event e{};
  e.key.type = SDL_KEYDOWN;
  e.key.keysym.sym = key;
  e.key.keysym.mod = mod;
  push(e);
}

TEST(SdlPlatform, WindowInputFramesAndTimers) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  SdlPlatform p({"."});
  RecordingSink sink;
  p.setEventSink(&sink);
  p.openWindow("題名", Image(32, 32, rgb(255, 0, 0)), Image(32, 32, 0));
  EXPECT_GE(sink.composed, 1);
  SDL_Window* window = nullptr;
  for (Uint32 id = 1; id < 100 && window == nullptr; ++id) window = SDL_GetWindowFromID(id);
  ASSERT_NE(window, nullptr);
  int w = 0;
  int h = 0;
  SDL_GetWindowSize(window, &w, &h);
  EXPECT_EQ(w % 506, 0);
  EXPECT_EQ(w / 506, h / 384);
  EXPECT_STREQ(SDL_GetWindowTitle(window), "題名");
  EXPECT_EQ(SDL_GetWindowFlags(window) & SDL_WINDOW_RESIZABLE, 0u);

  // Mouse buttons in window numbering; a press outside the frame is not the window's.
  const Uint32 id = SDL_GetWindowID(window);
  pushButton(SDL_MOUSEBUTTONDOWN, id, SDL_BUTTON_LEFT, 10, 20);
  pushButton(SDL_MOUSEBUTTONUP, id, SDL_BUTTON_LEFT, 10, 20);
  pushButton(SDL_MOUSEBUTTONDOWN, id, SDL_BUTTON_RIGHT, 505, 383);
  pushButton(SDL_MOUSEBUTTONDOWN, id, SDL_BUTTON_MIDDLE, 0, 0);
  pushButton(SDL_MOUSEBUTTONDOWN, id, SDL_BUTTON_LEFT, 506, 10);
  pushKey(SDLK_RETURN);
  pushKey(SDLK_ESCAPE);
  pushKey(SDLK_a);
  pushKey(SDLK_RETURN, KMOD_LALT);  // the program tells it from Enter
  // The window's close button sends a window event and a quit event: one close.
  SDL_Event close{};
  close.window = {SDL_WINDOWEVENT, 0, id, SDL_WINDOWEVENT_CLOSE, 0, 0, 0, 0, 0};
  push(close);
  close.type = SDL_QUIT;
  push(close);
  p.doEvents();
  EXPECT_EQ(sink.events,
            (std::vector<std::string>{"down 10,20 1", "up 10,20 1", "down 505,383 2", "down 0,0 4",
                                      "enter", "escape", "other", "alt+enter", "close"}));

  // A changed frame is shown at the latest at the next refresh.
  const int before = sink.composed;
  sink.changed = true;
  while (sink.changed) p.waitEvents();
  EXPECT_EQ(sink.composed, before + 1);

  // Timers: the other one keeps ticking while a handler waits, which never nests.
  int fast = 0;
  int slow = 0;
  int depth = 0;
  int maxDepth = 0;
  const TimerId music = p.createTimer(
      1, [&] { ++fast; }, true);
  const TimerId tick = p.createTimer(1, [&] {
    ++slow;
    maxDepth = std::max(maxDepth, ++depth);
    const int until = fast + 5;
    while (fast < until) p.waitEvents();
    --depth;
  });
  p.setTimerEnabled(music, true);
  p.setTimerEnabled(tick, true);
  while (slow < 3) p.waitEvents();
  EXPECT_EQ(maxDepth, 1);
  EXPECT_GE(fast, 15);
  p.setTimerEnabled(music, false);
  p.setTimerEnabled(tick, false);
  p.waitEvents(20);  // returns with nothing enabled

  // Without a display that can show it, the message box returns at once.
  p.messageBox("Qov ERROR", "命令無し( 12)\rMSE,hello", MessageIcon::Stop);
  EXPECT_EQ(p.font(FontRequest{})->measure(U"あ"), 13);
}

TEST(SdlPlatform, AWaitWithoutADisplaySleepsUntilItsTimer) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  SdlPlatform p({"."});
  RecordingSink sink;
  p.setEventSink(&sink);
  p.openWindow("題名", Image(32, 32, rgb(255, 0, 0)), Image(32, 32, 0));
  int ticks = 0;
  const TimerId timer = p.createTimer(100, [&] { ++ticks; });
  rusage before{};
  ASSERT_EQ(getrusage(RUSAGE_THREAD, &before), 0);
  const auto start = std::chrono::steady_clock::now();
  p.setTimerEnabled(timer, true);
  while (ticks < 3) p.waitEvents();
  // On the millisecond clock's whole steps.
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(297));
  // A few sleeps: SDL's own wait would have looked at its queue every millisecond.
  p.setTimerEnabled(timer, false);
  p.waitEvents(100);
  rusage after{};
  ASSERT_EQ(getrusage(RUSAGE_THREAD, &after), 0);
  EXPECT_LE(after.ru_nvcsw - before.ru_nvcsw, 20);
  EXPECT_EQ(ticks, 3);
}

}  // namespace
}  // namespace qov
