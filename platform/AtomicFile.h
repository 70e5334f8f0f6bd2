#pragma once

#include <filesystem>
#include <string_view>
#include <system_error>

namespace qov {

// Replaces `target` with `bytes` so that it is never seen half written, not even after a
// crash or a power cut: a temporary file beside it ("<name>.tmp", or a short name of ours
// where the name is too long to take ".tmp"), flushed to the disk, renamed over it, and the
// folder flushed. On failure the old file is untouched and the temporary one gone; the result
// says why.
[[nodiscard]] std::error_code replaceFile(const std::filesystem::path& target,
                                          std::string_view bytes);

}  // namespace qov
