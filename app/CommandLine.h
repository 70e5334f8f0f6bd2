#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace qov {

// What the program was asked to do.
enum class Mode : std::uint8_t { play, check, trace, autoplay, help, version, library, add, list };

struct CommandLine {
  Mode mode = Mode::play;
  // The game directory named on the command line, if any; to play and --add, also a file in
  // a game folder, an archive or a CD image.
  std::optional<std::filesystem::path> gameDir;
  // The game was picked in the library: when it ends by itself, the library comes back.
  bool fromLibrary = false;
  // --autoplay: how many plays, and the seed of their random choices.
  int runs = 0;
  std::uint64_t seed = 1;
  // --resume: the game goes on from its autosave.
  bool resume = false;
  // --texthook: each page's text on standard output as it is shown.
  bool textHook = false;
};

// A command line the program does not understand; main prints it with the usage and ends
// with status 2.
struct UsageError {
  std::string message;
};

// Reads the arguments after the program's name.
[[nodiscard]] std::variant<CommandLine, UsageError> parseCommandLine(
    std::span<const std::string_view> args);

// Why `path`, named to play or to add, cannot be opened: an empty name, a path that does not
// exist or cannot be looked at. nullopt for a folder or a file; what it holds is seen later.
[[nodiscard]] std::optional<UsageError> checkGamePath(const std::filesystem::path& path);

// Why `dir`, named on the command line, cannot be a game directory: an empty name, a path that
// does not exist, a file, or one that cannot be looked at. nullopt when it is a directory.
[[nodiscard]] std::optional<UsageError> checkGameDirectory(const std::filesystem::path& dir);

// The arguments (after the program's name) that start the program anew on `gameDir` as
// `command` played its game: a dropped game is traced as the one before it was.
[[nodiscard]] std::vector<std::string> argumentsAnew(const CommandLine& command,
                                                     const std::filesystem::path& gameDir);

// The text of --help, in the language of the player's words.
[[nodiscard]] std::string usageText();

}  // namespace qov
