#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Host.h"
#include "engine/Interpreter.h"
#include "engine/ScriptError.h"
#include "engine/Variables.h"
#include "platform/Encoding.h"
#include "platform/ProgramEnd.h"

namespace qov::test {

namespace fs = std::filesystem;
using Calls = std::vector<std::string>;

// Records every call as one line of text and answers menus from a queue of choice codes.
class FakeHost : public Host {
 public:
  Calls calls;
  std::deque<std::int16_t> choices;
  std::vector<std::string> reports;
  std::vector<std::string> notices;
  std::u32string faultyMessage;  // MESHG finds a mark-up fault in this text

  void MESHG(std::u32string_view text) override {
    log("MESHG:", text);
    if (text == faultyMessage) throw ScriptError{U"＠の引数が不正"};
  }
  void clearMessageWindow() override { log("clear"); }
  void CMST(std::int16_t menu, std::u32string_view text) override { log("CMST:", menu, ":", text); }
  void setMenuText(std::int16_t menu, std::int16_t entry, std::u32string_view text) override {
    log("menuText:", menu, ":", entry, ":", text);
  }
  std::int16_t CMSL(std::int16_t menu) override {
    log("CMSL:", menu);
    if (choices.empty()) throw ProgramEnd{99};  // a menu the test did not expect
    const std::int16_t code = choices.front();
    choices.pop_front();
    return code;
  }
  void CMDS(std::int16_t mode) override { log("CMDS:", mode); }
  void GHG(std::u32string_view name) override { log("GHG:", name); }
  void MUSPL(std::u32string_view name, std::int16_t mode) override {
    log("MUSPL:", name, ":", mode);
  }
  void playSound(std::u32string_view name, std::int16_t flags) override {
    log("sound:", name, ":", flags);
  }
  void OP() override { log("OP"); }
  void unload() override {
    log("unload");
    throw ProgramEnd{0};
  }
  void showErrorReport(std::u32string_view report) override { reports.push_back(toUtf8(report)); }
  void showNotice(std::u32string_view text) override { notices.push_back(toUtf8(text)); }

  Calls take() { return std::exchange(calls, {}); }

 private:
  static std::string str(std::int16_t n) { return std::to_string(n); }
  static std::string str(std::u32string_view s) { return toUtf8(s); }
  static std::string str(const char* s) { return s; }
  void log(const auto&... parts) { calls.push_back((std::string() + ... + str(parts))); }
};

// A fresh game directory holding copies of the test scripts, and an interpreter over it.
class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::path(::testing::TempDir()) /
           ("qov-engine-" + std::to_string(::getpid()) + "-" + info->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    for (const auto& entry : fs::directory_iterator(QOV_ENGINE_TEST_DATA)) {
      if (entry.path().extension() == ".QOV")
        fs::copy_file(entry.path(), dir_ / entry.path().filename());
    }
    restart();
  }
  void TearDown() override {
    interpreter_.reset();
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  // A new interpreter with all variables 0 and nothing recorded.
  void restart() {
    vars_ = Variables{};
    host_.calls.clear();
    host_.reports.clear();
    host_.notices.clear();
    interpreter_ = std::make_unique<Interpreter>(vars_, host_, dir_);
  }

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

  int runToEnd() {
    for (int i = 0; i < 100; ++i) {
      if (const auto code = tick()) return *code;
    }
    ADD_FAILURE() << "the script did not end";
    return -1;
  }

  // Runs the script to its end and returns the error report it ended with.
  std::string reportOf(std::u32string_view name) {
    host_.reports.clear();
    start(name);
    EXPECT_EQ(runToEnd(), 1);
    return lastReport();
  }

  [[nodiscard]] std::string lastReport() const {
    return host_.reports.empty() ? std::string() : host_.reports.back();
  }

  void writeFile(const fs::path& name, std::string_view bytes) const {
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
  }
  [[nodiscard]] std::string readBytes(const fs::path& name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  [[nodiscard]] Interpreter& interpreter() { return *interpreter_; }
  [[nodiscard]] std::int16_t lineNo() const { return interpreter_->lineNo(); }

  Variables vars_;
  FakeHost host_;
  fs::path dir_;
  std::unique_ptr<Interpreter> interpreter_;
};

inline std::string cp932(std::string_view utf8) {
  return encodeCp932(fromUtf8(utf8));
}

}  // namespace qov::test
