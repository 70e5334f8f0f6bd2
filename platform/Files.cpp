#include "platform/Files.h"

#include <utf8proc.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <system_error>

#include "platform/Encoding.h"

namespace qov {
namespace {

namespace fs = std::filesystem;

// Characters that CP932 writes with one code but converters turn into two: Windows' own table
// gives the second of each pair, the JIS tables (and so most Mac and Unix tools) the first.
constexpr std::pair<char32_t, char32_t> kCp932Variants[] = {
    {U'\u301C', U'\uFF5E'},  // wave dash 〜, full-width tilde ～
    {U'\u2212', U'\uFF0D'},  // minus sign −, full-width hyphen-minus －
    {U'\u2016', U'\u2225'},  // double vertical line ‖, parallel to ∥
    {U'\u2014', U'\u2015'},  // em dash —, horizontal bar ―
    {U'\u00A2', U'\uFFE0'},  // cent sign
    {U'\u00A3', U'\uFFE1'},  // pound sign
    {U'\u00AC', U'\uFFE2'},  // not sign
};

char32_t fold(char32_t c) {
  if (c < 0x80) return c >= U'a' && c <= U'z' ? c - U'a' + U'A' : c;
  // Windows file systems ignore case, also of the full-width, Greek and Cyrillic letters that
  // CP932 holds.
  const auto upper = static_cast<char32_t>(utf8proc_toupper(static_cast<utf8proc_int32_t>(c)));
  for (const auto& [jis, windows] : kCp932Variants) {
    if (upper == jis) return windows;
  }
  return upper;
}

struct FreeDeleter {
  void operator()(void* p) const { std::free(p); }
};

// A name in NFC, when it is valid UTF-8.
std::optional<std::string> composedUtf8(std::string_view bytes) {
  utf8proc_uint8_t* out = nullptr;
  const utf8proc_ssize_t length =
      utf8proc_map(reinterpret_cast<const utf8proc_uint8_t*>(bytes.data()),
                   static_cast<utf8proc_ssize_t>(bytes.size()), &out,
                   static_cast<utf8proc_option_t>(UTF8PROC_STABLE | UTF8PROC_COMPOSE));
  const std::unique_ptr<utf8proc_uint8_t, FreeDeleter> owned(out);
  if (length < 0) return std::nullopt;
  return std::string(reinterpret_cast<const char*>(out), static_cast<std::size_t>(length));
}

}  // namespace

std::optional<NameReading> readName(std::string_view bytes, Cp932Decoder& cp932) {
  if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; })) {
    return NameReading{std::u32string(bytes.begin(), bytes.end())};
  }
  if (std::optional<std::string> utf8 = composedUtf8(bytes)) return NameReading{fromUtf8(*utf8)};
  const std::optional<std::u32string> decoded = cp932.decode(bytes);
  if (!decoded) return std::nullopt;
  const std::optional<std::string> composed = composedUtf8(toUtf8(*decoded));
  if (!composed) return std::nullopt;
  return NameReading{fromUtf8(*composed), true};
}

namespace {

std::u32string folded(std::u32string text) {
  for (char32_t& c : text) c = fold(c);
  return text;
}

// The parts of a name, with "\" and "/" both separating them. ".." steps back within the name;
// nullopt when it would leave the directory the name is looked up in.
std::optional<std::vector<std::string>> components(std::string_view name) {
  std::vector<std::string> parts;
  std::string part;
  const auto finish = [&]() {
    if (part == "..") {
      if (parts.empty()) return false;
      parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    part.clear();
    return true;
  };
  for (const char c : name) {
    if (c == '\0') return std::nullopt;
    if (c == '\\' || c == '/') {
      if (!finish()) return std::nullopt;
    } else {
      part += c;
    }
  }
  if (!finish()) return std::nullopt;
  return parts;
}

bool present(const fs::path& path) {
  std::error_code ec;
  return fs::exists(path, ec);
}

struct Candidate {
  fs::path path;
  NameReading name;
  bool sameText = false;  // equal before folding: only the Unicode form differs
};

// The entries of dir that read as part. Those equal but for the Unicode form come first, then
// by their bytes, so that the choice never depends on the order of the directory.
std::vector<Candidate> matches(const fs::path& dir, const std::string& part) {
  std::vector<Candidate> found;
  const std::optional<std::string> composed = composedUtf8(part);
  if (!composed) return found;
  const std::u32string wantedText = fromUtf8(*composed);
  const std::u32string wanted = folded(wantedText);
  Cp932Decoder cp932;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path candidate = it->path();
    const std::string bytes = candidate.filename().native();
    // A character takes at least one byte in every encoding read here.
    if (bytes.size() < wanted.size()) continue;
    std::optional<NameReading> name = readName(bytes, cp932);
    if (!name || name->text.size() != wanted.size() || folded(name->text) != wanted) continue;
    const bool sameText = name->text == wantedText;
    found.push_back(Candidate{candidate, std::move(*name), sameText});
  }
  std::sort(found.begin(), found.end(), [](const Candidate& a, const Candidate& b) {
    if (a.sameText != b.sameText) return a.sameText;
    return a.path.filename().native() < b.path.filename().native();
  });
  return found;
}

// What the lookup has said on stderr. A game looks the same names up again and again (every
// scene, every effect, every load), and the disk does not change under it, so each warning is
// worth one line in the program's life. The lookup is called from the interpreter, the window
// and the audio thread alike, hence the lock.
class SaidOnce {
 public:
  [[nodiscard]] bool first(std::string key) {
    const std::lock_guard lock(mutex_);
    return said_.insert(std::move(key)).second;
  }

 private:
  std::mutex mutex_;
  std::set<std::string> said_;
};

SaidOnce& said() {
  static SaidOnce once;
  return once;
}

void warnSeveral(const fs::path& dir, const std::string& part, const std::vector<Candidate>& found,
                 const Candidate& chosen) {
  // Spelt either way, a name that matches the same files is the same question.
  std::string key = "several\n" + dir.string();
  for (const Candidate& c : found) key += '\n' + c.path.filename().string();
  if (!said().first(std::move(key))) return;
  const auto shown = [](std::ostringstream& out, const Candidate& c) {
    out << '"' << toUtf8(c.name.text) << '"' << (c.name.fromCp932 ? " (Shift_JIS name)" : "");
  };
  std::ostringstream line;
  line << "qov: \"" << part << "\" matches " << found.size() << " files in " << dir.string()
       << ": ";
  for (std::size_t i = 0; i < found.size(); ++i) {
    if (i > 0) line << ", ";
    shown(line, found[i]);
  }
  line << "; using ";
  shown(line, chosen);
  line << '\n';
  std::cerr << line.str();
}

// Follows parts[index...] from dir, trying the matches of each part in their order.
std::optional<fs::path> follow(const fs::path& dir, const std::vector<std::string>& parts,
                               std::size_t index) {
  if (index == parts.size()) return dir;
  const std::string& part = parts[index];
  if (present(dir / part)) {
    if (auto found = follow(dir / part, parts, index + 1)) return found;
  }
  const std::vector<Candidate> found = matches(dir, part);
  for (const Candidate& candidate : found) {
    if (candidate.path.filename() == part) continue;  // tried above
    if (auto rest = follow(candidate.path, parts, index + 1)) {
      if (found.size() > 1) warnSeveral(dir, part, found, candidate);
      return rest;
    }
  }
  return std::nullopt;
}

// Whether `inside` is `root` or lies beneath it; both canonical.
bool beneath(const fs::path& root, const fs::path& inside) {
  auto r = root.begin();
  auto i = inside.begin();
  for (; r != root.end(); ++r, ++i) {
    if (r->empty()) continue;  // the empty last part of a path ending in "/"
    if (i == inside.end() || *r != *i) return false;
  }
  return true;
}

// Whether `found` (dir joined with the parts of a name) really lies in dir: a symbolic link in
// a game folder may lead out of it, and a game reads only its own files. The first link on the
// way that leaves is named on stderr.
bool staysInside(const fs::path& dir, const fs::path& found) {
  std::error_code ec;
  const fs::path root = fs::canonical(dir, ec);
  if (ec) return false;
  const fs::path real = fs::canonical(found, ec);
  if (ec) return false;
  if (beneath(root, real)) return true;
  fs::path step = dir;
  for (const fs::path& part : found.lexically_relative(dir)) {
    step /= part;
    if (!fs::is_symlink(step, ec)) continue;
    const fs::path target = fs::canonical(step, ec);
    if (ec || beneath(root, target)) continue;
    if (said().first("link\n" + step.string())) {
      std::cerr << "qov: " << step.string() << " is a link out of the game folder (to "
                << target.string() << "); it is not followed\n";
    }
    break;
  }
  return false;
}

std::optional<fs::path> lookUp(const fs::path& dir, const std::vector<std::string>& parts) {
  // The exact name costs one look at the disk and no listing.
  fs::path exact = dir;
  for (const std::string& part : parts) exact /= part;
  if (present(exact)) return exact;
  return follow(dir, parts, 0);
}

}  // namespace

std::optional<fs::path> findFile(const fs::path& dir, std::string_view name) {
  const std::optional<std::vector<std::string>> parts = components(name);
  if (!parts || parts->empty()) return std::nullopt;
  std::optional<fs::path> found = lookUp(dir, *parts);
  if (found && !staysInside(dir, *found)) return std::nullopt;
  return found;
}

std::uint64_t contentHash(const std::vector<std::uint8_t>& bytes) {
  std::uint64_t hash = 0xcbf29ce484222325ull;
  for (const std::uint8_t b : bytes) hash = (hash ^ b) * 0x100000001b3ull;
  return hash;
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
