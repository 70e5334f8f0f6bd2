#include "shell/archive/Archive.h"

#include <archive.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <xxhash.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Encoding.h"
#include "platform/Files.h"
#include "shell/archive/Extractor.h"
#include "shell/archive/FileDescriptor.h"
#include "shell/archive/Reader.h"

namespace qov {
namespace {

namespace fs = std::filesystem;

// Folders being unpacked start with this; one that nobody holds locked is left from a run that
// ended half way.
constexpr std::string_view kTemporaryPrefix = ".unpacking-";
// The game's folder lies at most this many folders below the top of the archive.
constexpr int kGameDepth = 3;

std::string contentHash(const fs::path& archive) {
  std::ifstream in(archive, std::ios::binary);
  if (!in) throw ArchiveError(archive.string() + ": cannot be read");
  const std::unique_ptr<XXH3_state_t, decltype(&XXH3_freeState)> state(XXH3_createState(),
                                                                       &XXH3_freeState);
  XXH3_64bits_reset(state.get());
  constexpr std::size_t kBlock = 64 * 1024;
  const auto buffer = std::make_unique_for_overwrite<char[]>(kBlock);
  while (in) {
    in.read(buffer.get(), kBlock);
    XXH3_64bits_update(state.get(), buffer.get(), static_cast<std::size_t>(in.gcount()));
  }
  if (in.bad()) throw ArchiveError(archive.string() + ": cannot be read");
  std::array<char, 9> hex{};
  std::snprintf(hex.data(), hex.size(), "%08x",
                static_cast<unsigned>(XXH3_64bits_digest(state.get()) >> 32));
  return hex.data();
}

// The archive's name without its extensions ("game.tar.gz" is "game"), read as the lookup reads
// names, in UTF-8.
std::string copyName(const fs::path& archive) {
  std::string name = archive.filename().native();
  for (int i = 0; i < 2; ++i) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) break;
    const std::string extension = name.substr(dot);
    name.resize(dot);
    if (i == 0 && extension.size() != 3) break;  // ".gz", ".xz", ".bz2" may follow ".tar"
    if (i == 1 && extension != ".tar") name += extension;
  }
  Cp932Decoder cp932;
  const std::optional<NameReading> reading = readName(name, cp932);
  name = toUtf8(reading ? reading->text : decodeCp932Lenient(name));
  name.erase(0, name.find_first_not_of('.'));
  return name.empty() ? "archive" : name;
}

bool holdsGame(const fs::path& folder) {
  const std::optional<fs::path> script = findFile(folder, "wnatu.QOV");
  std::error_code ec;
  return script && fs::is_regular_file(*script, ec);
}

// The shallowest folder that holds the game's first script, the first by name among equals.
std::optional<fs::path> findGame(const fs::path& top) {
  std::vector<fs::path> level{top};
  for (int depth = 0; depth <= kGameDepth && !level.empty(); ++depth) {
    std::vector<fs::path> below;
    for (const fs::path& folder : level) {
      if (holdsGame(folder)) return folder;
      std::error_code ec;
      for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec)) below.push_back(it->path());
      }
    }
    std::sort(below.begin(), below.end());
    level = std::move(below);
  }
  return std::nullopt;
}

// Removes the folders that runs ended half way left behind: those no process holds locked.
void removeStale(const fs::path& gamesRoot) {
  std::error_code ec;
  for (fs::directory_iterator it(gamesRoot, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->path().filename().native().starts_with(kTemporaryPrefix)) continue;
    const FileDescriptor folder(
        ::open(it->path().c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (folder.get() < 0 || ::flock(folder.get(), LOCK_EX | LOCK_NB) != 0) continue;
    std::error_code removed;
    fs::remove_all(it->path(), removed);
  }
}

// The folder the archive is unpacked into, beside the copy, locked while this run fills it.
class Temporary {
 public:
  explicit Temporary(const fs::path& gamesRoot) {
    std::string name = (gamesRoot / kTemporaryPrefix).native() + "XXXXXX";
    if (::mkdtemp(name.data()) == nullptr) {
      throw ArchiveError(gamesRoot.string() + ": cannot create a folder: " + std::strerror(errno));
    }
    path_ = name;
    lock_ = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (lock_ >= 0) (void)::flock(lock_, LOCK_EX);
  }
  ~Temporary() {
    std::error_code ec;
    if (!kept_) fs::remove_all(path_, ec);
    if (lock_ >= 0) ::close(lock_);
  }
  Temporary(const Temporary&) = delete;
  Temporary& operator=(const Temporary&) = delete;
  [[nodiscard]] const fs::path& path() const { return path_; }
  // Writes everything in it to the disk, then gives it its name.
  [[nodiscard]] bool moveTo(const fs::path& target) {
    if (lock_ >= 0) (void)::syncfs(lock_);
    if (::rename(path_.c_str(), target.c_str()) != 0) return false;
    kept_ = true;
    const FileDescriptor parent(
        ::open(target.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (parent.get() >= 0) (void)::fsync(parent.get());
    return true;
  }

 private:
  fs::path path_;
  int lock_ = -1;
  bool kept_ = false;
};

ExtractedGame gameIn(const fs::path& archive, const fs::path& copy, bool fresh) {
  const std::optional<fs::path> game = findGame(copy);
  if (!game) {
    throw ArchiveError(archive.string() + ": holds no game (no folder with \"wnatu.QOV\" " +
                       "within " + std::to_string(kGameDepth) + " folders of its top)");
  }
  return ExtractedGame{*game, copy, fresh};
}

}  // namespace

bool isArchive(const fs::path& file) {
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) return false;
  std::string error;
  const Reader reader = openReader(file, error);
  if (!reader) return false;
  archive_entry* entry = nullptr;
  const int r = archive_read_next_header(reader.get(), &entry);
  return r == ARCHIVE_OK || r == ARCHIVE_WARN;
}

ExtractedGame extractGame(const fs::path& archive, const fs::path& gamesRoot,
                          const std::function<void(double)>& progress,
                          const ExtractLimits& limits) {
  std::error_code ec;
  if (!fs::is_regular_file(archive, ec)) throw ArchiveError(archive.string() + ": no such file");
  const fs::path copy = gamesRoot / (copyName(archive) + "-" + contentHash(archive));
  if (fs::is_directory(copy, ec)) return gameIn(archive, copy, false);

  fs::create_directories(gamesRoot, ec);
  if (ec) throw ArchiveError(gamesRoot.string() + ": cannot create the folder: " + ec.message());
  removeStale(gamesRoot);
  Temporary temporary(gamesRoot);
  extractInto(archive, temporary.path(), limits, progress);
  if (!findGame(temporary.path())) (void)gameIn(archive, temporary.path(), true);
  if (!temporary.moveTo(copy)) {
    const int error = errno;
    // Another run unpacked the same archive meanwhile: its copy is as good as ours.
    if (fs::is_directory(copy, ec)) return gameIn(archive, copy, false);
    throw ArchiveError(copy.string() + ": cannot create the folder: " + std::strerror(error));
  }
  return gameIn(archive, copy, true);
}

}  // namespace qov
