#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include <unistd.h>

#include "engine/Host.h"
#include "platform/ProgramEnd.h"

namespace qov::bench {

// A presentation that shows nothing: the engine alone is measured.
class NullHost final : public Host {
 public:
  void MESHG(std::u32string_view) override {}
  void clearMessageWindow() override {}
  void CMST(std::int16_t, std::u32string_view) override {}
  void setMenuText(std::int16_t, std::int16_t, std::u32string_view) override {}
  std::int16_t CMSL(std::int16_t menu) override { return static_cast<std::int16_t>(menu * 100); }
  void CMDS(std::int16_t) override {}
  void GHG(std::u32string_view) override {}
  void MUSPL(std::u32string_view, std::int16_t) override {}
  void playSound(std::u32string_view, std::int16_t) override {}
  void OP() override {}
  void unload() override { throw ProgramEnd{0}; }
  void showErrorReport(std::u32string_view) override {}
  void showNotice(std::u32string_view) override {}
};

// A directory that lives as long as the object.
class TempDir {
 public:
  explicit TempDir(const std::string& tag)
      : path_(std::filesystem::temp_directory_path() /
              ("qov-bench-" + tag + "-" + std::to_string(::getpid()))) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  [[nodiscard]] const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace qov::bench
