#include "ui/ScenePicture.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/ScriptError.h"
#include "platform/Encoding.h"
#include "platform/Files.h"

namespace qov {

ScenePicture::ScenePicture(Platform& platform, PictureBox& Picture1, std::filesystem::path gameDir)
    : platform_(platform), Picture1_(Picture1), gameDir_(std::move(gameDir)) {}

namespace {

std::optional<std::vector<std::uint8_t>> readPicture(const std::filesystem::path& gameDir,
                                                     std::u32string_view name) {
  const std::optional<std::filesystem::path> path = findFile(gameDir, toUtf8(name) + ".SZG");
  if (!path) return std::nullopt;
  return readFile(*path);
}

}  // namespace

std::uint64_t ScenePicture::GHG(std::u32string_view name) {
  const std::optional<std::vector<std::uint8_t>> bytes = readPicture(gameDir_, name);
  std::optional<Image> picture;
  if (bytes) picture = platform_.decodeImage(*bytes);
  if (!picture) throw ScriptError{U"ファイルが読込めません\r\n" + std::u32string(name) + U".SZG"};
  Picture1_.setPicture(std::move(*picture));
  return contentHash(*bytes);
}

std::optional<std::uint64_t> ScenePicture::fileHash(std::u32string_view name) const {
  const std::optional<std::vector<std::uint8_t>> bytes = readPicture(gameDir_, name);
  if (!bytes) return std::nullopt;
  return contentHash(*bytes);
}

void ScenePicture::clear() {
  Picture1_.setPicture(Image{});
}

}  // namespace qov
