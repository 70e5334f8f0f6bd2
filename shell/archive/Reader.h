#pragma once

#include <filesystem>
#include <memory>
#include <string>

struct archive;

namespace qov {

struct ReaderCloser {
  void operator()(archive* a) const;
};
using Reader = std::unique_ptr<archive, ReaderCloser>;

// libarchive opened on `file` for the formats the games came in (ZIP, LZH, 7z, RAR, CAB, TAR,
// ISO 9660) and the compressions around them, none through an outside program. LZH names are
// read as CP932. Null, with `error` set, when the file cannot be opened.
[[nodiscard]] Reader openReader(const std::filesystem::path& file, std::string& error);

// The reason of libarchive's last failure, or `fallback`.
[[nodiscard]] std::string readerError(archive* a, const char* fallback);

}  // namespace qov
