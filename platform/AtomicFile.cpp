#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>

namespace qov {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kLongestName = 255;

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  [[nodiscard]] int get() const { return fd_; }
  // Closes now, reporting whether the close succeeded (it can report a failed write).
  [[nodiscard]] bool close() { return ::close(std::exchange(fd_, -1)) == 0; }

 private:
  int fd_;
};

std::error_code lastError() {
  return {errno, std::generic_category()};
}

std::error_code writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return lastError();
    if (written == 0) return std::make_error_code(std::errc::io_error);
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return {};
}

std::error_code writeDurably(const fs::path& path, std::string_view bytes) {
  FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (file.get() < 0) return lastError();
  if (const std::error_code ec = writeAll(file.get(), bytes)) return ec;
  if (::fsync(file.get()) != 0 || !file.close()) return lastError();
  return {};
}

void syncDirectory(const fs::path& dir) {
  const FileDescriptor handle(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (handle.get() >= 0) static_cast<void>(::fsync(handle.get()));
}

}  // namespace

std::error_code replaceFile(const fs::path& target, std::string_view bytes) {
  fs::path temporary = target;
  temporary += ".tmp";
  // A name near the longest a folder takes (255 bytes) leaves no room for ".tmp".
  if (temporary.filename().native().size() > kLongestName) {
    temporary = target.parent_path() / (".qov-" + std::to_string(::getpid()) + ".tmp");
  }
  if (std::error_code failed = writeDurably(temporary, bytes)) {
    std::error_code ec;
    if (!fs::is_directory(temporary, ec)) fs::remove(temporary, ec);
    return failed;
  }
  std::error_code failed;
  fs::rename(temporary, target, failed);
  if (failed) {
    std::error_code ec;
    fs::remove(temporary, ec);
    return failed;
  }
  const fs::path dir = target.parent_path();
  syncDirectory(dir.empty() ? fs::path(".") : dir);
  return {};
}

}  // namespace qov
