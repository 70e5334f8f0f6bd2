#pragma once

// The bundled game played on the headless platform from a copy of game/. The player's part is
// a list: menu entries by caption ("見出し" is the header), after an item entry the item's name
// ("やめる" cancels), and "閉じる" to close the window at the next wait. Message waits get a
// left click. What the player sees and hears becomes a transcript.

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Encoding.h"
#include "platform/ProgramEnd.h"
#include "platform/headless/HeadlessPlatform.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/Qov.h"

namespace qov::test {

namespace fs = std::filesystem;

inline const fs::path kGameSource = QOV_GAME_DIR;

inline std::string readBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// `actual` equals tests/data/game/<name> (QOV_UPDATE_GOLDEN=1 rewrites that file); it is also
// left in the build folder.
inline void expectFile(const std::string& name, const std::string& actual) {
  const fs::path expected = fs::path(QOV_TEST_DATA) / "game" / name;
  const char* update = std::getenv("QOV_UPDATE_GOLDEN");
  const bool updating = update != nullptr && std::string_view(update) == "1";
  std::ofstream(updating ? expected : fs::path(QOV_TEST_OUTPUT) / name, std::ios::binary) << actual;
  EXPECT_EQ(readBytes(expected), actual) << name << " differs; see " << QOV_TEST_OUTPUT;
}

// A copy of the game in a temporary directory, where its save file lands.
class GameCopy : public TempDir {
 public:
  GameCopy() {
    for (const auto& entry : fs::directory_iterator(kGameSource)) {
      fs::copy_file(entry.path(), path() / entry.path().filename());
    }
  }
  [[nodiscard]] fs::path saveFile() const { return path() / "TOVELI2.DAT"; }
};

class GamePlay {
 public:
  GamePlay(const GameCopy& game, std::initializer_list<std::string_view> choices)
      : platform({game.path()}), window(platform, game.path(), {game.path()}) {
    for (const std::string_view choice : choices) choices_.push_back(fromUtf8(choice));
    platform.setEventSink(&window);
    platform.setStallHandler([this] { return answer(); });
    // Music and sound logs join the transcript every millisecond, to keep their order.
    const TimerId logs = platform.createTimer(
        1, [this] { flushLogs(); }, true);
    platform.setTimerEnabled(logs, true);
    window.setShowObserver([this](Qov::Shown shown, std::u32string_view text) {
      record((shown == Qov::Shown::Picture ? "picture " : "message ") + toUtf8(text));
      if (onShow) onShow(shown, text);
    });
  }

  HeadlessPlatform platform;
  Qov window;
  std::vector<std::string> transcript;
  std::function<void(Qov::Shown, std::u32string_view)> onShow;

  // Plays to the end; returns the exit code.
  int run() {
    int code = -1;
    ::testing::internal::CaptureStderr();  // notices and reports are in the transcript
    try {
      code = window.run();
    } catch (const HeadlessStall& stall) {
      ADD_FAILURE() << "the game stalled: " << stall.what();
    }
    (void)::testing::internal::GetCapturedStderr();
    record("end " + std::to_string(code));
    EXPECT_TRUE(choices_.empty()) << choices_.size() << " choices were not reached";
    return code;
  }

  void expectTranscript(const std::string& name) const {
    std::string text;
    for (const std::string& line : transcript) text += line + "\n";
    expectFile(name + ".txt", text);
  }

 private:
  bool answer() {
    flushLogs();
    WindowControls& c = window.controls();
    if (!choices_.empty() && choices_.front() == U"閉じる") {
      choices_.pop_front();
      platform.closeWindow();
      return true;
    }
    if (window.items().selecting()) return chooseItem(c);
    if (window.menu().MenuChoice == 99) return chooseEntry(c);
    EXPECT_EQ(platform.cursor(), Cursor::Wait) << "a wait the player cannot answer";
    return click(c.MES);
  }

  bool chooseEntry(WindowControls& c) {
    if (choices_.empty()) return false;
    const std::u32string want = choices_.front();
    choices_.pop_front();
    std::string line = "menu " + toUtf8(c.LBcm.caption) + ":";
    const Label* target = want == U"見出し" ? &c.LBcm : nullptr;
    for (const Label& label : c.Label1) {
      if (label.caption.empty()) continue;
      line += " [" + toUtf8(label.caption) + "]";
      if (label.caption == want) target = &label;
    }
    record(line + " > " + toUtf8(want));
    EXPECT_NE(target, nullptr) << "no such entry";
    return target != nullptr && click(*target);
  }

  // "＜" or "＞", whichever reaches the item in fewer clicks, then "使う".
  bool chooseItem(WindowControls& c) {
    const std::u32string& shown = c.ITMLabel1.caption;
    itemLine_ += (itemLine_.empty() ? "items " : browsed_) + toUtf8(shown);
    if (choices_.empty()) return false;
    const std::u32string want = choices_.front();
    if (want == U"やめる" || shown == want) {
      record(itemLine_ + (want == U"やめる" ? " やめる" : " 使う"));
      itemLine_.clear();
      choices_.pop_front();
      return click(want == U"やめる" ? c.ITMCommand2 : c.ITMCommand1);
    }
    const Variables& v = window.variables();
    const auto clicks = [&](int step) {
      for (int k = window.items().ItemSel, n = 0, seen = 0; seen < 17; ++seen) {
        k = (k + step + 17) % 17;
        if (v.itemCount(k) > 0 && (++n, v.itemName(k) == want)) return n;
      }
      return 99;
    };
    const bool back = clicks(-1) < clicks(1);
    EXPECT_LT(clicks(1), 99) << "no such item is held";
    browsed_ = back ? " ＜ " : " ＞ ";
    return clicks(1) < 99 && click(c.ITMCommand3[back ? 0 : 1]);
  }

  bool click(const Control& control) {
    const Rect r = control.visibleFrameRect();
    platform.click(r.x + r.w / 2, r.y + r.h / 2);
    return true;
  }

  void record(std::string line) {
    flushLogs();
    transcript.push_back(std::move(line));
  }

  // Message boxes, music commands (but the loop's status queries) and sound calls.
  void flushLogs() {
    const auto& boxes = platform.messageBoxes();
    for (; boxesSeen_ < boxes.size(); ++boxesSeen_) {
      std::string text = boxes[boxesSeen_].text;
      for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) {
        text.replace(at, 2, " / ");
      }
      transcript.push_back("box " + boxes[boxesSeen_].title + ": " + text);
    }
    const auto& commands = platform.headlessMusic().commands();
    for (; musicSeen_ < commands.size(); ++musicSeen_) {
      if (commands[musicSeen_] != "status bg mode") {
        transcript.push_back("music " + commands[musicSeen_]);
      }
    }
    using Call = HeadlessSoundOutput::Call;
    const auto& sounds = platform.headlessSound().log();
    for (; soundSeen_ < sounds.size(); ++soundSeen_) {
      const auto& s = sounds[soundSeen_];
      transcript.push_back(s.call == Call::Play ? "sound " + s.file.filename().string() +
                                                      (s.ok ? "" : " (unreadable)")
                           : s.call == Call::PlayDefault ? "sound (default)"
                                                         : "sound stop");
    }
  }

  std::deque<std::u32string> choices_;
  std::string itemLine_;
  std::string browsed_;
  std::size_t musicSeen_ = 0;
  std::size_t soundSeen_ = 0;
  std::size_t boxesSeen_ = 0;
};

}  // namespace qov::test
