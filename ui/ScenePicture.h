#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
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
  // stays then. Returns the hash of the file's bytes (contentHash).
  std::uint64_t GHG(std::u32string_view name);
  // The hash of the picture file `name` as GHG would read it now; nullopt when there is none.
  [[nodiscard]] std::optional<std::uint64_t> fileHash(std::u32string_view name) const;
  // Shows no picture, as at the start.
  void clear();

 private:
  Platform& platform_;
  PictureBox& Picture1_;
  std::filesystem::path gameDir_;
};

}  // namespace qov
