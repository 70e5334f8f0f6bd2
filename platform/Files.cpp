#include "platform/Files.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "platform/Encoding.h"

namespace qov {
namespace {

namespace fs = std::filesystem;

// Case folding as the games' file system did it: Latin letters, also the full-width ones.
char32_t fold(char32_t c) {
  if (c >= U'a' && c <= U'z') return c - U'a' + U'A';
  if (c >= U'ａ' && c <= U'ｚ') return c - U'ａ' + U'Ａ';
  return c;
}

bool sameIgnoringCase(std::u32string_view a, std::u32string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](char32_t x, char32_t y) { return fold(x) == fold(y); });
}

std::vector<std::string> components(std::string_view name) {
  std::vector<std::string> parts;
  std::string part;
  for (const char c : name) {
    if (c == '\\' || c == '/') {
      if (!part.empty()) parts.push_back(std::move(part));
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(std::move(part));
  return parts;
}

bool present(const fs::path& path) {
  std::error_code ec;
  return fs::exists(path, ec);
}

// The entry of dir whose name equals part ignoring case; the first in name order when several
// do, so that the choice does not depend on the order of the directory.
std::optional<fs::path> matchIgnoringCase(const fs::path& dir, const std::string& part) {
  const std::u32string wanted = fromUtf8(part);
  std::optional<fs::path> best;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path candidate = it->path();
    if (!sameIgnoringCase(fromUtf8(candidate.filename().string()), wanted)) continue;
    if (!best || candidate.filename() < best->filename()) best = candidate;
  }
  return best;
}

}  // namespace

std::optional<fs::path> findFile(const fs::path& dir, std::string_view name) {
  const std::vector<std::string> parts = components(name);
  if (parts.empty()) return std::nullopt;
  fs::path exact = dir;
  for (const std::string& part : parts) exact /= part;
  if (present(exact)) return exact;

  fs::path current = dir;
  for (const std::string& part : parts) {
    if (present(current / part)) {
      current /= part;
      continue;
    }
    const std::optional<fs::path> match = matchIgnoringCase(current, part);
    if (!match) return std::nullopt;
    current = *match;
  }
  return current;
}

std::optional<std::vector<std::uint8_t>> readFile(const fs::path& path) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

}  // namespace qov
