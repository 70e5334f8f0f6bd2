#include "app/CommandLine.h"

#include <charconv>
#include <system_error>

namespace qov {

namespace {

constexpr std::string_view kUsage =
    "usage: qov [GAME_DIRECTORY]\n"
    "       qov --check [GAME_DIRECTORY]\n"
    "       qov --trace [GAME_DIRECTORY]\n"
    "       qov --texthook [GAME_DIRECTORY]\n"
    "       qov --autoplay RUNS [--seed N] [GAME_DIRECTORY]\n"
    "\n"
    "Plays the game in GAME_DIRECTORY, by default the one in the directory that holds qov,\n"
    "else the demo game installed with qov.\n"
    "\n"
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
    "  --version   prints the version\n";

template <typename Number>
std::optional<Number> parseNumber(std::string_view text) {
  Number value{};
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

UsageError unknownOption(std::string_view arg) {
  return {"unknown option '" + std::string(arg) + "'"};
}

}  // namespace

std::variant<CommandLine, UsageError> parseCommandLine(std::span<const std::string_view> args) {
  CommandLine line;
  bool modeGiven = false;
  bool seedGiven = false;
  const auto setMode = [&](Mode mode, std::string_view arg) -> std::optional<UsageError> {
    if (modeGiven)
      return UsageError{"'" + std::string(arg) + "' cannot be combined with another mode"};
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
        if (!runs || *runs < 1) return UsageError{"--autoplay needs a number of runs (1 or more)"};
        line.runs = *runs;
        ++i;
      }
    } else if (arg == "--seed") {
      const auto seed =
          i + 1 < args.size() ? parseNumber<std::uint64_t>(args[i + 1]) : std::nullopt;
      if (!seed) return UsageError{"--seed needs a number (0 or more)"};
      line.seed = *seed;
      seedGiven = true;
      ++i;
    } else if (arg == "--") {
      // Everything after it is a directory, even when it begins with "-".
      if (i + 2 < args.size()) return UsageError{"only one game directory can be given"};
      if (i + 1 < args.size()) {
        if (line.gameDir) return UsageError{"only one game directory can be given"};
        line.gameDir = std::filesystem::path(args[i + 1]);
      }
      break;
    } else if (arg.size() > 1 && arg.front() == '-') {
      return unknownOption(arg);
    } else {
      if (line.gameDir) return UsageError{"only one game directory can be given"};
      line.gameDir = std::filesystem::path(arg);
    }
    if (error) return *error;
  }
  if (seedGiven && line.mode != Mode::autoplay) return UsageError{"--seed belongs to --autoplay"};
  if (line.textHook && line.mode != Mode::play && line.mode != Mode::trace) {
    return UsageError{"--texthook belongs to a play of the game"};
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

std::optional<UsageError> checkGameDirectory(const std::filesystem::path& dir) {
  if (dir.empty()) return UsageError{"the game directory named is empty"};
  std::error_code ec;
  const auto type = std::filesystem::status(dir, ec).type();
  if (type == std::filesystem::file_type::directory) return std::nullopt;
  const std::string name = "'" + dir.string() + "'";
  if (type == std::filesystem::file_type::not_found) {
    return UsageError{"no game directory " + name + ": it does not exist"};
  }
  if (ec) return UsageError{"cannot open the game directory " + name + ": " + ec.message()};
  return UsageError{name + " is a file, not a game directory"};
}

std::string_view usageText() {
  return kUsage;
}

}  // namespace qov
