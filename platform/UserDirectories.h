#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace qov {

// The user's own places, after the XDG base directory rules: $XDG_DATA_HOME (else
// ~/.local/share) and $XDG_CONFIG_HOME (else ~/.config). A variable that holds a relative path
// is ignored, as the rules say; nullopt when neither it nor $HOME gives a place.
[[nodiscard]] std::optional<std::filesystem::path> userDataHome();
[[nodiscard]] std::optional<std::filesystem::path> userConfigHome();

// What names the game in gameDir among the user's own files: <folder name>-<8 hex digits of a
// hash of its absolute path>. The same folder always gives the same name; two games of the
// same name do not share one.
[[nodiscard]] std::string userGameName(const std::filesystem::path& gameDir);

// Where the saves of the game in gameDir go when that folder cannot be written:
// <data home>/qov/saves/<userGameName>.
[[nodiscard]] std::optional<std::filesystem::path> userSaveDirectory(
    const std::filesystem::path& gameDir);
// The place of the game in gameDir among the user's data of one kind ("saves", "states"):
// <data home>/qov/<kind>/<userGameName>.
[[nodiscard]] std::optional<std::filesystem::path> userGameDirectory(
    const std::filesystem::path& gameDir, std::string_view kind);

}  // namespace qov
