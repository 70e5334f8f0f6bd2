// An archive unpacked as the library unpacks one, into a folder of its own. Every input is
// either unpacked or refused with an ArchiveError that names it; no link, no device and nothing
// outside that folder is ever created. (The copy's naming and its renaming into place are
// plain file system work, left to the tests, so that the fuzzer spends its time in the archive.)
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "shell/archive/Archive.h"
#include "shell/archive/Extractor.h"

namespace {

namespace fs = std::filesystem;

[[noreturn]] void broken(const std::string& what) {
  std::fprintf(stderr, "property broken: %s\n", what.c_str());
  std::abort();
}

// A folder of this process's own, in memory where there is /dev/shm, removed at the end.
struct WorkFolder {
  fs::path path;
  WorkFolder() {
    std::error_code ec;
    const fs::path base =
        fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
    path = base / ("qov-fuzz-archive-" + std::to_string(::getpid()));
    fs::remove_all(path, ec);
    fs::create_directories(path);
  }
  ~WorkFolder() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
};

const fs::path& workFolder() {
  static const WorkFolder folder;
  return folder.path;
}

// The folder lives in memory: what one input may unpack is kept small.
constexpr qov::ExtractLimits kLimits{.maxBytes = std::uint64_t{64} << 20,
                                     .ratioFrom = std::uint64_t{1} << 20};

void check(const fs::path& folder) {
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_symlink() || !(entry.is_directory() || entry.is_regular_file())) {
      broken("not a file or folder: " + entry.path().string());
    }
    if (entry.is_regular_file() && entry.hard_link_count() != 1) {
      broken("a hard link: " + entry.path().string());
    }
  }
  std::size_t beside = 0;
  for (const auto& entry : fs::directory_iterator(workFolder())) {
    (void)entry;
    ++beside;
  }
  if (beside != 2) broken("something was written beside the unpacked folder");
}

}  // namespace

// libarchive takes and frees buffers of hundreds of kilobytes for every archive; a quarantine of
// 16 MB (not 256) still outlives many inputs and spares a third of the time spent mapping memory.
extern "C" const char* __asan_default_options() {
  return "quarantine_size_mb=16";
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::cerr.rdbuf(nullptr);  // one line for each refused entry would flood the output
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fs::path input = workFolder() / "input.bin";
  const fs::path games = workFolder() / "unpacked";
  {
    std::ofstream out(input, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  fs::create_directory(games);
  try {
    qov::extractInto(input, games, kLimits, {});
  } catch (const qov::ArchiveError& error) {
    if (!std::string(error.what()).starts_with(input.string() + ": ")) {
      broken(std::string("the message names no archive: ") + error.what());
    }
  }
  check(games);
  fs::remove_all(games);
  return 0;
}
