#include "platform/sdl/SdlPlatform.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace qov {
namespace {

class CountingSink : public EventSink {
 public:
  std::vector<std::string> events;
  bool changed = true;
  int composed = 0;
  Image image{506, 384, rgb(128, 128, 128)};

  void mouseDown(int x, int y, int b) override {
    events.push_back("down " + std::to_string(x) + "," + std::to_string(y) + " " +
                     std::to_string(b));
  }
  void mouseUp(int x, int y, int b) override {
    events.push_back("up " + std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(b));
  }
  void keyDown(Key k) override {
    events.push_back(k == Key::Enter ? "enter" : k == Key::Escape ? "escape" : "other");
  }
  void closeRequested() override { events.emplace_back("close"); }
  [[nodiscard]] bool frameChanged() const override { return changed; }
  const Image& composeFrame() override {
    changed = false;
    ++composed;
    return image;
  }
};

// Runs without a display: SDL's dummy video and audio drivers.
class SdlPlatformTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
  }
};

void push(SDL_Event e) {
  ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
}

SDL_Event button(Uint32 type, Uint32 window, Uint8 which, int x, int y) {
  SDL_Event e{};
  e.type = type;
  e.button.windowID = window;
  e.button.button = which;
  e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
  e.button.x = x;
  e.button.y = y;
  return e;
}

SDL_Event keyDown(SDL_Keycode key, Uint16 mod = KMOD_NONE) {
  SDL_Event e{};
  e.type = SDL_KEYDOWN;
  e.key.keysym.sym = key;
  e.key.keysym.mod = mod;
  return e;
}

TEST_F(SdlPlatformTest, WindowInputAndFrames) {
  SdlPlatform p({"."});
  CountingSink sink;
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
  EXPECT_EQ(h % 384, 0);
  EXPECT_EQ(w / 506, h / 384);
  EXPECT_STREQ(SDL_GetWindowTitle(window), "題名");
  EXPECT_EQ(SDL_GetWindowFlags(window) & SDL_WINDOW_RESIZABLE, 0u);

  // Mouse buttons in window numbering; a press outside the frame is not the window's.
  const Uint32 id = SDL_GetWindowID(window);
  push(button(SDL_MOUSEBUTTONDOWN, id, SDL_BUTTON_LEFT, 10, 20));
  push(button(SDL_MOUSEBUTTONUP, id, SDL_BUTTON_LEFT, 10, 20));
  push(button(SDL_MOUSEBUTTONDOWN, id, SDL_BUTTON_RIGHT, 505, 383));
  push(button(SDL_MOUSEBUTTONDOWN, id, SDL_BUTTON_MIDDLE, 0, 0));
  push(button(SDL_MOUSEBUTTONDOWN, id, SDL_BUTTON_LEFT, 506, 10));
  push(keyDown(SDLK_RETURN));
  push(keyDown(SDLK_ESCAPE));
  push(keyDown(SDLK_a));
  push(keyDown(SDLK_RETURN, KMOD_LALT));  // fullscreen, not a key for the program
  p.doEvents();
  EXPECT_EQ(sink.events, (std::vector<std::string>{"down 10,20 1", "up 10,20 1", "down 505,383 2",
                                                   "down 0,0 4", "enter", "escape", "other"}));

  // A changed frame is shown at the latest at the next refresh.
  const int before = sink.composed;
  sink.changed = true;
  while (sink.changed) p.waitEvents();
  EXPECT_EQ(sink.composed, before + 1);

  // The window's close button sends a window event and a quit event: one close.
  sink.events.clear();
  SDL_Event close{};
  close.type = SDL_WINDOWEVENT;
  close.window.windowID = id;
  close.window.event = SDL_WINDOWEVENT_CLOSE;
  push(close);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  push(quit);
  p.doEvents();
  EXPECT_EQ(sink.events, std::vector<std::string>{"close"});

  // Without a display that can show it, the message box returns at once.
  p.messageBox("Qov ERROR", "命令無し( 12)\rMSE,hello", MessageIcon::Stop);
  p.setCursor(Cursor::Wait);
  p.setCursor(Cursor::Default);
  EXPECT_EQ(p.font(FontSpec{})->measure(U"あ"), 13);
}

TEST_F(SdlPlatformTest, TimersTickWithoutNesting) {
  SdlPlatform p({"."});
  int fast = 0;
  int slow = 0;
  int depth = 0;
  int maxDepth = 0;
  const TimerId music = p.createTimer(
      1, [&] { ++fast; }, true);
  TimerId tick = 0;
  tick = p.createTimer(1, [&] {
    ++slow;
    maxDepth = std::max(maxDepth, ++depth);
    // Waits inside the handler: the other timer keeps ticking, this one never nests.
    const int until = fast + 5;
    while (fast < until) p.waitEvents();
    --depth;
  });
  p.setTimerEnabled(music, true);
  p.setTimerEnabled(tick, true);
  EXPECT_TRUE(p.timerEnabled(tick));
  while (slow < 3) p.waitEvents();
  EXPECT_EQ(maxDepth, 1);
  EXPECT_GE(fast, 15);

  // With nothing enabled, a wait with a timeout still returns.
  p.setTimerEnabled(music, false);
  p.setTimerEnabled(tick, false);
  EXPECT_FALSE(p.timerEnabled(tick));
  p.waitEvents(20);
}

}  // namespace
}  // namespace qov
