// qov: plays the game in the directory of the program, or the one named on the command line, or
// shows the player's library of games.
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
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
#include "platform/UserDirectories.h"
#include "platform/UserFolders.h"
#include "platform/render/Render.h"
#include "platform/sdl/SdlPlatform.h"
#include "shell/PlayerSettings.h"
#include "shell/Shell.h"
#include "shell/Words.h"
#include "shell/archive/Archive.h"
#include "shell/library/GameFinder.h"
#include "shell/library/Library.h"
#include "shell/library/LibraryScreen.h"
#include "shell/library/ProgressScreen.h"
#include "shell/library/ScreenParts.h"
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

// The demo game: the one beside the program (a build tree), else the one installed with it,
// found from the program's own place so that a moved or unpacked installation still finds it;
// empty when there is none.
fs::path demoGame() {
  const fs::path beside = programDirectory();
  if (qov::holdsGame(beside)) return beside;
  const fs::path installed = (beside / QOV_INSTALLED_GAME).lexically_normal();
  if (qov::holdsGame(installed)) return installed;
  return {};
}

// The catalogs of the player's words: the build's beside the program, else the installed ones,
// found from the program's own place as the demo game is.
fs::path catalogFolder() {
  const fs::path beside = programDirectory() / "locale";
  std::error_code ec;
  if (fs::is_directory(beside, ec)) return beside;
  return (programDirectory() / QOV_INSTALLED_LOCALE).lexically_normal();
}

// The language of the player's words, from the settings (whose faults the game's start reports)
// or the environment; before any thread starts.
void chooseWords() {
  qov::useCatalogs(catalogFolder());
  const fs::path settings = qov::userSettingsFile();
  qov::useLanguage(settings.empty() ? qov::Language::Automatic
                                    : qov::PlayerSettings::read(settings).settings.language);
}

fs::path homeFolder() {
  const char* home = std::getenv("HOME");
  std::error_code ec;
  return home != nullptr && home[0] == '/' ? fs::path(home) : fs::current_path(ec);
}

// The player's library; nullopt, after a line on stderr, where the user has no data folder.
std::optional<qov::Library> openLibrary() {
  const std::optional<qov::LibraryPlaces> places = qov::userLibraryPlaces();
  if (!places) {
    std::cerr << "qov: "
              << qov::tr8("no place for the library: neither $XDG_DATA_HOME nor $HOME is set")
              << '\n';
    return std::nullopt;
  }
  qov::Library library(places->file, places->gamesRoot);
  library.load();
  return library;
}

// How a game ended, besides its exit code: a game folder dropped onto the window, the game
// library asked for, or the game's own EXIT or EOF.
struct GameEnd {
  std::optional<fs::path> nextGame;
  bool byScript = false;
  bool library = false;  // the player's menu asked for the game library
};

// Plays one game (writing each command it runs to standard error with `trace`); returns the exit
// code.
int play(const fs::path& gameDir, bool trace, bool textHook, bool resume, GameEnd& end) {
  std::error_code ec;
  const std::vector<fs::path> mediaDirs = {fs::current_path(ec), gameDir};
  try {
    qov::SdlPlatform platform(mediaDirs);
    qov::Qov window(platform, gameDir, mediaDirs);
    qov::Shell shell(platform, window);
    qov::author::TraceWriter traceWriter(std::cerr);
    if (trace) window.interpreter().setObserver(&traceWriter);
    if (textHook) shell.textOut().hookTo(qov::TextOut::kStandardOutput);
    // The player's own states of this game: never in the game's folder.
    if (const auto states = qov::userGameDirectory(gameDir, "states")) {
      shell.states().open(gameDir, *states);
      if (resume) {
        if (std::optional<qov::GameSnapshot> from = shell.states().resumeState()) {
          window.startFrom(std::move(*from));
        }
      }
    } else {
      std::cerr << "qov: no place for save states: neither $XDG_DATA_HOME nor $HOME is set\n";
    }
    const int code = shell.run();
    end.nextGame = shell.nextGame();
    end.library = shell.libraryNext();
    end.byScript = window.endedByScript();
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

// Starts the program anew with `args`: a fresh process, so nothing of the last game remains.
int startAnew(const char* programName, std::vector<std::string> args) {
  std::cout.flush();
  std::cerr.flush();
  std::vector<char*> argv = {const_cast<char*>(programName)};
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  // The environment as it came: the next process chooses its language anew.
  qov::restoreEnvironment();
  ::execv("/proc/self/exe", argv.data());
  std::cerr << "qov: "
            << qov::fill8(qov::tr8("cannot start again on {}: {}"),
                          {args.back(), std::strerror(errno)})
            << '\n';
  return 1;
}

// The game in `gameDir` played in a fresh process.
int startGame(const char* programName, const fs::path& gameDir, bool fromLibrary,
              bool resume = false) {
  std::vector<std::string> args = {"--", gameDir.string()};
  if (fromLibrary) args.insert(args.begin(), "--from-library");
  if (resume) args.insert(args.begin(), "--resume");
  return startAnew(programName, std::move(args));
}

// The library screen until the player picks a game, which then starts in a fresh process.
int showLibrary(const char* programName) {
  std::optional<qov::Library> library = openLibrary();
  if (!library) return 1;
  std::optional<fs::path> chosen;
  bool resume = false;
  try {
    std::error_code ec;
    qov::SdlPlatform platform({fs::current_path(ec)});
    qov::LibraryScreen screen(platform, *library, {demoGame(), homeFolder()});
    chosen = screen.run();
    resume = screen.resumeChosen();
  } catch (const std::exception& e) {
    std::cerr << "qov: " << e.what() << '\n';
    return 1;
  }
  // The game's own process notes when it was played.
  if (!chosen) return 0;
  return startGame(programName, *chosen, true, resume);
}

// --list: one game a line, title, folder and the time last played.
int listLibrary() {
  std::optional<qov::Library> library = openLibrary();
  if (!library) return 1;
  for (const qov::LibraryEntry& e : library->entries()) {
    std::cout << e.title << '\t' << e.folder.string() << '\t'
              << (e.played ? qov::isoTime(*e.played) : "-") << '\n';
  }
  return 0;
}

// --add: each game added, as title and folder.
int addToLibrary(const fs::path& path) {
  std::optional<qov::Library> library = openLibrary();
  if (!library) return 1;
  const qov::AddedGames added = qov::addGames(*library, path);
  for (const fs::path& game : added.games) {
    const qov::LibraryEntry* entry = library->find(game);
    std::cout << (entry ? entry->title : game.filename().string()) << '\t' << game.string() << '\n';
  }
  if (!added.problem.empty()) std::cerr << "qov: " << added.problem << '\n';
  return added.problem.empty() ? 0 : 1;
}

// An archive or CD image named on the command line: extracted (a bar in the window when that
// takes long), added to the library, and played in a fresh process.
int openArchive(const char* programName, const fs::path& archive) {
  std::optional<qov::Library> library = openLibrary();
  if (!library) return 1;
  qov::AddedGames added;
  try {
    std::error_code ec;
    qov::SdlPlatform platform({fs::current_path(ec)});
    qov::ProgressScreen screen(platform, qov::fill(qov::tr(U"Extracting: {}"),
                                                   {qov::screen::readable(archive.filename())}));
    added = qov::addGames(*library, archive, [&](double fraction) { screen.progress(fraction); });
  } catch (const qov::ProgramEnd& end) {
    return end.exitCode;
  } catch (const std::exception& e) {
    std::cerr << "qov: " << e.what() << '\n';
    return 1;
  }
  if (!added.problem.empty()) std::cerr << "qov: " << added.problem << '\n';
  if (added.games.empty()) return 1;
  return startGame(programName, added.games.front(), false);
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
  chooseWords();
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  const auto parsed = qov::parseCommandLine(args);
  if (const auto* error = std::get_if<qov::UsageError>(&parsed)) {
    std::cerr << "qov: " << error->message << '\n' << qov::usageText();
    return 2;
  }
  const qov::CommandLine& command = std::get<qov::CommandLine>(parsed);
  const char* programName = argc > 0 ? argv[0] : "qov";
  switch (command.mode) {
    case qov::Mode::help:
      std::cout << qov::usageText();
      return 0;
    case qov::Mode::version:
      std::cout << "qov " << QOV_VERSION << '\n';
      return 0;
    case qov::Mode::list:
      return listLibrary();
    case qov::Mode::library:
      return showLibrary(programName);
    case qov::Mode::add:
      if (const auto error = qov::checkGamePath(*command.gameDir)) {
        std::cerr << "qov: " << error->message << '\n';
        return 2;
      }
      return addToLibrary(*command.gameDir);
    case qov::Mode::autoplay:
    case qov::Mode::check:
    case qov::Mode::play:
    case qov::Mode::trace:
      break;
  }
  const bool plays = command.mode == qov::Mode::play || command.mode == qov::Mode::trace;
  if (command.gameDir) {
    const auto error =
        plays ? qov::checkGamePath(*command.gameDir) : qov::checkGameDirectory(*command.gameDir);
    if (error) {
      std::cerr << "qov: " << error->message << '\n';
      return 2;
    }
  }
  fs::path gameDir;
  if (command.gameDir) {
    gameDir = fs::absolute(*command.gameDir).lexically_normal();
  } else if (plays && !qov::holdsGame(programDirectory())) {
    // An installed qov has no game beside it: the library, with the demo game in it.
    return showLibrary(programName);
  } else {
    // The game beside the program, else (--check, --autoplay) the demo game installed with it.
    gameDir = demoGame();
    if (gameDir.empty()) gameDir = programDirectory();
  }
  if (command.mode == qov::Mode::check) return check(gameDir);
  if (command.mode == qov::Mode::autoplay) return autoplay(gameDir, command);
  std::error_code ec;
  if (!fs::is_directory(gameDir, ec)) {
    // A file: an archive or image is opened; one inside a game folder plays that game.
    if (qov::isArchive(gameDir)) return openArchive(programName, gameDir);
    if (!qov::holdsGame(gameDir.parent_path())) {
      std::cerr << "qov: "
                << qov::fill8(qov::tr8("'{}' is no game: neither a file in a game folder nor an "
                                       "archive or CD image that qov can open"),
                              {command.gameDir->string()})
                << '\n';
      return 2;
    }
    gameDir = gameDir.parent_path();
  } else if (!qov::holdsGame(gameDir) && !qov::gamesInside(gameDir).empty()) {
    // A folder of games: each is added, and the library shows them.
    const int code = addToLibrary(gameDir);
    return code == 0 ? showLibrary(programName) : code;
  }
  // A game of the library: when it was played. Without a data folder there is no library.
  if (const std::optional<qov::LibraryPlaces> places = qov::userLibraryPlaces()) {
    qov::Library library(places->file, places->gamesRoot);
    if (const auto problem = library.markPlayed(gameDir, qov::unixNow())) {
      std::cerr << "qov: " << *problem << '\n';
    }
  }
  GameEnd end;
  const int code =
      play(gameDir, command.mode == qov::Mode::trace, command.textHook, command.resume, end);
  // The platform and the window are gone: the next game, or the library, starts in a clean
  // process.
  if (end.nextGame) return startAnew(programName, qov::argumentsAnew(command, *end.nextGame));
  if (end.library || (command.fromLibrary && end.byScript)) {
    return startAnew(programName, {"--library"});
  }
  return code;
}
