#include "author/Autoplay.h"

#include <unistd.h>

#include <algorithm>
#include <iostream>
#include <map>
#include <ostream>
#include <set>
#include <string_view>
#include <system_error>
#include <utility>

#include "author/Checker.h"
#include "engine/Commands.h"
#include "engine/Interpreter.h"
#include "engine/SaveFile.h"
#include "platform/Encoding.h"
#include "platform/ProgramEnd.h"
#include "platform/headless/HeadlessPlatform.h"
#include "ui/Qov.h"

namespace qov::author {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kNeverRunShown = 5;

std::string place(const std::string& file, int line) {
  return file + ":" + std::to_string(line);
}

// A copy of the game that the runs may save into; removed at the end.
class GameCopy {
 public:
  explicit GameCopy(const fs::path& source)
      : dir_(fs::temp_directory_path() / ("qov-autoplay-" + std::to_string(::getpid()))) {
    fs::remove_all(dir_);
    fs::copy(source, dir_, fs::copy_options::recursive);
  }
  ~GameCopy() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  GameCopy(const GameCopy&) = delete;
  GameCopy& operator=(const GameCopy&) = delete;
  [[nodiscard]] const fs::path& dir() const { return dir_; }

 private:
  fs::path dir_;
};

// The window reports errors and notices on standard error too; the runs keep quiet.
class QuietErrors {
 public:
  QuietErrors() : saved_(std::cerr.rdbuf(nullptr)) {}
  ~QuietErrors() { std::cerr.rdbuf(saved_); }
  QuietErrors(const QuietErrors&) = delete;
  QuietErrors& operator=(const QuietErrors&) = delete;

 private:
  std::streambuf* saved_;
};

// Thrown through the window when a run passes its command budget.
struct CommandBudgetSpent {};

// What one run saw: the lines it ran, the route, the line it ended on.
class RunObserver final : public CommandObserver {
 public:
  RunObserver(std::map<std::string, std::vector<bool>>& reached, long commandBudget)
      : reached_(reached), commandBudget_(commandBudget) {}

  void commandStarts(const ScriptStore& store) override {
    if (++commands_ > commandBudget_) throw CommandBudgetSpent{};
    const std::string& file = store.scriptFile();
    const int line = store.lineNo();
    if (file != file_ || loading_) route.push_back(file);
    file_ = file;
    line_ = line;
    auto& lines = reached_[file];
    if (line >= 0 && static_cast<std::size_t>(line) < lines.size()) {
      lines[static_cast<std::size_t>(line)] = true;
    }
    const std::int16_t command = store.command();
    loading_ = command != ScriptStore::kNoCommand &&
               commandTable()[static_cast<std::size_t>(command)].word == U"ACMLD";
  }

  // Where the script stands: a choice is made at its CMSL line.
  [[nodiscard]] std::string here() const { return place(file_, line_); }

  std::vector<std::string> route;

 private:
  std::map<std::string, std::vector<bool>>& reached_;
  long commandBudget_;
  long commands_ = 0;
  std::string file_;
  int line_ = 0;
  bool loading_ = false;
};

// A small generator of our own, so that a seed plays the same run on every machine.
class Choices {
 public:
  explicit Choices(std::uint64_t seed) : state_(0x9E3779B97F4A7C15ull * (seed + 1)) {}
  int pick(int bound) {
    state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<int>((state_ >> 33) % static_cast<std::uint64_t>(bound));
  }

 private:
  std::uint64_t state_;
};

enum class RunEnd { ended, cut, fault };

struct Run {
  RunEnd end = RunEnd::ended;
  int answers = 0;
  std::string endedAt;
  std::string report;
  std::vector<std::string> route;
};

Run playOnce(const fs::path& dir, std::uint64_t seed, const AutoplayOptions& options,
             std::map<std::string, std::vector<bool>>& reached) {
  std::error_code ec;
  fs::remove(dir / SaveFile::kFileName, ec);  // every run starts without a save
  HeadlessPlatform platform({dir});
  platform.setFramesComposed(false);
  Qov window(platform, dir, {dir});
  platform.setEventSink(&window);
  RunObserver observer(reached, options.commandBudget);
  window.interpreter().setObserver(&observer);
  Choices choices(seed);
  Run run;
  WindowControls& c = window.controls();
  const auto clickOn = [&platform](const Control& control) {
    const Rect r = control.visibleFrameRect();
    platform.click(r.x + r.w / 2, r.y + r.h / 2);
  };
  platform.setStallHandler([&] {
    if (++run.answers > options.answerBudget) {
      run.end = RunEnd::cut;
      platform.closeWindow();
      return true;
    }
    if (c.ITEM.shown() && c.ITMCommand1.shown()) {
      // Mostly use the item shown; sometimes browse first, or cancel.
      const int action = choices.pick(10);
      const std::string item = "「" + toUtf8(c.ITMLabel1.caption) + "」";
      if (action < 6) {
        observer.route.push_back(observer.here() + ": 使う " + item);
        clickOn(c.ITMCommand1);
      } else if (action < 9) {
        clickOn(c.ITMCommand3[static_cast<std::size_t>(action - 6) % 2]);
      } else {
        observer.route.push_back(observer.here() + ": やめる");
        clickOn(c.ITMCommand2);
      }
    } else if (c.LBcm.shown()) {
      std::vector<const Label*> entries;
      for (const Label& label : c.Label1) {
        if (!label.caption.empty()) entries.push_back(&label);
      }
      // The header leads back to the first menu: a choice only inside a submenu.
      if (c.LBcm.caption != U"コマンド" || entries.empty()) entries.push_back(&c.LBcm);
      const Label& chosen =
          *entries[static_cast<std::size_t>(choices.pick(static_cast<int>(entries.size())))];
      observer.route.push_back(observer.here() + ": 「" + toUtf8(chosen.caption) + "」");
      clickOn(chosen);
    } else {
      clickOn(c.MES);
    }
    return true;
  });
  int exitCode = 0;
  try {
    exitCode = window.run();
  } catch (const CommandBudgetSpent&) {
    run.end = RunEnd::cut;
  } catch (const HeadlessStall& stall) {
    run.end = RunEnd::fault;
    run.report = std::string("the game waits for something the automatic player cannot give: ") +
                 stall.what();
  }
  for (const auto& box : platform.messageBoxes()) {
    if (box.title != "Qov ERROR") continue;
    run.end = RunEnd::fault;
    run.report = box.text;
    std::replace(run.report.begin(), run.report.end(), '\r', '\n');
  }
  if (run.end == RunEnd::ended && exitCode != 0) run.end = RunEnd::fault;
  run.endedAt = observer.here();
  run.route = std::move(observer.route);
  return run;
}

}  // namespace

AutoplayResult autoplay(const fs::path& gameDir, const AutoplayOptions& options) {
  const CheckResult checked = checkGame(gameDir);
  std::map<std::string, std::vector<bool>> reached;
  for (const CheckedScript& script : checked.scripts) {
    reached[script.file].assign(static_cast<std::size_t>(script.lineCount) + 2, false);
  }
  AutoplayResult result;
  {
    const GameCopy copy(gameDir);
    const QuietErrors quiet;
    std::set<std::string> endings;
    for (int k = 0; k < options.runs; ++k) {
      const std::uint64_t seed = options.seed + static_cast<std::uint64_t>(k);
      Run run = playOnce(copy.dir(), seed, options, reached);
      ++result.runs;
      result.answers += run.answers;
      if (run.end == RunEnd::fault) {
        result.fault = AutoplayFault{k + 1, seed, std::move(run.report), std::move(run.route)};
        break;
      }
      if (run.end == RunEnd::cut) {
        ++result.cut;
      } else {
        ++result.ended;
        endings.insert(run.endedAt);
      }
    }
    result.endings.assign(endings.begin(), endings.end());
  }
  // A line counts as run when a run reached it; a CASE line when a run entered its block.
  for (const CheckedScript& script : checked.scripts) {
    const std::vector<bool>& lines = reached[script.file];
    for (int line = 1; line <= script.lineCount; ++line) {
      const auto i = static_cast<std::size_t>(line);
      if (script.tableLine[i]) continue;
      ++result.commandLines;
      if (lines[i] || (script.caseLine[i] && lines[i + 1])) continue;
      result.neverRun.push_back(place(script.file, line));
    }
  }
  return result;
}

void printAutoplay(const AutoplayResult& result, const AutoplayOptions& options,
                   std::ostream& out) {
  if (result.fault) {
    const AutoplayFault& f = *result.fault;
    out << "run " << f.run << " (qov --autoplay 1 --seed " << f.seed << ") ended in an error:\n"
        << f.report << (f.report.ends_with('\n') ? "" : "\n") << "route:\n";
    for (const std::string& step : f.route) out << "  " << step << '\n';
    return;
  }
  out << result.runs << (result.runs == 1 ? " run" : " runs") << " from seed " << options.seed
      << ": " << result.ended << " ended, " << result.cut << " cut at the budget of "
      << options.answerBudget << " answers or " << options.commandBudget << " commands; "
      << result.endings.size() << (result.endings.size() == 1 ? " ending" : " endings");
  for (std::size_t i = 0; i < result.endings.size() && i < kNeverRunShown; ++i) {
    out << (i == 0 ? " (" : ", ") << result.endings[i];
  }
  out << (result.endings.empty() ? "" : ")") << "; " << result.neverRun.size() << " of "
      << result.commandLines << " command lines never run";
  for (std::size_t i = 0; i < result.neverRun.size() && i < kNeverRunShown; ++i) {
    out << (i == 0 ? ": " : ", ") << result.neverRun[i];
  }
  out << (result.neverRun.size() > kNeverRunShown ? ", ..." : "") << '\n';
}

}  // namespace qov::author
