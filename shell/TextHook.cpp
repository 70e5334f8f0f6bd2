#include "shell/TextHook.h"

#include <poll.h>
#include <pthread.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <iostream>

#include "platform/Encoding.h"

namespace qov {

namespace {

std::u32string cleaned(std::u32string_view text) {
  std::u32string line(text);
  for (char32_t& c : line) {
    if (c < 0x20 || c == 0x7F) c = U' ';
  }
  return line;
}

// Writes all of `bytes`; errno tells why not. A closed pipe makes the write fail with EPIPE
// instead of ending the program: SIGPIPE is held back for the call and the one it raised is
// taken away.
bool writeAll(int fd, const std::string& bytes) {
  sigset_t pipe;
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  sigset_t before;
  pthread_sigmask(SIG_BLOCK, &pipe, &before);
  std::size_t done = 0;
  int error = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = n < 0 ? errno : EIO;
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  if (error == EPIPE) {
    const timespec none{};
    static_cast<void>(sigtimedwait(&pipe, nullptr, &none));
  }
  pthread_sigmask(SIG_SETMASK, &before, nullptr);
  errno = error;
  return error == 0;
}

}  // namespace

bool TextHook::write(std::u32string_view text) {
  return writeLine(toUtf8(cleaned(text)) + '\n');
}

bool TextHook::writeFields(std::span<const std::u32string> fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += '\t';
    line += toUtf8(cleaned(fields[i]));
  }
  return writeLine(line + '\n');
}

bool TextHook::writeLine(const std::string& line) {
  if (closed_) return false;
  // A pipe that cannot take a line now has a reader that stopped reading: the line is lost
  // rather than the game held up.
  pollfd ready{fd_, POLLOUT, 0};
  if (::poll(&ready, 1, 0) == 0) {
    if (!toldFull_) {
      std::cerr << "qov: the text hook's reader is not reading; lines are lost\n" << std::flush;
    }
    toldFull_ = true;
    return false;
  }
  if (writeAll(fd_, line)) {
    toldFull_ = false;
    return true;
  }
  const int error = errno;
  closed_ = true;
  std::cerr << "qov: the text hook stops: " << std::strerror(error) << '\n' << std::flush;
  return false;
}

}  // namespace qov
