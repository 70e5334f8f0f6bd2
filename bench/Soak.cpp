// qov_soak: plays the demo game headless many times in one process, with a player who answers
// every wait (tests/soak/RandomPlayer.h), and shows whether memory grows from run to run.
//
//   qov_soak [RUNS] [GAME_DIRECTORY]     (1000 runs of the game beside the sources by default)
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <system_error>

#include "tests/soak/RandomPlayer.h"

namespace fs = std::filesystem;

namespace {

long statusKb(const char* field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  const std::string prefix = std::string(field) + ":";
  while (std::getline(in, line)) {
    if (line.rfind(prefix, 0) == 0) return std::stol(line.substr(prefix.size()));
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::stoi(argv[1]) : 1000;
  const fs::path source = argc > 2 ? fs::path(argv[2]) : fs::path(QOV_GAME_DIR);
  // The game saves: play a copy.
  const fs::path dir = fs::temp_directory_path() / ("qov-soak-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::copy(source, dir, fs::copy_options::recursive);

  const auto start = std::chrono::steady_clock::now();
  long rssAt100 = -1;
  int failures = 0;
  long answers = 0;
  std::cerr.rdbuf(nullptr);  // notices also go to the terminal
  for (int run = 1; run <= runs; ++run) {
    const qov::soak::PlayResult r = qov::soak::playOnce(dir, static_cast<std::uint64_t>(run));
    bool failed = r.exitCode != 0 || r.gaveUp;
    for (const auto& box : r.boxes) failed = failed || box.title == "Qov ERROR";
    if (failed) ++failures;
    answers += r.answers;
    if (run == 1 || run == 10 || run == 100 || run % 250 == 0 || run == runs) {
      const long rss = statusKb("VmRSS");
      if (run == 100) rssAt100 = rss;
      std::printf(
          "run %4d: exit %d, %d answers, %d menu choices, %.0f s on the game's clock%s; "
          "VmRSS %ld kB, VmHWM %ld kB\n",
          run, r.exitCode, r.answers, r.menuChoices, static_cast<double>(r.virtualMs) / 1000,
          failed ? " (FAILED)" : "", rss, statusKb("VmHWM"));
      std::fflush(stdout);
    }
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const long rssEnd = statusKb("VmRSS");
  std::printf("%d runs (%ld answers) in %.1f s, %.1f ms a run; %d failed\n", runs, answers, seconds,
              seconds * 1000 / runs, failures);
  if (rssAt100 > 0) {
    std::printf("VmRSS after run 100: %ld kB, after run %d: %ld kB (%+ld kB)\n", rssAt100, runs,
                rssEnd, rssEnd - rssAt100);
  }
  std::error_code ec;
  fs::remove_all(dir, ec);
  return failures == 0 ? 0 : 1;
}
