#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace qov {

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

}  // namespace qov
