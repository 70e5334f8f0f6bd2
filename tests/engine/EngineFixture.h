#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "engine/Interpreter.h"
#include "engine/Variables.h"
#include "platform/Encoding.h"
#include "platform/ProgramEnd.h"
#include "tests/engine/FakeHost.h"

namespace qov::test {

namespace fs = std::filesystem;

inline const fs::path kScripts = QOV_ENGINE_TEST_DATA;

// A fresh game directory holding copies of the test scripts, and an interpreter over it.
class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::path(::testing::TempDir()) / ("qov-engine-" + std::to_string(::getpid()) + "-" +
                                             info->test_suite_name() + "-" + info->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    for (const auto& entry : fs::directory_iterator(kScripts)) {
      if (entry.path().extension() == ".QOV")
        fs::copy_file(entry.path(), dir_ / entry.path().filename());
    }
    interpreter_ = std::make_unique<Interpreter>(vars_, host_, dir_);
  }
  void TearDown() override {
    interpreter_.reset();
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  // Loads the script as start-up does; the load must succeed.
  void start(std::u32string_view name) {
    ASSERT_NO_THROW(interpreter_->load(name)) << toUtf8(name) << ": " << lastReport();
  }

  // One tick; returns the exit code when the program ended in it.
  std::optional<int> tick() {
    try {
      interpreter_->timerqov_Timer();
    } catch (const ProgramEnd& end) {
      return end.exitCode;
    }
    return std::nullopt;
  }

  // Ticks until the program ends; returns its exit code (-1 when it does not end in time).
  int runToEnd(int maxTicks = 100) {
    for (int i = 0; i < maxTicks; ++i) {
      if (const auto code = tick()) return *code;
    }
    ADD_FAILURE() << "the script did not end within " << maxTicks << " ticks";
    return -1;
  }

  // Runs the script to its end and returns the error report it ended with.
  std::string reportOf(std::u32string_view name) {
    start(name);
    EXPECT_EQ(runToEnd(), 1);
    return lastReport();
  }

  [[nodiscard]] std::string lastReport() const {
    return host_.reports.empty() ? std::string() : host_.reports.back();
  }

  void writeFile(const fs::path& name, std::string_view bytes) const {
    std::ofstream out(dir_ / name, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  [[nodiscard]] std::string readBytes(const fs::path& name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  [[nodiscard]] Interpreter& interpreter() { return *interpreter_; }
  [[nodiscard]] std::int16_t lineNo() const { return interpreter_->lineNo(); }

  Variables vars_;
  FakeHost host_;
  fs::path dir_;
  std::unique_ptr<Interpreter> interpreter_;
};

// CP932 bytes of a UTF-8 text.
inline std::string cp932(std::string_view utf8) {
  return encodeCp932(fromUtf8(utf8));
}

}  // namespace qov::test
