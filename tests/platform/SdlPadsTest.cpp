// SDL's game controllers through the real platform, with SDL's virtual joystick under the
// dummy video driver: the buttons we use, the left stick's dead zone, plugging in and out.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/sdl/SdlPlatform.h"

namespace qov {
namespace {

class PadSink : public EventSink {
 public:
  std::vector<std::string> told;
  void mouseDown(int, int, int) override {}
  void mouseUp(int, int, int) override {}
  void keyDown(const KeyPress&) override {}
  void keyUp(const KeyPress&) override {}
  void mouseWheel(int) override {}
  void closeRequested() override {}
  void padDown(PadButton b) override { told.push_back(name(b) + "+"); }
  void padUp(PadButton b) override { told.push_back(name(b) + "-"); }
  [[nodiscard]] bool frameChanged() const override { return false; }
  const Image& composeFrame() override { return image_; }

 private:
  static std::string name(PadButton b) {
    static const char* const names[] = {"A",     "B",    "X",  "Y",    "LB",   "RB",
                                        "Start", "Back", "Up", "Down", "Left", "Right"};
    return names[static_cast<int>(b)];
  }
  Image image_{506, 384};
};

// A pad of every button and axis a game controller has, in SDL's order.
int attachPad() {
  SDL_VirtualJoystickDesc desc{};
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  desc.name = "qov test pad";
  return SDL_JoystickAttachVirtualEx(&desc);
}

TEST(SdlPads, VirtualPadButtonsStickAndHotPlug) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  SdlPlatform p({"."});
  PadSink sink;
  p.setEventSink(&sink);
  p.waitEvents(0);  // the first wait starts the pads
  // Waits (in real time, but for as long as a loaded machine may need) until `n` events came.
  const auto told = [&](std::size_t n) {
    for (int i = 0; i < 500 && sink.told.size() < n; ++i) p.waitEvents(10);
    return std::exchange(sink.told, {});
  };
  using Told = std::vector<std::string>;

  int index = attachPad();
  ASSERT_GE(index, 0) << SDL_GetError();
  if (SDL_IsGameController(index) == SDL_FALSE) GTEST_SKIP() << "no mapping for SDL's virtual pad";
  p.waitEvents(30);  // the platform opens it
  SDL_Joystick* pad = SDL_JoystickOpen(index);
  ASSERT_NE(pad, nullptr);
  const struct {
    SDL_GameControllerButton button;
    const char* name;
  } buttons[] = {{SDL_CONTROLLER_BUTTON_A, "A"},
                 {SDL_CONTROLLER_BUTTON_B, "B"},
                 {SDL_CONTROLLER_BUTTON_Y, "Y"},
                 {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, "LB"},
                 {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, "RB"},
                 {SDL_CONTROLLER_BUTTON_START, "Start"},
                 {SDL_CONTROLLER_BUTTON_BACK, "Back"},
                 {SDL_CONTROLLER_BUTTON_DPAD_LEFT, "Left"}};
  for (const auto& b : buttons) {
    SDL_JoystickSetVirtualButton(pad, b.button, 1);
    EXPECT_EQ(told(1), Told{std::string(b.name) + "+"});
    SDL_JoystickSetVirtualButton(pad, b.button, 0);
    EXPECT_EQ(told(1), Told{std::string(b.name) + "-"});
  }
  // A button we have no use for, and the stick within its dead zone: nothing, before the X
  // that comes after them.
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_LEFTSTICK, 1);
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, 9000);
  p.waitEvents(30);
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_X, 1);
  EXPECT_EQ(told(1), Told{"X+"});
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, 30000);
  EXPECT_EQ(told(1), Told{"Down+"});
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, 0);
  EXPECT_EQ(told(1), Told{"Down-"});

  // Unplugged while X is held: let go. Plugged in again: a pad like any other.
  SDL_JoystickClose(pad);
  ASSERT_EQ(SDL_JoystickDetachVirtual(index), 0) << SDL_GetError();
  EXPECT_EQ(told(1), Told{"X-"});
  index = attachPad();
  ASSERT_GE(index, 0) << SDL_GetError();
  p.waitEvents(30);
  pad = SDL_JoystickOpen(index);
  ASSERT_NE(pad, nullptr);
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 1);
  EXPECT_EQ(told(1), Told{"A+"});
  SDL_JoystickClose(pad);
  SDL_JoystickDetachVirtual(index);
  EXPECT_EQ(told(1), Told{"A-"});
}

}  // namespace
}  // namespace qov
