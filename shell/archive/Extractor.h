#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>

#include "shell/archive/Archive.h"

namespace qov {

// Unpacks every entry of `archive` that is safe into `folder`, an empty folder of ours, so that
// nothing lands outside it: names that are absolute or climb out with ".." are refused, no link
// is ever made (a link to a file already unpacked becomes a copy of it, any other is refused),
// devices and FIFOs are skipped, each with one line on stderr. Data is streamed, never held
// whole. Throws ArchiveError naming the archive, the entry and why when the archive is damaged,
// passes a limit or cannot be written; what is in `folder` then is the caller's to remove.
void extractInto(const std::filesystem::path& archive, const std::filesystem::path& folder,
                 const ExtractLimits& limits, const std::function<void(double)>& progress);

}  // namespace qov
