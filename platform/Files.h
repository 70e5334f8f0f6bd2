#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace qov {

// Finds a game file named by a script (UTF-8): the exact name first, then a case-insensitive
// match, since the games were written on a case-insensitive file system; "\" inside the name
// separates directories.
[[nodiscard]] std::optional<std::filesystem::path> findFile(const std::filesystem::path& dir,
                                                            std::string_view name);

[[nodiscard]] std::optional<std::vector<std::uint8_t>> readFile(const std::filesystem::path& path);

}  // namespace qov
