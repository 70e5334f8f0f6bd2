#include "shell/archive/Extractor.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <unordered_set>

#include "platform/Encoding.h"
#include "shell/archive/EntryName.h"
#include "shell/archive/FileDescriptor.h"
#include "shell/archive/Reader.h"

namespace qov {
namespace {

namespace fs = std::filesystem;

// libarchive hands names over in the calling thread's locale: UTF-8 keeps every name it
// converts (7z, Joliet, ZIP's UTF-8 names, LZH read as CP932) whole and leaves the bytes of the
// others as they are, to be read here. The process's own locale is not touched.
class Utf8Locale {
 public:
  Utf8Locale() : utf8_(newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{})) {
    if (utf8_ != locale_t{}) previous_ = uselocale(utf8_);
  }
  ~Utf8Locale() {
    if (utf8_ == locale_t{}) return;
    uselocale(previous_);
    freelocale(utf8_);
  }
  Utf8Locale(const Utf8Locale&) = delete;
  Utf8Locale& operator=(const Utf8Locale&) = delete;

 private:
  locale_t utf8_;
  locale_t previous_{};
};

std::string inQuotes(const std::string& name) {
  return '"' + name + '"';
}

class Extraction {
 public:
  Extraction(const fs::path& archive, const fs::path& folder, const ExtractLimits& limits,
             const std::function<void(double)>& progress)
      : archive_(archive), folder_(folder), limits_(limits), progress_(progress) {
    std::error_code ec;
    archiveSize_ = fs::file_size(archive, ec);
    if (ec) archiveSize_ = 0;
  }

  void run() {
    std::string error;
    reader_ = openReader(archive_, error);
    if (!reader_) fail(error);
    archive* a = reader_.get();
    for (int retries = 0;;) {
      archive_entry* entry = nullptr;
      const int r = archive_read_next_header(a, &entry);
      if (r == ARCHIVE_EOF) break;
      if (r == ARCHIVE_RETRY && ++retries < 8) continue;
      if (r < ARCHIVE_WARN) {
        fail("damaged or cut off" + (entries_ == 0 ? "" : " after " + inQuotes(last_)) + ": " +
             readerError(a, "unreadable"));
      }
      retries = 0;
      if (++entries_ > limits_.maxEntries) {
        fail("more than " + std::to_string(limits_.maxEntries) + " entries");
      }
      unpack(entry);
      report();
    }
    if (progress_) progress_(1.0);
  }

 private:
  [[noreturn]] void fail(const std::string& why) const {
    throw ArchiveError(archive_.string() + ": " + why);
  }
  [[noreturn]] void failEntry(const std::string& why) const {
    throw ArchiveError(archive_.string() + ": " + inQuotes(last_) + ": " + why);
  }
  void note(const std::string& what) const {
    std::cerr << "qov: " + archive_.string() + ": " + inQuotes(last_) + " " + what + "\n";
  }
  // How far through the archive's bytes the reading is; never backwards, although formats that
  // read their index at the end first jump there and back.
  void report() {
    if (!progress_ || archiveSize_ == 0) return;
    const auto read = static_cast<double>(archive_filter_bytes(reader_.get(), -1));
    shown_ = std::max(shown_, std::min(1.0, read / static_cast<double>(archiveSize_)));
    progress_(shown_);
  }

  void unpack(archive_entry* entry) {
    const char* raw = archive_entry_pathname(entry);
    if (raw == nullptr) raw = archive_entry_pathname_utf8(entry);
    if (raw == nullptr) {
      last_ = "entry " + std::to_string(entries_);
      note("skipped: its name cannot be read");
      return;
    }
    const EntryName name = readEntryName(raw, cp932_);
    last_ = name.shown;
    if (!name.refusal.empty()) return note("refused: " + name.refusal);
    if (name.relative.empty()) return;  // the folder itself
    if (name.renamed) note("renamed: bytes that are no character became \"\uFFFD\"");

    const char* hardlink = archive_entry_hardlink(entry);
    const bool hasData = archive_entry_size_is_set(entry) != 0 && archive_entry_size(entry) > 0;
    if (hardlink != nullptr && !hasData) return copyLinked(name.relative, hardlink, false);
    switch (archive_entry_filetype(entry)) {
      case AE_IFDIR:
        if (std::string why; !makeFolders(name.relative, why)) note("refused: " + why);
        return;
      case AE_IFLNK: {
        const char* target = archive_entry_symlink(entry);
        return copyLinked(name.relative, target != nullptr ? target : "", true);
      }
      case AE_IFREG:
      case 0:
        return writeFile(name.relative, entry);
      case AE_IFIFO:
        return note("skipped: a FIFO");
      case AE_IFSOCK:
        return note("skipped: a socket");
      default:
        return note("skipped: a device file");
    }
  }

  // Creates the folders of `relative` that are missing. False, with `why`, when a file of the
  // same name is in the way.
  bool makeFolders(const fs::path& relative, std::string& why) {
    fs::path path = folder_;
    for (const fs::path& part : relative) {
      path /= part;
      if (::mkdir(path.c_str(), 0755) == 0) continue;
      const int error = errno;
      struct stat info {};
      if (error == EEXIST && ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) continue;
      if (error == EEXIST) {
        why = "a file of the same name is in the way";
        return false;
      }
      if (error == ENOSPC || error == EDQUOT || error == EIO || error == EROFS) {
        failEntry(std::string("cannot create a folder: ") + std::strerror(error));
      }
      why = std::string("cannot create a folder: ") + std::strerror(error);
      return false;
    }
    return true;
  }

  // Opens the file an entry lands in; -1, after the note, when it may not be written.
  int create(const fs::path& relative) {
    if (std::string why; relative.has_parent_path() && !makeFolders(relative.parent_path(), why)) {
      note("refused: " + why);
      return -1;
    }
    const fs::path path = folder_ / relative;
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd >= 0) return fd;
    const int error = errno;
    if (error == EISDIR || error == ELOOP || error == ENAMETOOLONG) {
      note(std::string("refused: ") + std::strerror(error));
      return -1;
    }
    failEntry(std::string("cannot create the file: ") + std::strerror(error));
  }

  void count(std::uint64_t bytes) {
    if (bytes > limits_.maxBytes - std::min(limits_.maxBytes, total_)) {
      failEntry("the archive unpacks to more than " + sizeText(limits_.maxBytes));
    }
  }

  static std::string sizeText(std::uint64_t bytes) {
    if (bytes % (std::uint64_t{1} << 30) == 0) return std::to_string(bytes >> 30) + " GiB";
    return std::to_string(bytes) + " bytes";
  }

  void writeFile(const fs::path& relative, archive_entry* entry) {
    archive* a = reader_.get();
    if (archive_entry_size_is_set(entry) != 0 && archive_entry_size(entry) > 0) {
      count(static_cast<std::uint64_t>(archive_entry_size(entry)));
    }
    FileDescriptor file(create(relative));
    if (file.get() < 0) return;
    const la_int64_t packedStart = archive_filter_bytes(a, -1);
    std::uint64_t end = 0;
    std::uint64_t reported = 0;
    for (;;) {
      const void* block = nullptr;
      std::size_t size = 0;
      la_int64_t offset = 0;
      const int r = archive_read_data_block(a, &block, &size, &offset);
      if (r == ARCHIVE_EOF) break;
      if (r < ARCHIVE_WARN) failEntry("damaged or cut off: " + readerError(a, "unreadable"));
      if (offset < 0) failEntry("damaged: data before the file's start");
      const std::uint64_t blockEnd = static_cast<std::uint64_t>(offset) + size;
      if (blockEnd > end) {
        count(blockEnd - end);
        total_ += blockEnd - end;
        end = blockEnd;
      }
      const auto packed = static_cast<std::uint64_t>(
          std::max<la_int64_t>(1, archive_filter_bytes(a, -1) - packedStart));
      if (end > limits_.ratioFrom && end / packed > limits_.maxRatio) {
        failEntry("it inflates more than " + std::to_string(limits_.maxRatio) +
                  " times its packed size");
      }
      writeAll(file.get(), static_cast<const char*>(block), size, offset);
      if (end - reported >= (std::uint64_t{4} << 20)) {
        reported = end;
        report();
      }
    }
    // A file that ends in a hole (sparse) is as long as the archive says.
    if (archive_entry_size_is_set(entry) != 0 &&
        static_cast<std::uint64_t>(archive_entry_size(entry)) > end) {
      const auto size = static_cast<std::uint64_t>(archive_entry_size(entry));
      count(size - end);
      total_ += size - end;
      if (::ftruncate(file.get(), static_cast<off_t>(size)) != 0) writeFailed();
    }
    if (archive_entry_mtime_is_set(entry) != 0) {
      const timespec times[2] = {{0, UTIME_OMIT},
                                 {archive_entry_mtime(entry), archive_entry_mtime_nsec(entry)}};
      (void)::futimens(file.get(), times);
    }
    if (!file.close()) writeFailed();
    unpacked_.insert(relative.native());
  }

  void writeAll(int fd, const char* bytes, std::size_t size, la_int64_t offset) {
    while (size > 0) {
      const ssize_t n = ::pwrite(fd, bytes, size, static_cast<off_t>(offset));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) writeFailed();
      bytes += n;
      size -= static_cast<std::size_t>(n);
      offset += n;
    }
  }

  [[noreturn]] void writeFailed() const {
    failEntry(std::string("cannot write: ") + std::strerror(errno));
  }

  // Links are never made: one to a file unpacked before, inside the folder, becomes a copy of
  // it; any other is refused. A symbolic link's target is relative to its own folder, a hard
  // link's to the archive's top.
  void copyLinked(const fs::path& relative, const std::string& target, bool symbolic) {
    const char* kind = symbolic ? "a symbolic link" : "a hard link";
    const EntryName linked = readEntryName(target, cp932_);
    fs::path source = linked.relative;
    if (symbolic && (linked.refusal.empty() || linked.refusal.find("..") != std::string::npos)) {
      // ".." that stays inside the folder is harmless: resolved against the link's own folder.
      source = (relative.parent_path() / linked.shown).lexically_normal();
      if (!source.empty() && *source.begin() == "..") source.clear();
    } else if (!linked.refusal.empty()) {
      source.clear();
    }
    if (source.empty() || !unpacked_.contains(source.native())) {
      return note(std::string("refused: ") + kind + " to " + inQuotes(linked.shown) +
                  ", which is no file unpacked inside the folder");
    }
    if (std::string why; relative.has_parent_path() && !makeFolders(relative.parent_path(), why)) {
      return note("refused: " + why);
    }
    std::error_code ec;
    const std::uint64_t size = fs::file_size(folder_ / source, ec);
    if (ec) failEntry("cannot read " + inQuotes(source.native()) + ": " + ec.message());
    count(size);
    total_ += size;
    if (!fs::copy_file(folder_ / source, folder_ / relative, fs::copy_options::overwrite_existing,
                       ec)) {
      if (ec == std::errc::no_space_on_device || ec == std::errc::io_error) {
        failEntry("cannot write: " + ec.message());
      }
      return note("refused: " + ec.message());
    }
    unpacked_.insert(relative.native());
    note(std::string("unpacked as a copy of ") + inQuotes(source.native()) + ": " + kind);
  }

  fs::path archive_;
  fs::path folder_;
  const ExtractLimits& limits_;
  const std::function<void(double)>& progress_;
  Utf8Locale locale_;
  Reader reader_;
  Cp932Decoder cp932_;
  std::uintmax_t archiveSize_ = 0;
  double shown_ = 0;
  std::uint64_t entries_ = 0;
  std::uint64_t total_ = 0;
  std::string last_;
  std::unordered_set<std::string> unpacked_;
};

}  // namespace

void extractInto(const fs::path& archive, const fs::path& folder, const ExtractLimits& limits,
                 const std::function<void(double)>& progress) {
  Extraction(archive, folder, limits, progress).run();
}

}  // namespace qov
