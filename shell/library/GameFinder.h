#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "shell/library/Library.h"

namespace qov {

// The games a path that the player names stands for: a game folder; a file inside one; a
// folder whose subfolders hold games (each of them); an archive or a CD image, extracted once
// into the games folder (`progress` hears how far).
struct FoundGames {
  std::vector<std::filesystem::path> games;
  bool fromArchive = false;
  std::string problem;  // why there is none, naming the path
};

[[nodiscard]] FoundGames findGames(const std::filesystem::path& path,
                                   const std::filesystem::path& gamesRoot,
                                   const std::function<void(double)>& progress = {});

// The subfolders of `folder` that hold a game, by name; at most `limit` of them are looked at.
[[nodiscard]] std::vector<std::filesystem::path> gamesInside(const std::filesystem::path& folder,
                                                             std::size_t limit = 1000);

// findGames, then each game added to the library; the problem of the finding or the writing.
struct AddedGames {
  std::vector<std::filesystem::path> games;
  std::string problem;
};
[[nodiscard]] AddedGames addGames(Library& library, const std::filesystem::path& path,
                                  const std::function<void(double)>& progress = {});

}  // namespace qov
