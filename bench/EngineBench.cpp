// The script engine alone: how many commands a tick runs per second, and how long a script
// takes to load.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "bench/NullHost.h"
#include "engine/Interpreter.h"
#include "engine/Variables.h"
#include "platform/Encoding.h"
#include "platform/Files.h"

namespace qov::bench {
namespace {

void writeScript(const std::filesystem::path& dir, std::string_view name,
                 const std::vector<std::string>& linesUtf8) {
  std::string bytes;
  for (const std::string& line : linesUtf8) bytes += encodeCp932(fromUtf8(line)) + "\r\n";
  std::ofstream(dir / (std::string(name) + ".QOV"), std::ios::binary) << bytes;
}

// The counter cycles 1..kLimit; a tick must stay well below one cycle to be counted.
constexpr std::int16_t kLimit = 30000;

// LET, INC and GOTO: no command ends the tick, so only the time budget cuts it.
void BM_LoopWithinTick(benchmark::State& state) {
  const TempDir dir("loop");
  writeScript(dir.path(), "loop", {"LET,2,7", "INC,1,30000,L", "GOTO,1"});
  Variables vars;
  NullHost host;
  Interpreter interpreter(vars, host, dir.path());
  interpreter.load(U"loop");
  // A short budget keeps one tick well below a cycle of the counter; the clock is read only
  // every few hundred commands, so the budget hardly changes the cost of a command.
  interpreter.setTickBudget(std::chrono::microseconds(50));
  std::int64_t passes = 0;
  for (auto _ : state) {
    const int before = vars.var(1);
    interpreter.timerqov_Timer();
    const int after = vars.var(1);
    const int done = (after - before + kLimit) % kLimit;
    if (done > kLimit / 2) {
      state.SkipWithError("the counter went round within one tick: shorten the budget");
      break;
    }
    passes += done;
  }
  state.counters["commands/s"] =
      benchmark::Counter(static_cast<double>(passes * 3), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LoopWithinTick)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

// INC and an IF that fails: every pass ends its tick, so this measures the tick itself.
void BM_LoopEndingEachTick(benchmark::State& state) {
  const TempDir dir("ticks");
  writeScript(dir.path(), "ticks", {"INC,1,30000,L", "IF,F01=00,1"});
  Variables vars;
  NullHost host;
  Interpreter interpreter(vars, host, dir.path());
  interpreter.load(U"ticks");
  for (auto _ : state) interpreter.timerqov_Timer();
  state.counters["commands/s"] =
      benchmark::Counter(static_cast<double>(state.iterations() * 2), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LoopEndingEachTick)->MinTime(2.0);

// 2000 lines as a game has them: messages, menus, conditions, variables.
std::vector<std::string> bigScript() {
  const std::vector<std::string> pattern = {
      "MES,＃01＠00＆0ミナト：0夕暮れの港に、提灯の明かりがひとつ、またひとつと灯っていく。＾"
      "祭りの太鼓が遠くで鳴っている。￥",
      "CMST,3,＊話す＊調べる＊持ち物＞移動＊戻る",
      "CMSL,3,40",
      "CASE,300",
      "IF,F05=01&I03}01#F07<10,12",
      "LET,5,F07",
      "INC,7,20,L",
      "ITMS,3,1,貝殻",
      "GHG,HARBOR",
      "GOTO,1",
  };
  std::vector<std::string> lines;
  lines.reserve(2000);
  for (int i = 0; i < 2000; ++i) lines.push_back(pattern[static_cast<std::size_t>(i) % 10]);
  return lines;
}

void BM_Load2000Lines(benchmark::State& state) {
  const TempDir dir("load");
  writeScript(dir.path(), "big", bigScript());
  Variables vars;
  NullHost host;
  Interpreter interpreter(vars, host, dir.path());
  for (auto _ : state) interpreter.load(U"big");
  state.counters["lines/s"] = benchmark::Counter(static_cast<double>(state.iterations() * 2000),
                                                 benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Load2000Lines)->Unit(benchmark::kMillisecond);

// Finding a picture in a folder of 500 files: by its exact name (one look at the disk), by
// a name of other case, and by a name stored as CP932 bytes among 500 such names.
enum class Lookup { exact, otherCase, cp932 };

void BM_FindFile(benchmark::State& state) {
  const auto kind = static_cast<Lookup>(state.range(0));
  const TempDir dir("find");
  const auto nameOf = [&](int i) -> std::string {
    const std::string number = std::to_string(i);
    if (kind == Lookup::cp932) return encodeCp932(U"夜景" + fromUtf8(number) + U".SZG");
    return "room" + number + ".szg";
  };
  for (int i = 0; i < 500; ++i) std::ofstream(dir.path() / nameOf(i)) << i;
  const std::string wanted = kind == Lookup::exact       ? "room250.szg"
                             : kind == Lookup::otherCase ? "ROOM250.SZG"
                                                         : toUtf8(U"夜景250.SZG");
  for (auto _ : state) {
    const auto found = findFile(dir.path(), wanted);
    if (!found) state.SkipWithError("not found");
    benchmark::DoNotOptimize(found);
  }
}
BENCHMARK(BM_FindFile)
    ->ArgName("exact/case/cp932")
    ->Arg(static_cast<int>(Lookup::exact))
    ->Arg(static_cast<int>(Lookup::otherCase))
    ->Arg(static_cast<int>(Lookup::cp932))
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qov::bench

BENCHMARK_MAIN();
