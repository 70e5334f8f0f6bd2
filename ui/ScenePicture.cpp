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

void ScenePicture::GHG(std::u32string_view name) {
  const std::optional<std::filesystem::path> path = findFile(gameDir_, toUtf8(name) + ".SZG");
  std::optional<std::vector<std::uint8_t>> bytes;
  if (path) bytes = readFile(*path);
  std::optional<Image> picture;
  if (bytes) picture = platform_.decodeImage(*bytes);
  if (!picture) throw ScriptError{U"ファイルが読込めません\r\n" + std::u32string(name) + U".SZG"};
  Picture1_.setPicture(std::move(*picture));
}

}  // namespace qov
