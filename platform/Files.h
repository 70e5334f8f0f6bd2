#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Encoding.h"

namespace qov {

// How the bytes of a file name read: UTF-8 (composed, so NFD names read the same) when they are
// valid UTF-8, or else CP932 as an unzip of a Japanese archive leaves them; nullopt when they are
// neither.
struct NameReading {
  std::u32string text;  // composed, not folded
  bool fromCp932 = false;
};
[[nodiscard]] std::optional<NameReading> readName(std::string_view bytes, Cp932Decoder& cp932);

// Finds a game file named by a script (UTF-8) inside dir. The exact name first, costing one
// look at the disk; then, part by part, an entry whose name reads the same: UTF-8 in NFC or NFD,
// or else CP932 bytes, ignoring case (the games were written on a case-insensitive file system)
// and the two codes CP932 converters give the wave dash, the minus and a few more. "\" and "/"
// both separate directories; ".", ".." and empty parts step within the name, and a name that
// would leave dir is not found, nor is one that a symbolic link leads out of dir (one line on
// stderr names the link). When several entries match, the first in a fixed order is taken and
// one line on stderr names them all. Each of these lines comes once in the program's life.
[[nodiscard]] std::optional<std::filesystem::path> findFile(const std::filesystem::path& dir,
                                                            std::string_view name);

[[nodiscard]] std::optional<std::vector<std::uint8_t>> readFile(const std::filesystem::path& path);
// A 64-bit hash (FNV-1a) of a file's bytes: whether a file is still the one it was.
[[nodiscard]] std::uint64_t contentHash(const std::vector<std::uint8_t>& bytes);

}  // namespace qov
