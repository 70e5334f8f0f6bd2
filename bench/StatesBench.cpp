// What F5 and F9 cost on the window's thread, the game's own part (its snapshot and restore)
// left out: the thumbnail, the JSON, the atomic write; and reading a state back.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>

#include "platform/AtomicFile.h"
#include "platform/render/Render.h"
#include "shell/states/StateFile.h"
#include "shell/states/States.h"

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

}  // namespace

BENCHMARK_MAIN();
