#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "engine/Host.h"
#include "platform/Encoding.h"
#include "platform/ProgramEnd.h"

namespace qov::test {

// Records every call as one line of text and answers menus from a queue of choice codes.
class FakeHost : public Host {
 public:
  std::vector<std::string> calls;
  std::deque<std::int16_t> choices;
  std::vector<std::string> reports;
  std::vector<std::string> notices;

  void MESHG(std::u32string_view text) override { log("MESHG:" + toUtf8(text)); }
  void clearMessageWindow() override { log("clear"); }
  void CMST(std::int16_t menu, std::u32string_view text) override {
    log("CMST:" + std::to_string(menu) + ":" + toUtf8(text));
  }
  void setMenuText(std::int16_t menu, std::int16_t entry, std::u32string_view text) override {
    log("menuText:" + std::to_string(menu) + ":" + std::to_string(entry) + ":" + toUtf8(text));
  }
  std::int16_t CMSL(std::int16_t menu) override {
    log("CMSL:" + std::to_string(menu));
    if (choices.empty()) {
      ADD_FAILURE() << "a menu ran with no choice left";
      throw ProgramEnd{99};
    }
    const std::int16_t code = choices.front();
    choices.pop_front();
    return code;
  }
  void CMDS(std::int16_t mode) override { log("CMDS:" + std::to_string(mode)); }
  void GHG(std::u32string_view name) override { log("GHG:" + toUtf8(name)); }
  void MUSPL(std::u32string_view name, std::int16_t mode) override {
    log("MUSPL:" + toUtf8(name) + ":" + std::to_string(mode));
  }
  void playSound(std::u32string_view name, std::int16_t flags) override {
    log("sound:" + toUtf8(name) + ":" + std::to_string(flags));
  }
  void OP() override { log("OP"); }
  void unload() override {
    log("unload");
    throw ProgramEnd{0};
  }
  void showErrorReport(std::u32string_view report) override { reports.push_back(toUtf8(report)); }
  void showNotice(std::u32string_view text) override { notices.push_back(toUtf8(text)); }

  // The calls made since the last take.
  std::vector<std::string> take() { return std::exchange(calls, {}); }

 private:
  void log(std::string call) { calls.push_back(std::move(call)); }
};

}  // namespace qov::test
