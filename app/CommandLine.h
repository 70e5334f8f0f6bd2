#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace qov {

// What the program was asked to do.
enum class Mode : std::uint8_t { play, check, trace, help, version };

struct CommandLine {
  Mode mode = Mode::play;
  // The game directory named on the command line, if any.
  std::optional<std::filesystem::path> gameDir;
};

// A command line the program does not understand; main prints it with the usage and ends
// with status 2.
struct UsageError {
  std::string message;
};

// Reads the arguments after the program's name.
[[nodiscard]] std::variant<CommandLine, UsageError> parseCommandLine(
    std::span<const std::string_view> args);

// The text of --help.
[[nodiscard]] std::string_view usageText();

}  // namespace qov
