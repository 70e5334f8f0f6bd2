#pragma once

// The bundled game, played on the headless platform from a copy of game/. The player's part is
// given by caption: menu entries by their text, the item window by the item's name; every
// message wait is answered with a left click on the message window. What the player sees and
// hears becomes a transcript (pictures, messages, menus, items, music, effects) that the tests
// compare with a file under tests/data/game/.

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Encoding.h"
#include "platform/Files.h"
#include "platform/Image.h"
#include "platform/ProgramEnd.h"
#include "platform/headless/HeadlessPlatform.h"
#include "ui/Qov.h"

namespace qov::testing {

namespace fs = std::filesystem;

inline const fs::path kGameSource = QOV_GAME_DIR;
inline const fs::path kGameData = fs::path(QOV_TEST_DATA) / "game";

// QOV_UPDATE_GOLDEN=1 rewrites the expected transcripts and save files instead of comparing.
inline bool updatingExpectations() {
  const char* update = std::getenv("QOV_UPDATE_GOLDEN");
  return update != nullptr && std::string_view(update) == "1";
}

inline std::string readBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const fs::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// A copy of the bundled game in a fresh temporary directory, so that the save file lands
// there and not in the source tree. Removed again at the end.
class GameCopy {
 public:
  GameCopy() {
    std::random_device random;
    path_ = fs::temp_directory_path() /
            ("qov-game-" + std::to_string(random()) + std::to_string(random()));
    fs::create_directories(path_);
    for (const auto& entry : fs::directory_iterator(kGameSource)) {
      fs::copy_file(entry.path(), path_ / entry.path().filename());
    }
  }
  ~GameCopy() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  GameCopy(const GameCopy&) = delete;
  GameCopy& operator=(const GameCopy&) = delete;
  [[nodiscard]] const fs::path& path() const { return path_; }
  [[nodiscard]] fs::path saveFile() const { return path_ / "TOVELI2.DAT"; }

 private:
  fs::path path_;
};

// What the game waits for when it stops for the player.
enum class Wait { Message, Menu, Items };

inline const char* waitName(Wait wait) {
  switch (wait) {
    case Wait::Message:
      return "a message";
    case Wait::Menu:
      return "a menu";
    case Wait::Items:
      return "the item window";
  }
  return "?";
}

class GamePlay {
 public:
  explicit GamePlay(const fs::path& gameDir)
      : platform({gameDir}), window(platform, gameDir, {gameDir}) {
    platform.setStallHandler([this] { return answer(); });
    // Music and effects are taken into the transcript every millisecond, so that they keep
    // their order among themselves; a background timer never moves a wait forward.
    const TimerId logs = platform.createTimer(
        1, [this] { flushLogs(); }, true);
    platform.setTimerEnabled(logs, true);
    window.setShowObserver([this](Qov::Shown shown, std::u32string_view text) {
      record((shown == Qov::Shown::Picture ? "picture " : "message ") + toUtf8(text));
      if (shown == Qov::Shown::Message) lastMessage_ = text;
      if (onShow_) onShow_(shown, text);
    });
  }

  // The player's next choices, in order: captions of menu entries ("見出し" clicks the
  // header), and after an item entry the name of the item to use ("やめる" cancels).
  GamePlay& choose(std::initializer_list<std::string_view> captions) {
    for (const std::string_view caption : captions) steps_.push_back({fromUtf8(caption), {}, {}});
    return *this;
  }
  // Runs `check` at the next wait of that kind; message waits before it are clicked through.
  GamePlay& at(Wait wait, std::function<void()> check) {
    steps_.push_back({U"", wait, std::move(check)});
    return *this;
  }
  // Runs `check` at the first wait inside a message that holds `text`.
  GamePlay& atMessage(std::string_view text, std::function<void()> check) {
    steps_.push_back({fromUtf8(text), Wait::Message, std::move(check)});
    return *this;
  }
  // Closes the window at the next wait, as the player closing it.
  GamePlay& closeWindow() {
    steps_.push_back({U"", std::nullopt, [this] { platform.closeWindow(); }});
    return *this;
  }
  // Called with every message text and picture name as it is shown.
  void onShow(std::function<void(Qov::Shown, std::u32string_view)> observer) {
    onShow_ = std::move(observer);
  }

  // Starts the game and plays it to its end; returns the exit code (-1 if it stalled).
  int run() {
    int code = -1;
    // Notices and error reports go to the terminal too; the transcript has them.
    ::testing::internal::CaptureStderr();
    try {
      window.Form_Load();
      for (;;) platform.waitEvents();
    } catch (const ProgramEnd& end) {
      code = end.exitCode;
    } catch (const HeadlessStall& stall) {
      ADD_FAILURE() << "the game stalled: " << stall.what() << "\nlast lines:\n" << tail();
    }
    (void)::testing::internal::GetCapturedStderr();
    flushLogs();
    record("end " + std::to_string(code));
    for (const auto& box : platform.messageBoxes()) {
      if (box.title == "Qov ERROR") ADD_FAILURE() << "script error: " << box.text;
    }
    EXPECT_TRUE(steps_.empty()) << steps_.size() << " steps of the play were not reached";
    return code;
  }

  // The transcript equals tests/data/game/<name>.txt.
  void expectTranscript(const std::string& name) const {
    std::string text;
    for (const std::string& line : transcript) text += line + "\n";
    expectFile(name + ".txt", text);
  }

  // The save file of `game` holds exactly the bytes of tests/data/game/<name>.DAT.
  static void expectSaveFile(const GameCopy& game, const std::string& name) {
    ASSERT_TRUE(fs::exists(game.saveFile())) << "no save file was written";
    expectFile(name + ".DAT", readBytes(game.saveFile()));
  }

  // The decoded picture file of the game.
  [[nodiscard]] Image picture(std::string_view name) {
    const auto bytes = readFile(kGameSource / (std::string(name) + ".SZG"));
    EXPECT_TRUE(bytes.has_value()) << name;
    std::optional<Image> image = bytes ? platform.decodeImage(*bytes) : std::nullopt;
    EXPECT_TRUE(image.has_value()) << name << " does not decode";
    return image ? std::move(*image) : Image();
  }

  // The upper right part of the scene, clear of the menu and the item window, shows the
  // picture at the top left, unscaled, and the scene's grey beyond its edges.
  void expectScene(std::string_view name) {
    const Image shown = picture(name);
    const Image& f = platform.frame();
    int wrong = 0;
    for (int y = 0; y < 280; ++y) {
      for (int x = 300; x < 504; ++x) {
        const bool inside = x < shown.width() && y < shown.height();
        const Argb want = inside ? shown.pixel(x, y) : rgb(64, 64, 64);
        if (f.pixel(x, y) != want) ++wrong;
      }
    }
    EXPECT_EQ(wrong, 0) << "pixels of the scene that are not those of " << name;
  }

  // The frame shows item n's cell of the item sheet in the item window.
  void expectItemPicture(int n) {
    const WindowControls& c = window.controls();
    const Image& sheet = c.ITMPicture1.picture();
    const Rect at = c.ITEM.frameRect();
    const int sx = 120 * (n % 6);
    const int sy = 100 * (n / 6);
    int wrong = 0;
    for (int y = 0; y < 100; ++y) {
      for (int x = 0; x < 120; ++x) {
        if (platform.frame().pixel(at.x + x, at.y + y) != sheet.pixel(sx + x, sy + y)) ++wrong;
      }
    }
    EXPECT_EQ(wrong, 0) << "pixels of the item window that are not those of item " << n;
  }

  // The six menu labels are drawn: the green header and the grey entries.
  void expectMenuDrawn() {
    const Image& f = platform.frame();
    EXPECT_EQ(f.pixel(73, 295), rgb(0, 128, 0));
    for (const auto& [x, y] :
         {std::pair{192, 294}, {312, 294}, {72, 310}, {192, 310}, {312, 310}}) {
      EXPECT_EQ(f.pixel(x + 1, y + 1), rgb(64, 64, 64)) << x << "," << y;
    }
    EXPECT_GT(count(Rect{192, 294, 121, 17}, rgb(255, 255, 0)), 0) << "no caption drawn";
  }

  // How many pixels of the frame in `area` have the colour.
  [[nodiscard]] int count(const Rect& area, Argb colour) const {
    int n = 0;
    for (int y = area.y; y < area.y + area.h; ++y) {
      for (int x = area.x; x < area.x + area.w; ++x) n += platform.frame().pixel(x, y) == colour;
    }
    return n;
  }

  HeadlessPlatform platform;
  Qov window;
  std::vector<std::string> transcript;
  int messageClicks = 0;

 private:
  struct Step {
    std::u32string caption;     // a choice; with an action, the text its message must hold
    std::optional<Wait> wait;   // the wait an action waits for; none: the next wait
    std::function<void()> act;  // a check or an action
  };

  static void expectFile(const std::string& name, const std::string& actual) {
    const fs::path expected = kGameData / name;
    if (updatingExpectations()) {
      writeBytes(expected, actual);
      return;
    }
    const fs::path out = fs::path(QOV_TEST_OUTPUT) / name;
    writeBytes(out, actual);
    const std::string want = readBytes(expected);
    if (want == actual) return;
    // The first line that differs, with its number.
    std::istringstream a(want);
    std::istringstream b(actual);
    std::string la;
    std::string lb;
    int line = 1;
    for (;; ++line) {
      const bool moreA = static_cast<bool>(std::getline(a, la));
      const bool moreB = static_cast<bool>(std::getline(b, lb));
      if (!moreA && !moreB) break;
      if (!moreA) la = "(end)";
      if (!moreB) lb = "(end)";
      if (la != lb) break;
    }
    ADD_FAILURE() << name << " differs at line " << line << "\n  expected: " << la
                  << "\n  actual:   " << lb << "\n(actual output: " << out.string() << ")";
  }

  [[nodiscard]] Wait currentWait() {
    if (window.items().selecting()) return Wait::Items;
    if (window.menu().MenuChoice == 99) return Wait::Menu;
    return Wait::Message;
  }

  // The stall handler: the game waits for the player; queue the click that answers it.
  bool answer() {
    flushLogs();
    const Wait wait = currentWait();
    while (!steps_.empty() && steps_.front().act &&
           (!steps_.front().wait || steps_.front().wait == wait) &&
           lastMessage_.find(steps_.front().caption) != std::u32string::npos) {
      const Step step = std::move(steps_.front());
      steps_.pop_front();
      step.act();
      if (platform.pendingInput() > 0) return true;
    }
    switch (wait) {
      case Wait::Message:
        if (platform.cursor() != Cursor::Wait) {
          ADD_FAILURE() << "the game waits for nothing the player can answer";
          return false;
        }
        ++messageClicks;
        return click(window.controls().MES);
      case Wait::Menu:
        return chooseEntry();
      case Wait::Items:
        return chooseItem();
    }
    return false;
  }

  [[nodiscard]] std::optional<std::u32string> nextChoice(Wait wait) {
    if (steps_.empty()) return std::nullopt;  // the play ends here
    if (steps_.front().act) {
      if (wait == Wait::Menu && steps_.front().wait == Wait::Message) {
        ADD_FAILURE() << "no message held \"" << toUtf8(steps_.front().caption)
                      << "\" before the menu\nlast lines:\n"
                      << tail();
        return std::nullopt;
      }
      ADD_FAILURE() << "the game waits for " << waitName(wait) << ", the play for "
                    << waitName(*steps_.front().wait) << "\nlast lines:\n"
                    << tail();
      return std::nullopt;
    }
    return steps_.front().caption;
  }

  bool chooseEntry() {
    const std::optional<std::u32string> want = nextChoice(Wait::Menu);
    if (!want) return false;
    WindowControls& c = window.controls();
    EXPECT_EQ(window.menu().MenuShown, 1) << "a menu waits unseen";
    std::string line = "menu " + toUtf8(c.LBcm.caption) + ":";
    const Label* target = *want == U"見出し" ? &c.LBcm : nullptr;
    for (const Label& label : c.Label1) {
      if (label.caption.empty()) continue;
      line += " [" + toUtf8(label.caption) + "]";
      if (label.caption == *want) target = &label;
    }
    record(line + " > " + toUtf8(*want));
    if (target == nullptr) {
      ADD_FAILURE() << "no entry " << toUtf8(*want) << " in " << line;
      return false;
    }
    steps_.pop_front();
    return click(*target);
  }

  // Browses with "＜" or "＞", whichever reaches the item in fewer clicks, then "使う".
  bool chooseItem() {
    const std::optional<std::u32string> want = nextChoice(Wait::Items);
    if (!want) return false;
    WindowControls& c = window.controls();
    const std::u32string& shown = c.ITMLabel1.caption;
    if (itemLine_.empty()) itemLine_ = "items " + toUtf8(shown);
    if (*want == U"やめる" || shown == *want) {
      record(itemLine_ + (*want == U"やめる" ? " やめる" : " 使う"));
      itemLine_.clear();
      steps_.pop_front();
      return click(*want == U"やめる" ? c.ITMCommand2 : c.ITMCommand1);
    }
    const Variables& v = window.variables();
    const int from = window.items().ItemSel;
    // Clicks to the item either way: each passes to the next item held.
    const auto clicks = [&](int step) {
      int n = 0;
      for (int k = from, seen = 0; seen < 17; ++seen) {
        k = (k + step + 17) % 17;
        if (v.itemCount(k) <= 0) continue;
        ++n;
        if (v.itemName(k) == *want) return n;
      }
      return 0;
    };
    const int forward = clicks(1);
    const int backward = clicks(-1);
    if (forward == 0) {
      ADD_FAILURE() << "no item " << toUtf8(*want) << " is held";
      return false;
    }
    const bool left = backward < forward;
    // The caption the click will show is that of the next held item that way.
    int next = from;
    do {
      next = (next + (left ? 16 : 1)) % 17;
    } while (v.itemCount(next) <= 0);
    itemLine_ += (left ? " ＜ " : " ＞ ") + toUtf8(v.itemName(next));
    return click(c.ITMCommand3[left ? 0 : 1]);
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

  // Music commands (but the loop's status queries), sound calls and message boxes since the
  // last line.
  void flushLogs() {
    const auto& boxes = platform.messageBoxes();
    for (; boxesSeen_ < boxes.size(); ++boxesSeen_) {
      std::string text = boxes[boxesSeen_].text;
      for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;)
        text.replace(at, 2, " / ");
      transcript.push_back("box " + boxes[boxesSeen_].title + ": " + text);
    }
    const auto& commands = platform.headlessMusic().commands();
    for (; musicSeen_ < commands.size(); ++musicSeen_) {
      if (commands[musicSeen_] != "status bg mode") {
        transcript.push_back("music " + commands[musicSeen_]);
      }
    }
    const auto& sounds = platform.headlessSound().log();
    for (; soundSeen_ < sounds.size(); ++soundSeen_) {
      const auto& s = sounds[soundSeen_];
      using Call = HeadlessSoundOutput::Call;
      transcript.push_back(s.call == Call::Play ? "sound " + s.file.filename().string() +
                                                      (s.ok ? "" : " (unreadable)")
                           : s.call == Call::PlayDefault ? "sound (default)"
                                                         : "sound stop");
    }
  }

  [[nodiscard]] std::string tail() const {
    std::string out;
    const std::size_t from = transcript.size() > 8 ? transcript.size() - 8 : 0;
    for (std::size_t i = from; i < transcript.size(); ++i) out += "  " + transcript[i] + "\n";
    return out;
  }

  std::deque<Step> steps_;
  std::function<void(Qov::Shown, std::u32string_view)> onShow_;
  std::string itemLine_;
  std::u32string lastMessage_;
  std::size_t musicSeen_ = 0;
  std::size_t soundSeen_ = 0;
  std::size_t boxesSeen_ = 0;
};

}  // namespace qov::testing
