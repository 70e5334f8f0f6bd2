// Unpacking a game archive: our extraction beside `bsdtar -x` of the same file, in turns, and
// the memory ours takes while it runs.
//
//   bench_archive SCRATCH_FOLDER ARCHIVE...
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "shell/archive/Archive.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kRounds = 5;

// A figure of /proc/self/status, in kB.
long status(const std::string& key) {
  std::ifstream in("/proc/self/status");
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with(key + ":")) return std::stol(line.substr(key.size() + 1));
  }
  return -1;
}

double seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

double bsdtar(const fs::path& archive, const fs::path& into) {
  fs::create_directories(into);
  const auto start = Clock::now();
  const pid_t child = ::fork();
  if (child == 0) {
    // Told, as ours is, that LZH names are CP932, and given a UTF-8 locale to write them in.
    ::setenv("LC_ALL", "C.UTF-8", 1);
    ::execlp("bsdtar", "bsdtar", "--options", "lha:hdrcharset=CP932", "-x", "-f", archive.c_str(),
             "-C", into.c_str(), nullptr);
    ::_exit(127);
  }
  int code = 0;
  ::waitpid(child, &code, 0);
  const double taken = seconds(start);
  if (!WIFEXITED(code) || WEXITSTATUS(code) != 0) std::cerr << "bsdtar failed\n";
  return taken;
}

double ours(const fs::path& archive, const fs::path& root, long& peakAboveKb) {
  // Peak memory counted from here: writing 5 to clear_refs resets VmHWM to VmRSS.
  std::ofstream("/proc/self/clear_refs") << "5";
  const long before = status("VmRSS");
  const auto start = Clock::now();
  const qov::ExtractedGame game = qov::extractGame(archive, root);
  const double taken = seconds(start);
  peakAboveKb = std::max(peakAboveKb, status("VmHWM") - before);
  if (!game.fresh) std::cerr << "not extracted afresh\n";
  return taken;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: bench_archive SCRATCH_FOLDER ARCHIVE...\n";
    return 2;
  }
  const fs::path scratch = argv[1];
  std::printf("%-24s %8s %12s %12s %8s %14s\n", "archive", "MB", "bsdtar s", "ours s", "ratio",
              "peak above kB");
  for (int i = 2; i < argc; ++i) {
    const fs::path archive = argv[i];
    std::vector<double> theirs;
    std::vector<double> mine;
    long peakAbove = 0;
    for (int round = 0; round < kRounds; ++round) {
      fs::remove_all(scratch);
      theirs.push_back(bsdtar(archive, scratch / "bsdtar"));
      mine.push_back(ours(archive, scratch / "ours", peakAbove));
    }
    fs::remove_all(scratch);
    const double t = median(theirs);
    const double o = median(mine);
    std::printf("%-24s %8.1f %12.3f %12.3f %8.2f %14ld\n", archive.filename().c_str(),
                static_cast<double>(fs::file_size(archive)) / 1e6, t, o, t / o, peakAbove);
  }
  std::printf("ratio: bsdtar's time over ours (>= 0.7 wanted); medians of %d turns each\n",
              kRounds);
  return 0;
}
