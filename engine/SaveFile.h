#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "engine/Variables.h"

namespace qov {

// The one save file TOVELI2.DAT in the game directory: 31 variables, 17 item counts and 17
// item names, one a line, CP932 with CR LF. Where the game directory cannot take a new file
// (read-only media, a folder installed by another user), the save goes to the user's own
// place for that game (userSaveDirectory), and LOAD reads it from there.
class SaveFile {
 public:
  static constexpr std::string_view kFileName = "TOVELI2.DAT";
  static constexpr int kLineCount = Variables::kVarCount + 2 * Variables::kItemCount;

  struct State {
    std::array<std::int16_t, Variables::kVarCount> vars{};
    std::array<std::int16_t, Variables::kItemCount> counts{};
    std::array<std::u32string, Variables::kItemCount> names{};
  };
  // The first line (from 1) that could not be read.
  struct BadLine {
    int line = 0;
  };

  explicit SaveFile(std::filesystem::path gameDir);
  // userDir: the user's own place for this game's save; nullopt for none.
  SaveFile(std::filesystem::path gameDir, std::optional<std::filesystem::path> userDir);

  // SAVE. Writes a temporary file and renames it over the old save, so that a failed write
  // never damages it. Returns the notice for the player when the save could not be written:
  // the file name, then the reason and the path of each place tried.
  [[nodiscard]] std::optional<std::u32string> save(const Variables& vars) const;
  // LOAD. Replaces the variables and items only from a complete, valid file. Returns the
  // notice for the player when it cannot be read (none at all is no fault). Reads the user's
  // own copy when the game directory is read-only or that copy is the newer one.
  [[nodiscard]] std::optional<std::u32string> load(Variables& vars) const;

  // The file's bytes for the given state.
  [[nodiscard]] static std::string format(const Variables& vars);
  [[nodiscard]] static std::variant<State, BadLine> parse(std::string_view bytes);

 private:
  struct Attempt {
    std::filesystem::path path;
    int error = 0;  // errno, 0 when written
  };
  [[nodiscard]] static Attempt writeInto(const std::filesystem::path& target,
                                         std::string_view bytes);
  [[nodiscard]] std::optional<std::filesystem::path> fileToLoad() const;

  std::filesystem::path gameDir_;
  std::optional<std::filesystem::path> userDir_;
};

}  // namespace qov
