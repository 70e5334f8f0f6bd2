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

class Reader {
 public:
  Reader(Platform& platform, const fs::path& gameDir) : platform_(platform), gameDir_(gameDir) {}

  void warn(int line, std::string_view what) const {
    std::cerr << "qov: " << (gameDir_ / GameData::kFileName).string();
    if (line > 0) std::cerr << " line " << line;
    std::cerr << ": " << what << '\n';
  }

  // The picture the key names, when it is there, decodes and has the size.
  std::optional<Image> picture(const IniFile& ini, std::string_view key, int width,
                               int height) const {
    const IniFile::Value* value = ini.find(kSection, key);
    if (value == nullptr) return std::nullopt;
    const std::string what = std::string(key) + " \"" + value->text + "\"";
    const std::optional<fs::path> path = findFile(gameDir_, value->text);
    if (!path) return fail(value->line, what + ": no such file in the game folder");
    const std::optional<std::vector<std::uint8_t>> bytes = readFile(*path);
    if (!bytes) return fail(value->line, what + ": cannot be read");
    std::optional<Image> image = platform_.decodeImage(*bytes);
    if (!image) return fail(value->line, what + ": not a picture the player can read");
    if (image->width() != width || image->height() != height) {
      return fail(value->line, what + ": " + std::to_string(image->width()) + " x " +
                                   std::to_string(image->height()) + " pixels, not " +
                                   std::to_string(width) + " x " + std::to_string(height));
    }
    return image;
  }

 private:
  std::nullopt_t fail(int line, const std::string& what) const {
    warn(line, what + "; the player's own is used");
    return std::nullopt;
  }

  Platform& platform_;
  const fs::path& gameDir_;
};

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

GameData readGameData(Platform& platform, const fs::path& gameDir) {
  GameData data{folderName(gameDir), windowIcon(), waitCursorImage(), defaultItemSheet()};
  const std::optional<fs::path> path = findFile(gameDir, GameData::kFileName);
  if (!path) return data;
  const IniFile ini = IniFile::read(*path);
  const Reader reader(platform, gameDir);
  if (ini.status() == IniFile::Status::Unreadable) {
    reader.warn(0, "cannot be read: " + ini.error());
    return data;
  }
  if (ini.status() == IniFile::Status::SyntaxError) reader.warn(ini.errorLine(), ini.error());

  if (const IniFile::Section* game = ini.section(kSection)) {
    for (const auto& [key, value] : *game) {
      if (std::find(std::begin(kKeys), std::end(kKeys), key) == std::end(kKeys)) {
        reader.warn(value.line, "unknown key \"" + key + "\" in [game]");
      }
    }
  }
  if (const IniFile::Value* title = ini.find(kSection, "title")) {
    if (!validUtf8(title->text)) {
      reader.warn(title->line, "the title is not UTF-8 text; the folder's name is used");
    } else if (title->text.empty()) {
      reader.warn(title->line, "the title is empty; the folder's name is used");
    } else {
      data.title = title->text;
    }
  }
  if (auto icon = reader.picture(ini, "icon", 32, 32)) data.icon = std::move(*icon);
  if (auto cursor = reader.picture(ini, "cursor", 32, 32)) data.cursor = std::move(*cursor);
  if (auto sheet = reader.picture(ini, "items", 720, 300)) data.itemSheet = std::move(*sheet);
  return data;
}

}  // namespace qov
