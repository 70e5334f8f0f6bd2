#pragma once

#include <span>
#include <string>
#include <string_view>

namespace qov {

// The text hook: one line of UTF-8 for each thing shown, written at once to a file descriptor
// (standard output) for a translator or dictionary reading from a pipe. A reader that goes
// away or stops reading never holds up the game: a closed pipe ends the hook, a full one
// loses the line.
class TextHook {
 public:
  explicit TextHook(int fd) : fd_(fd) {}

  // Writes `text` and a newline; line breaks, tabs and other control characters in it become
  // blanks, so that one line is one thing shown. False when the line was lost.
  bool write(std::u32string_view text);
  // Writes `fields` separated by tabs (each cleaned as write() does) as one line.
  bool writeFields(std::span<const std::u32string> fields);

  // The reader has gone: nothing more is written.
  [[nodiscard]] bool closed() const { return closed_; }

 private:
  bool writeLine(const std::string& line);

  int fd_;
  bool closed_ = false;
  bool toldFull_ = false;  // a full pipe is said once
};

}  // namespace qov
