// What F5 and F9 cost: the whole write of a large state (thumbnail, JSON, atomic write) and
// reading it back; F5 on the window's thread and F9 to the restored page with the real window.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>

#include <algorithm>
#include <chrono>
#include <vector>

#include "platform/AtomicFile.h"
#include "platform/Encoding.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/render/Render.h"
#include "shell/Shell.h"
#include "shell/states/StateFile.h"
#include "shell/states/States.h"
#include "ui/Qov.h"

namespace {

namespace fs = std::filesystem;

// A store as a long game leaves it: 2000 lines of 30 characters of Japanese text.
qov::SavedState bigState() {
  qov::SavedState s;
  s.title = "夏灯り";
  s.scriptsHash = "0123456789abcdef";
  s.pageStart = U"浜辺の夜店に灯りがともる";
  auto lines = std::make_shared<std::vector<std::u32string>>(2001);
  for (std::size_t i = 1; i < lines->size(); ++i) {
    (*lines)[i] = U"MES,夜店の灯りが浜辺に並んで、波の音が遠くに聞こえる。￥";
  }
  s.snapshot.lines = lines;
  s.snapshot.scriptFile = "natu1.QOV";
  return s;
}

// A frame with detail everywhere, as a scene picture gives.
qov::Image busyFrame() {
  qov::Image frame(506, 384);
  std::mt19937 random(1);
  for (int y = 0; y < 384; ++y) {
    for (int x = 0; x < 506; ++x) {
      frame.setPixel(x, y, qov::rgb((x * 3 + y) & 0xFF, (x ^ y) & 0xFF, random() & 0xFF));
    }
  }
  return frame;
}

fs::path scratch() {
  const fs::path dir = fs::temp_directory_path() / "qov-bench-states";
  fs::create_directories(dir);
  return dir;
}

void BM_QuickSave(benchmark::State& st) {
  qov::SavedState s = bigState();
  const qov::Image frame = busyFrame();
  const fs::path file = scratch() / "quick.json";
  std::size_t bytes = 0;
  for (auto _ : st) {
    s.thumbnailPng = qov::encodePng(qov::thumbnailOf(frame)).value_or("");
    const std::string text = qov::encodeState(s);
    bytes = text.size();
    if (qov::replaceFile(file, text)) st.SkipWithError("cannot write");
  }
  st.counters["file_bytes"] = static_cast<double>(bytes);
  st.counters["thumbnail_bytes"] = static_cast<double>(s.thumbnailPng.size());
}
BENCHMARK(BM_QuickSave)->Unit(benchmark::kMillisecond);

void BM_QuickSaveWithoutWrite(benchmark::State& st) {
  qov::SavedState s = bigState();
  const qov::Image frame = busyFrame();
  for (auto _ : st) {
    s.thumbnailPng = qov::encodePng(qov::thumbnailOf(frame)).value_or("");
    benchmark::DoNotOptimize(qov::encodeState(s));
  }
}
BENCHMARK(BM_QuickSaveWithoutWrite)->Unit(benchmark::kMillisecond);

void BM_QuickLoadRead(benchmark::State& st) {
  qov::SavedState s = bigState();
  s.thumbnailPng = qov::encodePng(qov::thumbnailOf(busyFrame())).value_or("");
  const fs::path file = scratch() / "load.json";
  if (qov::replaceFile(file, qov::encodeState(s))) st.SkipWithError("cannot write");
  for (auto _ : st) {
    auto read = qov::readStateFile(file);
    if (!std::holds_alternative<qov::SavedState>(read)) st.SkipWithError("cannot read");
    benchmark::DoNotOptimize(read);
  }
}
BENCHMARK(BM_QuickLoadRead)->Unit(benchmark::kMillisecond);

void BM_ScriptsHashDemoGame(benchmark::State& st) {
  for (auto _ : st) benchmark::DoNotOptimize(qov::scriptsHash(QOV_GAME_DIR));
}
BENCHMARK(BM_ScriptsHashDemoGame)->Unit(benchmark::kMillisecond);

// A game of one long message on the headless platform with the shell around it; `atWait` runs
// at every wait until it returns false.
void playAtWaits(const std::function<bool(qov::HeadlessPlatform&, qov::Shell&)>& atWait) {
  const fs::path dir = scratch() / "game";
  fs::create_directories(dir);
  std::string script;
  for (int i = 0; i < 40; ++i) {
    script +=
        qov::encodeCp932(U"MES,浜辺の夜店に灯りがともる。波の音が遠くに聞こえる。￥") + "\r\n";
  }
  script += "EXIT\r\n";
  std::ofstream(dir / "wnatu.QOV", std::ios::binary) << script;
  qov::HeadlessPlatform platform({dir});
  qov::Qov window(platform, dir, {dir});
  qov::Shell shell(platform, window);
  shell.states().open(dir, scratch() / "states");
  platform.setStallHandler([&] {
    if (!atWait(platform, shell)) platform.closeWindow();
    return true;
  });
  try {
    static_cast<void>(shell.run());
  } catch (const std::exception& e) {
    std::cerr << "bench: " << e.what() << '\n';
  }
}

// F5 as the window's thread sees it: the snapshot, the frame and its thumbnail; the rest is
// the writer's.
void BM_F5OnTheWindowThread(benchmark::State& st) {
  playAtWaits([&](qov::HeadlessPlatform&, qov::Shell& shell) {
    for (auto _ : st) {
      if (shell.states().save("quick")) st.SkipWithError("no state at the wait");
      st.PauseTiming();
      shell.states().finishWrites();  // one file at a time, outside the figure
      st.ResumeTiming();
    }
    return false;
  });
}
BENCHMARK(BM_F5OnTheWindowThread)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(50);

// F9 to the restored page shown: reading the file, refusal, restore and the page written
// again, measured from the key to the next wait.
void BM_F9ToTheRestoredPage(benchmark::State& st) {
  std::vector<double> ms;
  auto pressed = std::chrono::steady_clock::now();
  bool saved = false;
  for (auto _ : st) {
    ms.clear();
    saved = false;
    playAtWaits([&](qov::HeadlessPlatform& platform, qov::Shell& shell) {
      if (!saved) {
        static_cast<void>(shell.states().save("quick"));
        shell.states().finishWrites();
        saved = true;
      } else {
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - pressed)
                .count());
      }
      if (ms.size() == 20) return false;
      pressed = std::chrono::steady_clock::now();
      platform.key(qov::Key::F9);
      return true;
    });
  }
  std::sort(ms.begin(), ms.end());
  if (!ms.empty()) {
    st.counters["median_ms"] = ms[ms.size() / 2];
    st.counters["worst_ms"] = ms.back();
  }
}
BENCHMARK(BM_F9ToTheRestoredPage)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
