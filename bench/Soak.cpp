// qov_soak: plays the demo game headless many times in one process with the automatic player
// of qov --autoplay, and shows whether memory grows from run to run.
//
//   qov_soak [RUNS] [GAME_DIRECTORY]     (1000 runs of the game beside the sources by default)
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "author/Autoplay.h"

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
  const fs::path game = argc > 2 ? fs::path(argv[2]) : fs::path(QOV_GAME_DIR);
  // Batches of runs, memory measured between them.
  constexpr int kBatch = 100;
  const auto start = std::chrono::steady_clock::now();
  long rssAfterFirst = -1;
  long answers = 0;
  int done = 0;
  while (done < runs) {
    const qov::author::AutoplayOptions options{.runs = std::min(kBatch, runs - done),
                                               .seed = static_cast<std::uint64_t>(done) + 1};
    const qov::author::AutoplayResult r = qov::author::autoplay(game, options);
    done += r.runs;
    answers += r.answers;
    const long rss = statusKb("VmRSS");
    if (rssAfterFirst < 0) rssAfterFirst = rss;
    std::printf("runs %4d: ", done);
    std::fflush(stdout);
    qov::author::printAutoplay(r, options, std::cout);
    std::printf("  VmRSS %ld kB, VmHWM %ld kB\n", rss, statusKb("VmHWM"));
    if (r.fault) return 1;
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%d runs (%ld answers) in %.1f s: %.1f runs a second, %.1f ms a run\n", runs, answers,
              seconds, runs / seconds, seconds * 1000 / runs);
  std::printf("VmRSS after the first batch: %ld kB, at the end: %ld kB (%+ld kB)\n", rssAfterFirst,
              statusKb("VmRSS"), statusKb("VmRSS") - rssAfterFirst);
  return 0;
}
