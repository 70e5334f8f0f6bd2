#include "ui/GameData.h"

#include <algorithm>
#include <iostream>
#include <optional>
#include <string_view>

#include "platform/Encoding.h"
#include "platform/Files.h"
#include "platform/IniFile.h"
#include "ui/WindowImages.h"

namespace qov {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kSection = "game";
constexpr std::string_view kKeys[] = {"title", "icon", "cursor", "items"};

bool validUtf8(std::string_view text) {
  return toUtf8(fromUtf8(text)) == text;
}

// The folder's name as a caption: UTF-8, or CP932 as an unzip of a Japanese archive leaves it.
std::string folderName(const fs::path& gameDir) {
  const fs::path normal = gameDir.lexically_normal();
  const fs::path name = normal.has_filename() ? normal.filename() : normal.parent_path().filename();
  const std::string bytes = name.string();
  if (validUtf8(bytes)) return bytes;
  return toUtf8(decodeCp932Lenient(bytes));
}

void warn(const fs::path& gameDir, int line, std::string_view what) {
  std::cerr << "qov: " << (gameDir / GameData::kFileName).string();
  if (line > 0) std::cerr << " line " << line;
  std::cerr << ": " << what << '\n';
}

std::nullopt_t fail(const fs::path& gameDir, int line, const std::string& what) {
  warn(gameDir, line, what + "; the player's own is used");
  return std::nullopt;
}

// The bytes of the picture the key names, when it is there and can be read.
std::optional<GameFile::Picture> pictureFile(const IniFile& ini, const fs::path& gameDir,
                                             std::string_view key) {
  const IniFile::Value* value = ini.find(kSection, key);
  if (value == nullptr) return std::nullopt;
  const std::string what = std::string(key) + " \"" + value->text + "\"";
  const std::optional<fs::path> path = findFile(gameDir, value->text);
  if (!path) return fail(gameDir, value->line, what + ": no such file in the game folder");
  std::optional<std::vector<std::uint8_t>> bytes = readFile(*path);
  if (!bytes) return fail(gameDir, value->line, what + ": cannot be read");
  return GameFile::Picture{std::move(*bytes), value->line, what};
}

// The picture, when it decodes and has the size.
std::optional<Image> picture(Platform& platform, const fs::path& gameDir,
                             const std::optional<GameFile::Picture>& file, int width, int height) {
  if (!file) return std::nullopt;
  std::optional<Image> image = platform.decodeImage(file->bytes);
  if (!image) return fail(gameDir, file->line, file->what + ": not a picture the player can read");
  if (image->width() != width || image->height() != height) {
    return fail(gameDir, file->line,
                file->what + ": " + std::to_string(image->width()) + " x " +
                    std::to_string(image->height()) + " pixels, not " + std::to_string(width) +
                    " x " + std::to_string(height));
  }
  return image;
}

}  // namespace

GameSummary readGameSummary(const fs::path& gameDir) {
  GameSummary summary{folderName(gameDir), {}};
  const std::optional<fs::path> path = findFile(gameDir, GameData::kFileName);
  if (!path) return summary;
  const IniFile ini = IniFile::read(*path);
  if (const IniFile::Value* title = ini.find(kSection, "title")) {
    if (!title->text.empty() && validUtf8(title->text)) summary.title = title->text;
  }
  if (const IniFile::Value* icon = ini.find(kSection, "icon")) summary.icon = icon->text;
  return summary;
}

GameFile readGameFile(const fs::path& gameDir) {
  GameFile file;
  const std::optional<fs::path> path = findFile(gameDir, GameData::kFileName);
  if (!path) return file;
  const IniFile ini = IniFile::read(*path);
  if (ini.status() == IniFile::Status::Unreadable) {
    warn(gameDir, 0, "cannot be read: " + ini.error());
    return file;
  }
  if (ini.status() == IniFile::Status::SyntaxError) warn(gameDir, ini.errorLine(), ini.error());

  if (const IniFile::Section* game = ini.section(kSection)) {
    for (const auto& [key, value] : *game) {
      if (std::find(std::begin(kKeys), std::end(kKeys), key) == std::end(kKeys)) {
        warn(gameDir, value.line, "unknown key \"" + key + "\" in [game]");
      }
    }
  }
  if (const IniFile::Value* title = ini.find(kSection, "title")) {
    if (!validUtf8(title->text)) {
      warn(gameDir, title->line, "the title is not UTF-8 text; the folder's name is used");
    } else if (title->text.empty()) {
      warn(gameDir, title->line, "the title is empty; the folder's name is used");
    } else {
      file.title = title->text;
    }
  }
  file.icon = pictureFile(ini, gameDir, "icon");
  file.cursor = pictureFile(ini, gameDir, "cursor");
  file.items = pictureFile(ini, gameDir, "items");
  return file;
}

GameData readGameData(Platform& platform, const fs::path& gameDir) {
  GameFile file = readGameFile(gameDir);
  // The player's own pictures are made only where the game brings none that can be used.
  std::optional<Image> icon = picture(platform, gameDir, file.icon, 32, 32);
  std::optional<Image> cursor = picture(platform, gameDir, file.cursor, 32, 32);
  std::optional<Image> sheet = picture(platform, gameDir, file.items, 720, 300);
  return GameData{file.title ? std::move(*file.title) : folderName(gameDir),
                  icon ? std::move(*icon) : windowIcon(),
                  cursor ? std::move(*cursor) : waitCursorImage(),
                  sheet ? std::move(*sheet) : defaultItemSheet()};
}

}  // namespace qov
