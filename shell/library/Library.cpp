#include "shell/library/Library.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <ctime>
#include <iostream>
#include <system_error>
#include <utility>

#include "platform/AtomicFile.h"
#include "platform/IniFile.h"
#include "platform/UserDirectories.h"
#include "ui/GameData.h"

namespace qov {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kHeading =
    "; The games of the player's library, written by qov. Values are UTF-8 or the folder's own\n"
    "; bytes; %XX stands for a byte that the INI format would misread.\n";
constexpr std::string_view kSectionPrefix = "game ";

fs::path normalFolder(const fs::path& folder) {
  std::error_code ec;
  fs::path normal = fs::absolute(folder, ec).lexically_normal();
  if (ec) normal = folder.lexically_normal();
  if (!normal.has_filename() && normal != normal.root_path()) normal = normal.parent_path();
  return normal;
}

// A value as one INI line keeps it: the bytes an INI reader would take for a comment, a line
// end or blanks to trim are written as %XX.
std::string escape(std::string_view value) {
  constexpr std::string_view kHex = "0123456789ABCDEF";
  std::string out;
  for (std::size_t i = 0; i < value.size(); ++i) {
    const auto byte = static_cast<unsigned char>(value[i]);
    const bool edge = (i == 0 || i + 1 == value.size()) && (byte == ' ' || byte == '\t');
    if (byte < 0x20 || byte == 0x7F || byte == '%' || byte == ';' || byte == '#' || edge) {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    } else {
      out += static_cast<char>(byte);
    }
  }
  return out;
}

std::optional<std::string> unescape(std::string_view value) {
  std::string out;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '%') {
      out += value[i];
      continue;
    }
    if (value.size() - i < 3) return std::nullopt;
    unsigned byte = 0;
    const char* digits = value.data() + i + 1;
    const auto [end, ec] = std::from_chars(digits, digits + 2, byte, 16);
    if (ec != std::errc() || end != digits + 2) return std::nullopt;
    out += static_cast<char>(byte);
    i += 2;
  }
  return out;
}

// The entries of the file, or why it is not ours.
struct Parsed {
  std::vector<LibraryEntry> entries;
  std::string problem;
};

Parsed parse(const IniFile& ini) {
  Parsed parsed;
  if (ini.status() == IniFile::Status::Unreadable) {
    parsed.problem = "cannot be read: " + ini.error();
    return parsed;
  }
  if (ini.status() == IniFile::Status::SyntaxError) {
    parsed.problem = "line " + std::to_string(ini.errorLine()) + ": " + ini.error();
    return parsed;
  }
  for (int n = 1;; ++n) {
    const std::string name = std::string(kSectionPrefix) + std::to_string(n);
    const IniFile::Section* section = ini.section(name);
    if (section == nullptr) break;
    const auto text = [&](std::string_view key) -> std::optional<std::string> {
      const auto found = section->find(key);
      if (found == section->end()) return std::nullopt;
      return unescape(found->second.text);
    };
    const auto fail = [&](std::string_view why) {
      parsed.problem = "[" + name + "]: " + std::string(why);
      parsed.entries.clear();
      return parsed;
    };
    LibraryEntry entry;
    const std::optional<std::string> folder = text("folder");
    if (!folder || folder->empty() || folder->front() != '/') {
      return fail("no absolute folder");
    }
    entry.folder = normalFolder(*folder);
    const std::optional<std::string> added = text("added");
    const std::optional<UnixTime> addedAt = added ? parseIsoTime(*added) : std::nullopt;
    if (!addedAt) return fail("no time of adding (added = YYYY-MM-DDTHH:MM:SSZ)");
    entry.added = *addedAt;
    if (const std::optional<std::string> played = text("played")) {
      entry.played = parseIsoTime(*played);
      if (!entry.played) return fail("the time played is not YYYY-MM-DDTHH:MM:SSZ");
    }
    entry.title = text("title").value_or("");
    entry.icon = text("icon").value_or("");
    // A folder listed twice keeps its later entry.
    std::erase_if(parsed.entries, [&](const LibraryEntry& e) { return e.folder == entry.folder; });
    parsed.entries.push_back(std::move(entry));
  }
  return parsed;
}

std::string serialise(const std::vector<LibraryEntry>& entries) {
  std::string out(kHeading);
  int n = 0;
  for (const LibraryEntry& e : entries) {
    out += "\n[" + std::string(kSectionPrefix) + std::to_string(++n) + "]\n";
    out += "folder = " + escape(e.folder.string()) + "\n";
    out += "title = " + escape(e.title) + "\n";
    if (!e.icon.empty()) out += "icon = " + escape(e.icon) + "\n";
    out += "added = " + isoTime(e.added) + "\n";
    if (e.played) out += "played = " + isoTime(*e.played) + "\n";
  }
  return out;
}

}  // namespace

std::string isoTime(UnixTime t) {
  const auto seconds = static_cast<std::time_t>(t);
  std::tm utc{};
  gmtime_r(&seconds, &utc);
  std::array<char, 32> text{};
  const std::size_t n = std::strftime(text.data(), text.size(), "%Y-%m-%dT%H:%M:%SZ", &utc);
  return std::string(text.data(), n);
}

std::optional<UnixTime> parseIsoTime(std::string_view text) {
  constexpr std::string_view kShape = "dddd-dd-ddTdd:dd:ddZ";
  if (text.size() != kShape.size()) return std::nullopt;
  for (std::size_t i = 0; i < kShape.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (kShape[i] == 'd' ? !digit : text[i] != kShape[i]) return std::nullopt;
  }
  const auto number = [&](std::size_t at, std::size_t n) {
    int value = 0;
    for (std::size_t i = at; i < at + n; ++i) value = value * 10 + (text[i] - '0');
    return value;
  };
  std::tm utc{};
  utc.tm_year = number(0, 4) - 1900;
  utc.tm_mon = number(5, 2) - 1;
  utc.tm_mday = number(8, 2);
  utc.tm_hour = number(11, 2);
  utc.tm_min = number(14, 2);
  utc.tm_sec = number(17, 2);
  if (utc.tm_hour > 23 || utc.tm_min > 59 || utc.tm_sec > 59) return std::nullopt;
  const UnixTime t = timegm(&utc);
  // A day past the month's end would roll over into the next month.
  if (isoTime(t) != text) return std::nullopt;
  return t;
}

UnixTime unixNow() {
  return static_cast<UnixTime>(std::time(nullptr));
}

std::optional<LibraryPlaces> userLibraryPlaces() {
  const std::optional<fs::path> data = userDataHome();
  if (!data) return std::nullopt;
  return LibraryPlaces{*data / "qov" / "library.ini", *data / "qov" / "games"};
}

Library::Library(fs::path file, fs::path gamesRoot)
    : file_(std::move(file)), gamesRoot_(normalFolder(gamesRoot)) {}

void Library::load() {
  entries_.clear();
  const IniFile ini = IniFile::read(file_);
  if (ini.status() == IniFile::Status::Missing) return;
  Parsed parsed = parse(ini);
  if (!parsed.problem.empty() && !keepFile_) {
    fs::path broken = file_;
    broken += ".broken";
    std::error_code ec;
    fs::rename(file_, broken, ec);
    std::cerr << "qov: " << file_.string() << " is broken (" << parsed.problem << "); ";
    if (ec) {
      keepFile_ = true;
      std::cerr << "it cannot be set aside (" << ec.message()
                << "), so the library is not kept this time\n";
    } else {
      std::cerr << "kept as " << broken.string() << ", the library starts empty\n";
    }
    std::cerr.flush();
    return;
  }
  entries_ = std::move(parsed.entries);
  for (LibraryEntry& e : entries_) {
    e.copy = isCopy(e.folder);
    if (e.title.empty()) e.title = readGameSummary(e.folder).title;
  }
  sort();
}

const LibraryEntry* Library::find(const fs::path& folder) const {
  const fs::path normal = normalFolder(folder);
  const auto it = std::find_if(entries_.begin(), entries_.end(),
                               [&](const LibraryEntry& e) { return e.folder == normal; });
  return it == entries_.end() ? nullptr : &*it;
}

bool Library::isCopy(const fs::path& folder) const {
  const fs::path normal = normalFolder(folder);
  const fs::path inside = normal.lexically_relative(gamesRoot_);
  return !inside.empty() && *inside.begin() != ".." && *inside.begin() != ".";
}

std::optional<std::string> Library::add(const fs::path& folder, UnixTime now) {
  return add(std::vector<fs::path>{folder}, now);
}

std::optional<std::string> Library::add(const std::vector<fs::path>& folders, UnixTime now) {
  load();
  // Backwards, each put first: the list shows them in the order given, before the others of
  // the same second.
  for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
    const fs::path normal = normalFolder(*folder);
    const GameSummary summary = readGameSummary(normal);
    LibraryEntry entry;
    entry.folder = normal;
    const auto it = std::find_if(entries_.begin(), entries_.end(),
                                 [&](const LibraryEntry& e) { return e.folder == normal; });
    if (it != entries_.end()) {
      entry = std::move(*it);
      entries_.erase(it);
    }
    entry.title = summary.title;
    entry.icon = summary.icon;
    entry.added = now;
    entry.copy = isCopy(normal);
    entries_.insert(entries_.begin(), std::move(entry));
  }
  sort();
  return save();
}

std::optional<std::string> Library::markPlayed(const fs::path& folder, UnixTime now) {
  load();
  const fs::path normal = normalFolder(folder);
  const auto it = std::find_if(entries_.begin(), entries_.end(),
                               [&](const LibraryEntry& e) { return e.folder == normal; });
  if (it == entries_.end()) return std::nullopt;
  it->played = now;
  std::rotate(entries_.begin(), it, std::next(it));
  sort();
  return save();
}

std::optional<std::string> Library::remove(const fs::path& folder, bool deleteCopy) {
  load();
  const fs::path normal = normalFolder(folder);
  const std::size_t removed =
      std::erase_if(entries_, [&](const LibraryEntry& e) { return e.folder == normal; });
  if (removed == 0) return std::nullopt;
  if (const std::optional<std::string> problem = save()) return problem;
  if (!deleteCopy || !isCopy(normal)) return std::nullopt;
  // The whole copy goes, not only the game folder inside it: the copy is gamesRoot/<name>.
  const fs::path copy = gamesRoot_ / *normal.lexically_relative(gamesRoot_).begin();
  std::error_code ec;
  fs::remove_all(copy, ec);
  if (ec) return "cannot delete the copy " + copy.string() + ": " + ec.message();
  return std::nullopt;
}

std::optional<std::string> Library::save() {
  if (keepFile_) return file_.string() + " is kept as it is (it could not be read)";
  std::error_code ec;
  fs::create_directories(file_.parent_path(), ec);
  if (ec) return "cannot create " + file_.parent_path().string() + ": " + ec.message();
  ec = replaceFile(file_, serialise(entries_));
  if (ec) return "cannot write " + file_.string() + ": " + ec.message();
  return std::nullopt;
}

void Library::sort() {
  std::stable_sort(
      entries_.begin(), entries_.end(),
      [](const LibraryEntry& a, const LibraryEntry& b) { return a.lastUsed() > b.lastUsed(); });
}

}  // namespace qov
