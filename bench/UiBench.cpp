// The window on the headless platform: writing a full page of message text, composing the
// frame, showing a picture, and starting up.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/headless/HeadlessPlatform.h"
#include "ui/Qov.h"

namespace qov::bench {
namespace {

// As the window shows it after start-up: the message font at 10 points.
constexpr FontRequest kMessageFont{FontFace::Gothic, 10.0, false};

// The most ordinary characters one page holds without a page wait: every line starts with the
// five columns of indentation, and the wrap after the page's last character would wait.
std::u32string fullPage(const PictureBox& MES) {
  const double points = MES.fontRequest().points;
  const int columns = static_cast<int>(MES.rect.w * 0.75 / points);
  const int lines = static_cast<int>(MES.rect.h * 0.75 / points);
  const std::u32string kana = U"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほ";
  std::u32string text = U"＃00";
  const int count = lines * (columns - 5) - 1;
  for (int i = 0; i < count; ++i) text += kana[static_cast<std::size_t>(i) % kana.size()];
  return text;
}

void BM_MessagePage(benchmark::State& state) {
  HeadlessPlatform platform({QOV_GAME_DIR});
  Qov window(platform, QOV_GAME_DIR, {QOV_GAME_DIR});
  window.controls().MES.setFont(kMessageFont);
  const std::u32string page = fullPage(window.controls().MES);
  window.MESHG(page);  // sets the delay to 0 for the measured runs
  for (auto _ : state) window.MESHG(page);
  state.counters["chars/s"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * static_cast<double>(page.size() - 3),
      benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MessagePage)->Unit(benchmark::kMicrosecond);

void BM_ComposeFrame(benchmark::State& state) {
  HeadlessPlatform platform({QOV_GAME_DIR});
  Qov window(platform, QOV_GAME_DIR, {QOV_GAME_DIR});
  window.controls().MES.setFont(kMessageFont);
  window.GHG(U"TITLE");
  window.CMST(0, U"＊はじめから＊つづきから＊オープニング＊あそびかた＊おわる");
  window.CMDS(1);
  window.MESHG(fullPage(window.controls().MES));
  for (auto _ : state) benchmark::DoNotOptimize(window.composeFrame().pixels().data());
}
BENCHMARK(BM_ComposeFrame)->Unit(benchmark::kMicrosecond);

// Decoding one scene picture of the demo game (504 x 336) and showing it in the scene picture.
void BM_ShowPicture(benchmark::State& state, const char* name) {
  HeadlessPlatform platform({QOV_GAME_DIR});
  Qov window(platform, QOV_GAME_DIR, {QOV_GAME_DIR});
  const std::u32string picture(name, name + std::char_traits<char>::length(name));
  for (auto _ : state) window.GHG(picture);
}
BENCHMARK_CAPTURE(BM_ShowPicture, png, "TITLE")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ShowPicture, jpeg, "OP1")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ShowPicture, gif, "OP3")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ShowPicture, bmp, "OP5")->Unit(benchmark::kMicrosecond);

// Start-up without a display: the platform with its fonts, the window with all its controls
// and its item sheet, and the first script loaded.
void BM_StartHeadless(benchmark::State& state) {
  for (auto _ : state) {
    HeadlessPlatform platform({QOV_GAME_DIR});
    Qov window(platform, QOV_GAME_DIR, {QOV_GAME_DIR});
    window.Form_Load();
    benchmark::DoNotOptimize(window.composeFrame().pixels().data());
  }
}
BENCHMARK(BM_StartHeadless)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qov::bench

BENCHMARK_MAIN();
