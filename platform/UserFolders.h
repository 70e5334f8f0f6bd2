#pragma once

#include <filesystem>

namespace qov {

// The player's settings file: qov/qov.ini in the user's configuration folder ($XDG_CONFIG_HOME,
// else ~/.config); empty when there is none.
[[nodiscard]] std::filesystem::path userSettingsFile();

// Where screenshots go: the desktop's pictures folder as `xdg-user-dir PICTURES` names it,
// else ~/Pictures when it exists, else the home folder, else the current directory.
[[nodiscard]] std::filesystem::path userPicturesFolder();

}  // namespace qov
