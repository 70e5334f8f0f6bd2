#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <variant>

#include "ui/GameSnapshot.h"

namespace qov {

// One save state of the player's, as its file holds it: the game's state at a wait and what a
// list of states shows of it.
struct SavedState {
  GameSnapshot snapshot;
  std::string title;         // the game's, UTF-8
  std::string scriptsHash;   // of the game's scripts when it was taken (scriptsHash())
  std::int64_t takenAt = 0;  // seconds since 1970, UTC
  std::u32string pageStart;  // the first characters of the page shown
  std::string thumbnailPng;  // the frame at a quarter of its size, a PNG file's bytes
};

inline constexpr std::size_t kMostStateBytes = 200 * 1024;
inline constexpr std::size_t kPageStartLength = 40;

// The state as the bytes of its file: JSON in UTF-8, named and versioned. Where the whole
// would pass kMostStateBytes the thumbnail is left out; empty when even that is too large.
[[nodiscard]] std::string encodeState(const SavedState& state);

// The state a file's bytes hold, or why they hold none: every field is checked, nothing of
// the file is trusted.
[[nodiscard]] std::variant<SavedState, std::string> decodeState(std::string_view bytes);

// The file read and decoded; the message names the file and why it cannot be used.
[[nodiscard]] std::variant<SavedState, std::string> readStateFile(
    const std::filesystem::path& file);

// A digest of every .QOV file of the game folder and its subfolders, by name and bytes, as 16
// hexadecimal digits: a state taken with other scripts cannot be gone on from.
[[nodiscard]] std::string scriptsHash(const std::filesystem::path& gameDir);

// Base64 (RFC 4648, with padding); decoding is false for anything else.
[[nodiscard]] std::string toBase64(std::string_view bytes);
[[nodiscard]] bool fromBase64(std::string_view text, std::string& bytes);

}  // namespace qov
