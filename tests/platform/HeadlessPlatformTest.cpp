#include "platform/headless/HeadlessPlatform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ProgramEnd.h"

namespace qov {
namespace {

// Records what the window tells the program.
class RecordingSink : public EventSink {
 public:
  std::vector<std::string> events;
  bool changed = false;
  Image image{506, 384};
  std::function<void()> onClose;

  void mouseDown(int x, int y, int b) override {
    events.push_back("down " + std::to_string(x) + "," + std::to_string(y) + " " +
                     std::to_string(b));
  }
  void mouseUp(int x, int y, int b) override {
    events.push_back("up " + std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(b));
  }
  void keyDown(Key k) override { events.push_back(k == Key::Enter ? "enter" : "key"); }
  void closeRequested() override {
    events.push_back("close");
    if (onClose) onClose();
  }
  [[nodiscard]] bool frameChanged() const override { return changed; }
  const Image& composeFrame() override {
    changed = false;
    return image;
  }
};

TEST(HeadlessPlatform, TimersKeepTheirIntervalsAndNeverNest) {
  HeadlessPlatform p;
  std::vector<std::uint64_t> fast;
  std::vector<std::uint64_t> slow;
  int depth = 0;
  int maxDepth = 0;
  TimerId slowTimer = 0;
  const TimerId fastTimer = p.createTimer(
      10, [&] { fast.push_back(p.now()); }, true);
  slowTimer = p.createTimer(100, [&] {
    slow.push_back(p.now());
    maxDepth = std::max(maxDepth, ++depth);
    // A wait inside the handler: the other timer keeps firing, this one does not nest.
    const std::uint64_t until = p.now() + 250;
    while (p.now() < until) p.waitEvents(until - p.now());
    --depth;
  });
  p.setTimerEnabled(fastTimer, true);
  p.setTimerEnabled(slowTimer, true);
  EXPECT_TRUE(p.timerEnabled(slowTimer));

  for (int i = 0; i < 3; ++i) p.waitEvents();
  EXPECT_EQ(maxDepth, 1);
  ASSERT_GE(slow.size(), 3u);
  EXPECT_EQ(slow[0], 100u);
  // The handler ran 250 ms, so the ticks missed meanwhile are not made up.
  EXPECT_EQ(slow[1], 350u);
  EXPECT_EQ(slow[2], 600u);
  for (std::size_t i = 0; i < 20; ++i) EXPECT_EQ(fast[i], 10 * (i + 1));

  // Enabling restarts the interval.
  p.setTimerEnabled(fastTimer, false);
  p.setTimerEnabled(slowTimer, false);
  p.setTimerEnabled(slowTimer, true);
  const std::uint64_t start = p.now();
  p.waitEvents();
  EXPECT_EQ(slow.back(), start + 100);
}

TEST(HeadlessPlatform, UntimedInputWaitsUntilNothingElseIsToDo) {
  HeadlessPlatform p;
  RecordingSink sink;
  p.setEventSink(&sink);
  p.click(10, 20);
  p.key(Key::Enter);

  // A wait with a timeout lets the time pass and keeps the input.
  p.waitEvents(50);
  EXPECT_EQ(p.now(), 50u);
  EXPECT_TRUE(sink.events.empty());

  // So does a wait while a foreground timer is enabled.
  int ticks = 0;
  const TimerId t = p.createTimer(1000, [&] { ++ticks; });
  p.setTimerEnabled(t, true);
  p.waitEvents();
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(p.now(), 1050u);
  EXPECT_TRUE(sink.events.empty());

  // A background timer does not hold it up; one item per wait.
  p.setTimerEnabled(t, false);
  const TimerId music = p.createTimer(
      10, [] {}, true);
  p.setTimerEnabled(music, true);
  p.waitEvents();
  EXPECT_EQ((std::vector<std::string>{"down 10,20 1", "up 10,20 1"}), sink.events);
  EXPECT_EQ(p.now(), 1050u);
  p.waitEvents();
  EXPECT_EQ(sink.events.back(), "enter");
  EXPECT_EQ(p.pendingInput(), 0u);
}

TEST(HeadlessPlatform, TimedInputArrivesAtItsTime) {
  HeadlessPlatform p;
  RecordingSink sink;
  p.setEventSink(&sink);
  int ticks = 0;
  const TimerId t = p.createTimer(1000, [&] { ++ticks; });
  p.setTimerEnabled(t, true);
  p.mouseDown(5, 6, kRightButton, 2500);
  p.mouseUp(5, 6, kRightButton, 2500);

  while (sink.events.empty()) p.waitEvents();
  EXPECT_EQ(p.now(), 2500u);
  EXPECT_EQ(ticks, 2);
  EXPECT_EQ(sink.events, std::vector<std::string>{"down 5,6 2"});
  p.waitEvents();
  EXPECT_EQ(sink.events.back(), "up 5,6 2");
  EXPECT_EQ(p.now(), 2500u);

  // A timed item is also taken by a wait with a timeout.
  p.setTimerEnabled(t, false);
  p.key(Key::Escape, 2600);
  p.waitEvents(500);
  EXPECT_EQ(p.now(), 2600u);
  EXPECT_EQ(sink.events.back(), "key");
}

TEST(HeadlessPlatform, WaitThatCanNeverEndFailsAtOnce) {
  HeadlessPlatform p;
  RecordingSink sink;
  p.setEventSink(&sink);
  // Only a background timer, and a foreground one whose handler is the waiting one.
  const TimerId music = p.createTimer(
      10, [] {}, true);
  p.setTimerEnabled(music, true);
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
    ++asked;
    if (asked > 1) return false;
    p.closeWindow();
    return true;
  });
  p.waitEvents();
  EXPECT_EQ(sink.events, std::vector<std::string>{"close"});
  EXPECT_THROW(p.waitEvents(), HeadlessStall);
  EXPECT_EQ(asked, 2);
}

TEST(HeadlessPlatform, ClockLimitAndPollingLoopsFail) {
  HeadlessPlatform p;
  p.setStallLimit(5000);
  const TimerId t = p.createTimer(1000, [] {});
  p.setTimerEnabled(t, true);
  p.click(1, 1);
  EXPECT_THROW(
      {
        for (;;) p.waitEvents();
      },
      HeadlessStall);
  EXPECT_LE(p.now(), 6000u);

  HeadlessPlatform q;
  EXPECT_THROW(
      {
        for (;;) q.doEvents();
      },
      HeadlessStall);
}

TEST(HeadlessPlatform, ClosingThrowsThroughTheWaitAndFramesAreKept) {
  HeadlessPlatform p;
  RecordingSink sink;
  p.setEventSink(&sink);
  sink.onClose = [] { throw ProgramEnd{0}; };
  sink.image.setPixel(3, 4, rgb(255, 0, 0));
  sink.changed = true;
  p.doEvents();
  EXPECT_EQ(p.presents(), 1);
  EXPECT_EQ(p.frame().pixel(3, 4), rgb(255, 0, 0));
  p.doEvents();
  EXPECT_EQ(p.presents(), 1);

  p.openWindow("題名", Image(32, 32), Image(32, 32));
  p.setCursor(Cursor::Wait);
  p.messageBox("Qov ERROR", "命令無し( 12)\rMSE", MessageIcon::Stop);
  p.beep();
  EXPECT_EQ(p.windowCaption(), "題名");
  EXPECT_EQ(p.cursor(), Cursor::Wait);
  ASSERT_EQ(p.messageBoxes().size(), 1u);
  EXPECT_EQ(p.messageBoxes()[0].icon, MessageIcon::Stop);
  EXPECT_EQ(p.beeps(), 1);

  p.setTickBase(0xFFFFFFF0u);
  p.waitEvents(20);
  EXPECT_EQ(p.tickCount(), static_cast<std::uint32_t>(p.now() - 16));

  p.closeWindow();
  EXPECT_THROW(p.waitEvents(), ProgramEnd);
  EXPECT_EQ(p.pendingInput(), 0u);
}

}  // namespace
}  // namespace qov
