#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qov {

// Seconds since 1970-01-01 00:00 UTC.
using UnixTime = std::int64_t;

// One game of the library.
struct LibraryEntry {
  std::filesystem::path folder;  // absolute; the folder that holds wnatu.QOV
  std::string title;             // UTF-8: the qov.ini title, else the folder's name
  std::string icon;              // the qov.ini icon, a name inside the folder; empty: ours
  UnixTime added = 0;
  std::optional<UnixTime> played;  // when it was last started
  bool copy = false;               // a copy we extracted from an archive, under the games folder

  // What the list is sorted by: the later of adding and playing.
  [[nodiscard]] UnixTime lastUsed() const { return played ? std::max(added, *played) : added; }
};

// "2026-12-07T23:40:00Z"; and back (nullopt for anything else).
[[nodiscard]] std::string isoTime(UnixTime t);
[[nodiscard]] std::optional<UnixTime> parseIsoTime(std::string_view text);

// The games the player added, kept in library.ini ($XDG_DATA_HOME/qov/library.ini). Every
// change reads the file again first, so that two players running at once do not undo each
// other's changes, and replaces it atomically. A file that cannot be read as ours is named in
// one line on standard error, kept beside as library.ini.broken, and the library starts empty.
class Library {
 public:
  // `gamesRoot`: where the copies of archives live; an entry under it is a copy.
  Library(std::filesystem::path file, std::filesystem::path gamesRoot);

  // Reads the file (a missing one is an empty library).
  void load();
  // Latest first: played or added last.
  [[nodiscard]] const std::vector<LibraryEntry>& entries() const { return entries_; }
  [[nodiscard]] const LibraryEntry* find(const std::filesystem::path& folder) const;

  // Adds the game in `folder` (or refreshes its title and icon when it is there already),
  // marked as added at `now`. Returns the problem when the file cannot be written.
  [[nodiscard]] std::optional<std::string> add(const std::filesystem::path& folder, UnixTime now);
  // The same for many games at once, in one writing of the file; the first comes first.
  [[nodiscard]] std::optional<std::string> add(const std::vector<std::filesystem::path>& folders,
                                               UnixTime now);
  // Notes that the game was started at `now`; nothing for a folder not in the library.
  [[nodiscard]] std::optional<std::string> markPlayed(const std::filesystem::path& folder,
                                                      UnixTime now);
  // Takes the entry out of the list. The folder stays, unless `deleteCopy` and it is a copy
  // of ours under the games folder, which is then deleted with everything in it.
  [[nodiscard]] std::optional<std::string> remove(const std::filesystem::path& folder,
                                                  bool deleteCopy);

  [[nodiscard]] const std::filesystem::path& file() const { return file_; }
  [[nodiscard]] const std::filesystem::path& gamesRoot() const { return gamesRoot_; }
  // True for a folder that lies inside the games folder.
  [[nodiscard]] bool isCopy(const std::filesystem::path& folder) const;

 private:
  [[nodiscard]] std::optional<std::string> save();
  void sort();

  std::filesystem::path file_;
  std::filesystem::path gamesRoot_;
  std::vector<LibraryEntry> entries_;
  // The file could not be read and could not be set aside either: writing it would lose it.
  bool keepFile_ = false;
};

// The library file and the games folder of this user; nullopt without a data home.
struct LibraryPlaces {
  std::filesystem::path file;
  std::filesystem::path gamesRoot;
};
[[nodiscard]] std::optional<LibraryPlaces> userLibraryPlaces();

// The current time.
[[nodiscard]] UnixTime unixNow();

}  // namespace qov
