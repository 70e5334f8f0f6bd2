// All pads as one: buttons merged across pads, an unplugged pad letting go, the left stick's
// dead zone and hysteresis.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/Pads.h"

namespace qov {
namespace {

struct Told {
  std::vector<std::string> events;
  Pads pads{[this](PadButton b, bool down) {
    events.push_back(std::to_string(static_cast<int>(b)) + (down ? "+" : "-"));
  }};
  std::vector<std::string> take() { return std::exchange(events, {}); }
};

using Events = std::vector<std::string>;
const std::string kA = std::to_string(static_cast<int>(PadButton::A));
const std::string kUp = std::to_string(static_cast<int>(PadButton::Up));
const std::string kLeft = std::to_string(static_cast<int>(PadButton::Left));
const std::string kRight = std::to_string(static_cast<int>(PadButton::Right));

TEST(Pads, ButtonsOfAllPadsCountAsOneAndAPadUnpluggedLetsGo) {
  Told t;
  t.pads.button(7, PadButton::A, true);  // not plugged in
  EXPECT_EQ(t.take(), Events{});
  t.pads.added(1);
  t.pads.added(2);
  EXPECT_EQ(t.pads.count(), 2);
  t.pads.button(1, PadButton::A, true);
  t.pads.button(2, PadButton::A, true);
  EXPECT_EQ(t.take(), Events{kA + "+"});
  t.pads.button(1, PadButton::A, false);  // pad 2 still holds it
  EXPECT_EQ(t.take(), Events{});
  t.pads.stick(2, Pads::Axis::Y, -30000);
  EXPECT_EQ(t.take(), Events{kUp + "+"});
  t.pads.button(2, PadButton::Up, true);  // the D-pad as well: still one press
  t.pads.removed(2);
  EXPECT_EQ(t.take(), (Events{kA + "-", kUp + "-"}));
  EXPECT_FALSE(t.pads.held(PadButton::A));
  t.pads.removed(2);  // twice: nothing
  EXPECT_EQ(t.take(), Events{});
}

TEST(Pads, TheStickPressesPastItsDeadZoneAndLetsGoOnlyNearTheMiddle) {
  struct Step {
    int x;
    Events told;
  };
  const std::vector<Step> steps{
      {Pads::kStickRelease, {}},                  // within the dead zone
      {Pads::kStickPress - 1, {}},                // not yet
      {Pads::kStickPress, {kRight + "+"}},        // pressed
      {Pads::kStickRelease, {}},                  // held while it leans
      {Pads::kStickRelease - 1, {kRight + "-"}},  // back near the middle
      {32767, {kRight + "+"}},                    // and again
      {-32768, {kRight + "-", kLeft + "+"}},      // straight to the other side
      {-Pads::kStickPress + 1, {}},               // still leaning left
      {Pads::kStickPress - 1, {kLeft + "-"}},     // across the middle
  };
  Told t;
  t.pads.added(0);
  for (const Step& step : steps) {
    t.pads.stick(0, Pads::Axis::X, step.x);
    EXPECT_EQ(t.take(), step.told) << "at " << step.x;
  }
}

}  // namespace
}  // namespace qov
