#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <stdexcept>

namespace qov {

// True when the file is an archive or disc image we can open (recognised by content, not name).
[[nodiscard]] bool isArchive(const std::filesystem::path& file);

struct ArchiveError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// What an archive may unpack to before it is refused as a whole.
struct ExtractLimits {
  std::uint64_t maxBytes = std::uint64_t{4} << 30;
  std::uint64_t maxEntries = 100'000;
  std::uint64_t maxRatio = 1'000;  // unpacked size over packed size, of one entry
  // Below this size an entry is never held to the ratio: a blank picture or a silent wave
  // packs far better than 1,000 to 1 with LZMA or bzip2, and is harmless.
  std::uint64_t ratioFrom = std::uint64_t{16} << 20;
};

struct ExtractedGame {
  std::filesystem::path gameFolder;  // the folder that holds wnatu.QOV inside the copy
  std::filesystem::path copy;        // gamesRoot/<archive name>-<8 hex digits>/
  bool fresh = false;                // extracted now (false: the copy was already there)
};

// Extracts `archive` once into gamesRoot/<archive name>-<8 hex of a hash of its content>/ and
// returns the game inside; an archive opened before returns its copy at once. `progress`
// (0..1) is called now and then from the calling thread. Throws ArchiveError with a message
// that names the archive, the entry and why. Refused or renamed entries: one stderr line each.
[[nodiscard]] ExtractedGame extractGame(const std::filesystem::path& archive,
                                        const std::filesystem::path& gamesRoot,
                                        const std::function<void(double)>& progress = {},
                                        const ExtractLimits& limits = {});

}  // namespace qov
