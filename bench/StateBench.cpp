// Save states of the demo game, headless: what a state costs to take at a wait, the memory the
// history's states need for the last 100 waits, and how long a fresh window takes to go on
// from a state to its wait.
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <new>
#include <optional>
#include <vector>

#include "platform/ProgramEnd.h"
#include "platform/headless/HeadlessPlatform.h"
#include "ui/Qov.h"

namespace {

// Bytes the program holds on the heap now.
long long liveBytes = 0;

}  // namespace

void* operator new(std::size_t size) {
  void* p = std::malloc(size == 0 ? 1 : size);
  if (p == nullptr) throw std::bad_alloc();
  liveBytes += static_cast<long long>(malloc_usable_size(p));
  return p;
}
void operator delete(void* p) noexcept {
  if (p == nullptr) return;
  liveBytes -= static_cast<long long>(malloc_usable_size(p));
  std::free(p);
}
void operator delete(void* p, std::size_t /*size*/) noexcept { operator delete(p); }

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double microseconds(Clock::duration d) {
  return std::chrono::duration<double, std::micro>(d).count();
}

// Answers each wait: the first menu entry now and then the second, else a click on the message.
void answer(qov::HeadlessPlatform& platform, qov::Qov& window, int n) {
  qov::WindowControls& c = window.controls();
  const auto clickOn = [&platform](const qov::Control& control) {
    const qov::Rect r = control.visibleFrameRect();
    platform.click(r.x + r.w / 2, r.y + r.h / 2);
  };
  if (c.ITEM.shown() && c.ITMCommand1.shown()) return clickOn(c.ITMCommand1);
  if (c.LBcm.shown() && window.menu().choosing()) {
    const qov::Label& entry = c.Label1[static_cast<std::size_t>(n % 3 == 0 ? 1 : 0)];
    return clickOn(entry.caption.empty() ? c.Label1[0] : entry);
  }
  clickOn(c.MES);
}

}  // namespace

int main() {
  const fs::path game = QOV_GAME_DIR;
  const fs::path dir = fs::temp_directory_path() / "qov-state-bench";
  fs::remove_all(dir);
  fs::copy(game, dir);
  fs::remove(dir / "TOVELI2.DAT");

  std::deque<qov::GameSnapshot> kept;  // the last 100, as the history keeps them
  std::vector<double> takeUs;
  std::optional<qov::GameSnapshot> last;
  {
    qov::HeadlessPlatform platform({dir});
    platform.setFramesComposed(false);
    qov::Qov window(platform, dir, {dir});
    platform.setEventSink(&window);
    window.setWaitObserver([&] {
      const auto start = Clock::now();
      std::optional<qov::GameSnapshot> state = window.snapshot();
      takeUs.push_back(microseconds(Clock::now() - start));
      if (!state) return;
      last = *state;
      kept.push_back(std::move(*state));
      if (kept.size() > 100) kept.pop_front();
    });
    int waits = 0;
    platform.setStallHandler([&] {
      if (++waits > 400) {
        platform.closeWindow();
        return true;
      }
      answer(platform, window, waits);
      return true;
    });
    (void)window.run();
    const long long before = liveBytes;
    kept.clear();
    kept.shrink_to_fit();
    std::printf("states kept for the last 100 waits: %.0f KB (of %zu waits taken)\n",
                static_cast<double>(before - liveBytes) / 1024.0, takeUs.size());
  }
  std::sort(takeUs.begin(), takeUs.end());
  std::printf("taking a state at a wait: median %.1f us, worst %.1f us\n",
              takeUs[takeUs.size() / 2], takeUs.back());

  // A fresh window going on from the last state, to its wait.
  std::vector<double> goOnMs;
  for (int run = 0; run < 20 && last; ++run) {
    qov::HeadlessPlatform platform({dir});
    qov::Qov window(platform, dir, {dir});
    platform.setEventSink(&window);
    const auto start = Clock::now();
    window.startFrom(*last);
    platform.setStallHandler([&] {
      goOnMs.push_back(microseconds(Clock::now() - start) / 1000.0);
      platform.closeWindow();
      return true;
    });
    (void)window.run();
  }
  std::sort(goOnMs.begin(), goOnMs.end());
  if (!goOnMs.empty()) {
    std::printf("a fresh window from a state to its wait (fonts, picture, message): median %.2f ms, "
                "worst %.2f ms\n",
                goOnMs[goOnMs.size() / 2], goOnMs.back());
  }
  fs::remove_all(dir);
}
