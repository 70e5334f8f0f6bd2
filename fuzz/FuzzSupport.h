#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

namespace qov::fuzz {

// A game directory of this process, in memory where the system offers it (the harnesses write
// their input there on every run), removed at exit.
class ScratchDir {
 public:
  explicit ScratchDir(std::string_view tag) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path base =
        fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
    path_ = base / ("qov-fuzz-" + std::string(tag) + "-" + std::to_string(::getpid()));
    fs::remove_all(path_, ec);
    fs::create_directories(path_);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  [[nodiscard]] const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline void writeFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A small deterministic generator, seeded from the input, for the player's clicks: the same
// input always gets the same answers.
class Choices {
 public:
  explicit Choices(std::string_view input) {
    for (const char c : input) state_ = (state_ ^ static_cast<std::uint8_t>(c)) * 0x100000001B3ull;
  }
  [[nodiscard]] unsigned next(unsigned bound) {
    state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<unsigned>((state_ >> 33) % bound);
  }

 private:
  std::uint64_t state_ = 0xCBF29CE484222325ull;
};

}  // namespace qov::fuzz
