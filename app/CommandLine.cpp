#include "app/CommandLine.h"

#include <charconv>
#include <system_error>

#include "shell/Words.h"

namespace qov {

namespace {

constexpr std::string_view kUsage = later(
    "usage: qov [--resume] [GAME]\n"
    "       qov --library\n"
    "       qov --add GAME\n"
    "       qov --list\n"
    "       qov --check [GAME_DIRECTORY]\n"
    "       qov --trace [GAME_DIRECTORY]\n"
    "       qov --texthook [GAME_DIRECTORY]\n"
    "       qov --autoplay RUNS [--seed N] [GAME_DIRECTORY]\n"
    "\n"
    "Plays GAME: a game folder (one that holds wnatu.QOV), a file inside one, or an archive or\n"
    "CD image that holds a game (ZIP, LZH, 7z, RAR, CAB, TAR, ISO 9660), which is extracted once\n"
    "into $XDG_DATA_HOME/qov/games/ and added to the library. A folder whose subfolders hold\n"
    "games adds each of them and shows the library. Without GAME: the game in the directory\n"
    "that holds qov, else the library (the games added, and the demo game installed with qov).\n"
    "\n"
    "  --library   shows the library: click or Enter plays a game, Delete takes one out of the\n"
    "              list (never deleting the player's folder), \"ゲームを追加…\" adds folders,\n"
    "              archives and CD images; a game played from it brings it back when it ends\n"
    "  --add       adds GAME to the library without playing it and prints each game added as\n"
    "              TITLE<TAB>FOLDER\n"
    "  --list      prints the library, one game a line: TITLE<TAB>FOLDER<TAB>the time last\n"
    "              played (ISO 8601, UTC) or -\n"
    "  --resume    goes on from the autosave, taken when the window was last closed during the\n"
    "              game; without one (or with one the game cannot go on from) it starts as usual\n"
    "  --from-library  plays GAME as the library does: when the game ends by itself (EXIT or\n"
    "              EOF), the library comes back\n"
    "  --check     reads every script of the game without running it and prints each fault\n"
    "              as NAME.QOV:LINE: error: TEXT (or warning:); status 1 when there is an error\n"
    "  --trace     plays as usual and writes each command it runs to standard error as\n"
    "              NAME.QOV:LINE: text\n"
    "  --texthook  plays as usual and writes each page's text, each menu and each item shown\n"
    "              to standard output, one line of UTF-8 each, for a translator or dictionary\n"
    "              (can be combined with --trace)\n"
    "  --autoplay  plays the game RUNS times without a window or sound, choosing at random\n"
    "              (from the seed N, 1 by default); prints the first script error with the\n"
    "              route that led to it (status 1), or a summary of the runs\n"
    "  --help      prints this text\n"
    "  --version   prints the version\n"
    "\n"
    "The library is kept in $XDG_DATA_HOME/qov/library.ini (~/.local/share/qov/library.ini),\n"
    "a game's save states (F5, F9, F6) in $XDG_DATA_HOME/qov/states/<folder>-<hash>/.\n"
    "The player's own words are in Japanese or English: the setting language (auto, ja or en)\n"
    "under [player] in $XDG_CONFIG_HOME/qov/qov.ini, or on auto the first of LANGUAGE, LC_ALL,\n"
    "LC_MESSAGES and LANG that is set (ja... means Japanese, anything else English).\n");

template <typename Number>
std::optional<Number> parseNumber(std::string_view text) {
  Number value{};
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

UsageError unknownOption(std::string_view arg) {
  return {fill8(tr8("unknown option '{}'"), {arg})};
}

}  // namespace

std::variant<CommandLine, UsageError> parseCommandLine(std::span<const std::string_view> args) {
  CommandLine line;
  bool modeGiven = false;
  bool seedGiven = false;
  const auto setMode = [&](Mode mode, std::string_view arg) -> std::optional<UsageError> {
    if (modeGiven)
      return UsageError{fill8(tr8("'{}' cannot be combined with another mode"), {arg})};
    modeGiven = true;
    line.mode = mode;
    return std::nullopt;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    std::optional<UsageError> error;
    if (arg == "--help" || arg == "-h") {
      error = setMode(Mode::help, arg);
    } else if (arg == "--version") {
      error = setMode(Mode::version, arg);
    } else if (arg == "--check") {
      error = setMode(Mode::check, arg);
    } else if (arg == "--trace") {
      error = setMode(Mode::trace, arg);
    } else if (arg == "--texthook") {
      line.textHook = true;
    } else if (arg == "--autoplay") {
      error = setMode(Mode::autoplay, arg);
      if (!error) {
        const auto runs = i + 1 < args.size() ? parseNumber<int>(args[i + 1]) : std::nullopt;
        if (!runs || *runs < 1)
          return UsageError{tr8("--autoplay needs a number of runs (1 or more)")};
        line.runs = *runs;
        ++i;
      }
    } else if (arg == "--library") {
      error = setMode(Mode::library, arg);
    } else if (arg == "--add") {
      error = setMode(Mode::add, arg);
    } else if (arg == "--list") {
      error = setMode(Mode::list, arg);
    } else if (arg == "--from-library") {
      line.fromLibrary = true;
    } else if (arg == "--resume") {
      line.resume = true;
    } else if (arg == "--seed") {
      const auto seed =
          i + 1 < args.size() ? parseNumber<std::uint64_t>(args[i + 1]) : std::nullopt;
      if (!seed) return UsageError{tr8("--seed needs a number (0 or more)")};
      line.seed = *seed;
      seedGiven = true;
      ++i;
    } else if (arg == "--") {
      // Everything after it is a directory, even when it begins with "-".
      if (i + 2 < args.size()) return UsageError{tr8("only one game directory can be given")};
      if (i + 1 < args.size()) {
        if (line.gameDir) return UsageError{tr8("only one game directory can be given")};
        line.gameDir = std::filesystem::path(args[i + 1]);
      }
      break;
    } else if (arg.size() > 1 && arg.front() == '-') {
      return unknownOption(arg);
    } else {
      if (line.gameDir) return UsageError{tr8("only one game directory can be given")};
      line.gameDir = std::filesystem::path(arg);
    }
    if (error) return *error;
  }
  if (seedGiven && line.mode != Mode::autoplay)
    return UsageError{tr8("--seed belongs to --autoplay")};
  if ((line.mode == Mode::library || line.mode == Mode::list) && line.gameDir) {
    return UsageError{
        fill8(tr8("{} takes no game"), {line.mode == Mode::library ? "--library" : "--list"})};
  }
  if (line.mode == Mode::add && !line.gameDir) return UsageError{tr8("--add needs a game to add")};
  if (line.fromLibrary && (line.mode != Mode::play || !line.gameDir)) {
    return UsageError{tr8("--from-library needs a game to play")};
  }
  if (line.resume && line.mode != Mode::play && line.mode != Mode::trace) {
    return UsageError{tr8("--resume belongs to a play of the game")};
  }
  if (line.textHook && line.mode != Mode::play && line.mode != Mode::trace) {
    return UsageError{tr8("--texthook belongs to a play of the game")};
  }
  return line;
}

std::vector<std::string> argumentsAnew(const CommandLine& command,
                                       const std::filesystem::path& gameDir) {
  std::vector<std::string> args;
  if (command.mode == Mode::trace) args.emplace_back("--trace");
  // The text hook goes on writing for the next game.
  if (command.textHook) args.emplace_back("--texthook");
  args.emplace_back("--");
  args.push_back(gameDir.string());
  return args;
}

std::optional<UsageError> checkGamePath(const std::filesystem::path& path) {
  if (path.empty()) return UsageError{tr8("the game named is empty")};
  std::error_code ec;
  const auto type = std::filesystem::status(path, ec).type();
  if (type == std::filesystem::file_type::not_found) {
    return UsageError{fill8(tr8("no game '{}': it does not exist"), {path.string()})};
  }
  if (ec) return UsageError{fill8(tr8("cannot open '{}': {}"), {path.string(), ec.message()})};
  return std::nullopt;
}

std::optional<UsageError> checkGameDirectory(const std::filesystem::path& dir) {
  if (dir.empty()) return UsageError{tr8("the game directory named is empty")};
  std::error_code ec;
  const auto type = std::filesystem::status(dir, ec).type();
  if (type == std::filesystem::file_type::directory) return std::nullopt;
  const std::string name = dir.string();
  if (type == std::filesystem::file_type::not_found) {
    return UsageError{fill8(tr8("no game directory '{}': it does not exist"), {name})};
  }
  if (ec) {
    return UsageError{fill8(tr8("cannot open the game directory '{}': {}"), {name, ec.message()})};
  }
  return UsageError{fill8(tr8("'{}' is a file, not a game directory"), {name})};
}

std::string usageText() {
  return tr8(kUsage);
}

}  // namespace qov
