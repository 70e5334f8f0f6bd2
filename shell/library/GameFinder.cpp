#include "shell/library/GameFinder.h"

#include <algorithm>
#include <system_error>

#include "engine/ScriptStore.h"
#include "shell/Words.h"
#include "shell/archive/Archive.h"

namespace qov {
namespace {

namespace fs = std::filesystem;

// `text` with the path named in it, and why.
std::string naming(std::string_view text, const fs::path& path, std::string_view why = {}) {
  return fill8(text, {path.string(), why});
}

}  // namespace

std::vector<fs::path> gamesInside(const fs::path& folder, std::size_t limit) {
  std::vector<fs::path> subfolders;
  std::error_code ec;
  for (fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end;
       !ec && it != end && subfolders.size() < limit; it.increment(ec)) {
    std::error_code type;
    if (it->is_directory(type)) subfolders.push_back(it->path());
  }
  std::sort(subfolders.begin(), subfolders.end());
  std::erase_if(subfolders, [](const fs::path& dir) { return !holdsGame(dir); });
  return subfolders;
}

FoundGames findGames(const fs::path& path, const fs::path& gamesRoot,
                     const std::function<void(double)>& progress) {
  FoundGames found;
  std::error_code ec;
  const fs::path absolute = fs::absolute(path, ec).lexically_normal();
  const fs::file_status status = fs::status(absolute, ec);
  if (path.empty() || status.type() == fs::file_type::not_found) {
    found.problem = naming(tr8("'{}' does not exist"), path);
    return found;
  }
  if (ec) {
    found.problem = naming(tr8("cannot look at '{}': {}"), path, ec.message());
    return found;
  }
  if (fs::is_directory(status)) {
    if (holdsGame(absolute)) {
      found.games.push_back(absolute);
    } else {
      found.games = gamesInside(absolute);
      if (found.games.empty()) {
        found.problem =
            naming(tr8("'{}' holds no game (no wnatu.QOV in it or its subfolders)"), path);
      }
    }
    return found;
  }
  if (isArchive(absolute)) {
    try {
      const ExtractedGame extracted = extractGame(absolute, gamesRoot, progress);
      found.games.push_back(extracted.gameFolder);
      found.fromArchive = true;
    } catch (const ArchiveError& e) {
      found.problem = e.what();
    }
    return found;
  }
  if (holdsGame(absolute.parent_path())) {
    found.games.push_back(absolute.parent_path());
    return found;
  }
  found.problem = naming(
      tr8("'{}' is no game: neither in a game folder nor an archive or CD image that qov can open"),
      path);
  return found;
}

AddedGames addGames(Library& library, const fs::path& path,
                    const std::function<void(double)>& progress) {
  FoundGames found = findGames(path, library.gamesRoot(), progress);
  AddedGames added{{}, std::move(found.problem)};
  if (found.games.empty()) return added;
  if (const auto problem = library.add(found.games, unixNow())) {
    added.problem = *problem;
  } else {
    added.games = std::move(found.games);
  }
  return added;
}

}  // namespace qov
