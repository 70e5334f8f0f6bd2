#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/Image.h"
#include "platform/Platform.h"

namespace qov {

// What a game brings of its own besides its scripts: the window's caption, the window icon,
// the wait cursor and the item sheet, named in the optional qov.ini of its folder:
//
//   [game]
//   title = 夏灯り
//   icon = ICON.PNG       32 x 32
//   cursor = WAIT.GIF     32 x 32
//   items = ITEMS.GIF     720 x 300: 6 x 3 cells of 120 x 100, one for each item number
//
// Pictures may be in any format the picture loader reads and are found as other game files
// are. Without the file or a key, the caption is the folder's name and the pictures are the
// player's own; a value that cannot be used is one line on stderr and the default.
struct GameData {
  static constexpr std::string_view kFileName = "qov.ini";

  std::string title;  // UTF-8
  Image icon;
  Image cursor;
  Image itemSheet;
};

[[nodiscard]] GameData readGameData(Platform& platform, const std::filesystem::path& gameDir);

// What the qov.ini of a game folder says, read and checked but for what the pictures it names
// hold: the title when it can be used, and the bytes of each picture found. Each problem is
// one line on stderr and leaves its value out.
struct GameFile {
  struct Picture {
    std::vector<std::uint8_t> bytes;
    int line = 0;      // where the file names it
    std::string what;  // the key and the name, for messages
  };
  std::optional<std::string> title;
  std::optional<Picture> icon;
  std::optional<Picture> cursor;
  std::optional<Picture> items;
};

[[nodiscard]] GameFile readGameFile(const std::filesystem::path& gameDir);

// What a list of games shows of one: its title (as the caption) and the name of its icon in the
// folder (empty without one), read without decoding pictures or warning.
struct GameSummary {
  std::string title;  // UTF-8
  std::string icon;
};

[[nodiscard]] GameSummary readGameSummary(const std::filesystem::path& gameDir);

}  // namespace qov
