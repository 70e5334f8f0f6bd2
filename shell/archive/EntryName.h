#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/Encoding.h"

namespace qov {

// Where an archive entry lands inside the extraction folder, or why it may not. The name is read
// as the file lookup reads names on disk (UTF-8, or else CP932, where a 0x5C byte that ends a
// two-byte character belongs to it); "/", "\" and the byte 0xFF separate folders.
struct EntryName {
  std::filesystem::path relative;  // empty when refused, and for the extraction folder itself
  std::string refusal;             // why it may not land anywhere
  bool renamed = false;            // bytes that read as no character became U+FFFD
  std::string shown;               // the name as read, UTF-8, for messages
};

[[nodiscard]] EntryName readEntryName(std::string_view bytes, Cp932Decoder& cp932);

}  // namespace qov
