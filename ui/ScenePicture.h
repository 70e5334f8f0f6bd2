#pragma once

#include <filesystem>
#include <string_view>

#include "platform/Platform.h"
#include "ui/Controls.h"

namespace qov {

// The scene picture Picture1: GHG shows a ".SZG" picture file of the game directory, whatever
// format its content has, unscaled at the top left.
class ScenePicture {
 public:
  ScenePicture(Platform& platform, PictureBox& Picture1, std::filesystem::path gameDir);

  // Throws ScriptError when the file is missing or cannot be decoded; the picture shown
  // stays then.
  void GHG(std::u32string_view name);

 private:
  Platform& platform_;
  PictureBox& Picture1_;
  std::filesystem::path gameDir_;
};

}  // namespace qov
