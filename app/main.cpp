// qov: plays the game in the directory of the program, or in the one named on the command line.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <variant>
#include <vector>

#include "app/CommandLine.h"
#include "author/Autoplay.h"
#include "author/Checker.h"
#include "author/Trace.h"
#include "engine/ScriptStore.h"
#include "platform/ProgramEnd.h"
#include "platform/render/Render.h"
#include "platform/sdl/SdlPlatform.h"
#include "shell/Shell.h"
#include "ui/Qov.h"

namespace fs = std::filesystem;

namespace {

// The game lies beside the program, as it always did.
fs::path programDirectory() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return fs::current_path();
  return exe.parent_path();
}

// Without an argument: the game beside the program; where there is none (an installed qov),
// the demo game installed with it, found from the program's own place so that a moved or
// unpacked installation still finds it.
fs::path defaultGameDirectory() {
  const fs::path beside = programDirectory();
  if (qov::holdsGame(beside)) return beside;
  const fs::path installed = (beside / QOV_INSTALLED_GAME).lexically_normal();
  if (qov::holdsGame(installed)) return installed;
  return beside;
}

// Plays one game (writing each command it runs to standard error with `trace`); returns the exit
// code and, when a game folder was dropped onto the window, that folder.
int play(const fs::path& gameDir, bool trace, bool textHook, std::optional<fs::path>& nextGame) {
  std::error_code ec;
  const std::vector<fs::path> mediaDirs = {fs::current_path(ec), gameDir};
  try {
    qov::SdlPlatform platform(mediaDirs);
    qov::Qov window(platform, gameDir, mediaDirs);
    qov::Shell shell(platform, window);
    qov::author::TraceWriter traceWriter(std::cerr);
    if (trace) window.interpreter().setObserver(&traceWriter);
    if (textHook) shell.textOut().hookTo(qov::TextOut::kStandardOutput);
    const int code = shell.run();
    nextGame = shell.nextGame();
    return code;
  } catch (const qov::FontError& e) {
    // The message names the missing fonts and their packages.
    std::cerr << "qov: " << e.what() << '\n';
    return 1;
  } catch (const std::exception& e) {
    std::cerr << "qov: " << e.what() << '\n';
    return 1;
  }
}

// Starts the program anew on `gameDir`: a fresh process, so nothing of the last game remains.
int startAnew(const char* programName, const qov::CommandLine& command, const fs::path& gameDir) {
  std::cout.flush();
  std::cerr.flush();
  std::vector<std::string> args = qov::argumentsAnew(command, gameDir);
  std::vector<char*> argv = {const_cast<char*>(programName)};
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  ::execv("/proc/self/exe", argv.data());
  std::cerr << "qov: cannot start again on " << gameDir.string() << ": " << std::strerror(errno)
            << '\n';
  return 1;
}

// --check: every finding on standard output; status 1 when one is an error.
int check(const fs::path& gameDir) {
  const qov::author::CheckResult result = qov::author::checkGame(gameDir);
  qov::author::printFindings(result, std::cout);
  return result.hasError() ? 1 : 0;
}

// --autoplay: the fault and its route, or the summary, on standard output.
int autoplay(const fs::path& gameDir, const qov::CommandLine& command) {
  const qov::author::AutoplayOptions options{.runs = command.runs, .seed = command.seed};
  try {
    const qov::author::AutoplayResult result = qov::author::autoplay(gameDir, options);
    qov::author::printAutoplay(result, options, std::cout);
    return result.fault ? 1 : 0;
  } catch (const std::exception& e) {
    std::cerr << "qov: " << e.what() << '\n';
    return 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  const auto parsed = qov::parseCommandLine(args);
  if (const auto* error = std::get_if<qov::UsageError>(&parsed)) {
    std::cerr << "qov: " << error->message << '\n' << qov::usageText();
    return 2;
  }
  const qov::CommandLine& command = std::get<qov::CommandLine>(parsed);
  switch (command.mode) {
    case qov::Mode::help:
      std::cout << qov::usageText();
      return 0;
    case qov::Mode::version:
      std::cout << "qov " << QOV_VERSION << '\n';
      return 0;
    case qov::Mode::autoplay:
    case qov::Mode::check:
    case qov::Mode::play:
    case qov::Mode::trace:
      break;
  }
  if (command.gameDir) {
    if (const auto error = qov::checkGameDirectory(*command.gameDir)) {
      std::cerr << "qov: " << error->message << '\n';
      return 2;
    }
  }
  const fs::path gameDir =
      command.gameDir ? fs::absolute(*command.gameDir) : defaultGameDirectory();
  if (command.mode == qov::Mode::check) return check(gameDir);
  if (command.mode == qov::Mode::autoplay) return autoplay(gameDir, command);
  std::optional<fs::path> nextGame;
  const int code = play(gameDir, command.mode == qov::Mode::trace, command.textHook, nextGame);
  // The platform and the window are gone: the dropped game starts in a clean process.
  if (nextGame) return startAnew(argc > 0 ? argv[0] : "qov", command, *nextGame);
  return code;
}
