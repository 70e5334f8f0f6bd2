#include "engine/SaveFile.h"

#include <unistd.h>

#include <cstring>
#include <iostream>
#include <system_error>
#include <utility>
#include <vector>

#include "engine/Decimal.h"
#include "engine/ErrorTexts.h"
#include "platform/AtomicFile.h"
#include "platform/Encoding.h"
#include "platform/Files.h"
#include "platform/UserDirectories.h"

namespace qov {
namespace {

namespace fs = std::filesystem;

std::u32string withLine(std::u32string_view text, const std::u32string& fileName, int line) {
  return std::u32string(text) + U"\r\n" + fileName + U"(" + formatSigned(line) + U")";
}

// A file written with CR LF is split only there: a name may hold a lone LF.
std::vector<std::string_view> splitLines(std::string_view bytes) {
  const std::size_t firstLf = bytes.find('\n');
  const bool crlf = firstLf != std::string_view::npos && firstLf > 0 && bytes[firstLf - 1] == '\r';
  const std::string_view end = crlf ? "\r\n" : "\n";
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t at = bytes.find(end, start);
    if (at == std::string_view::npos) {
      lines.push_back(bytes.substr(start));
      break;
    }
    lines.push_back(bytes.substr(start, at - start));
    start = at + end.size();
  }
  return lines;
}

// The folder refuses new files, as opposed to a full disk or a failing one.
bool cannotWrite(int error) {
  return error == EACCES || error == EPERM || error == EROFS;
}

}  // namespace

SaveFile::SaveFile(fs::path gameDir)
    : gameDir_(std::move(gameDir)), userDir_(userSaveDirectory(gameDir_)) {}

SaveFile::SaveFile(fs::path gameDir, std::optional<fs::path> userDir)
    : gameDir_(std::move(gameDir)), userDir_(std::move(userDir)) {}

std::string SaveFile::format(const Variables& vars) {
  std::string out;
  const auto number = [&out](std::int16_t value) {
    out += toUtf8(formatSigned(value));
    out += " \r\n";
  };
  for (const std::int16_t v : vars.vars()) number(v);
  for (const std::int16_t c : vars.itemCounts()) number(c);
  for (const std::u32string& name : vars.itemNames()) {
    out += encodeCp932(name);
    out += "\r\n";
  }
  return out;
}

std::variant<SaveFile::State, SaveFile::BadLine> SaveFile::parse(std::string_view bytes) {
  const std::vector<std::string_view> lines = splitLines(bytes);
  State state;
  for (int i = 0; i < kLineCount; ++i) {
    const int lineNumber = i + 1;
    if (static_cast<std::size_t>(i) >= lines.size()) return BadLine{lineNumber};
    std::optional<std::u32string> text = decodeCp932(lines[static_cast<std::size_t>(i)]);
    if (!text) return BadLine{lineNumber};
    if (i < Variables::kVarCount + Variables::kItemCount) {
      const ParsedNumber number = parseDecimal(*text);
      if (number.status != NumberStatus::ok) return BadLine{lineNumber};
      if (i < Variables::kVarCount) {
        state.vars[static_cast<std::size_t>(i)] = number.value;
      } else {
        state.counts[static_cast<std::size_t>(i - Variables::kVarCount)] = number.value;
      }
    } else {
      // Names read back exactly as written, leading blanks and quotes included.
      state.names[static_cast<std::size_t>(i - Variables::kVarCount - Variables::kItemCount)] =
          std::move(*text);
    }
  }
  return state;
}

SaveFile::Attempt SaveFile::writeInto(const fs::path& target, std::string_view bytes) {
  return {target, replaceFile(target, bytes).value()};
}

std::optional<std::u32string> SaveFile::save(const Variables& vars) const {
  const std::string bytes = format(vars);
  // An existing save of another case is the one to replace.
  const fs::path target = findFile(gameDir_, kFileName).value_or(gameDir_ / kFileName);
  const Attempt own = writeInto(target, bytes);
  if (own.error == 0) return std::nullopt;
  std::vector<Attempt> tried = {own};
  // A folder on read-only media or installed by another user: the save goes to the user's own
  // place instead of being lost.
  if (cannotWrite(own.error) && userDir_) {
    const fs::path userFile = *userDir_ / kFileName;
    std::error_code ec;
    const bool first = !fs::exists(userFile, ec);
    fs::create_directories(*userDir_, ec);
    const Attempt user = ec ? Attempt{userFile, ec.value()} : writeInto(userFile, bytes);
    if (user.error == 0) {
      if (first) {
        std::cerr << "qov: the game folder " << gameDir_.string() << " cannot be written ("
                  << std::strerror(own.error) << "); the game is saved in " << userFile.string()
                  << '\n';
      }
      return std::nullopt;
    }
    tried.push_back(user);
  }
  std::u32string notice =
      std::u32string(errors::kSaveFailed) + U"\r\n" + fromUtf8(target.filename().string());
  for (const Attempt& attempt : tried) {
    notice +=
        U"\r\n" + fromUtf8(std::strerror(attempt.error)) + U": " + fromUtf8(attempt.path.string());
  }
  return notice;
}

std::optional<fs::path> SaveFile::fileToLoad() const {
  std::optional<fs::path> own = findFile(gameDir_, kFileName);
  if (!userDir_) return own;
  const fs::path userFile = *userDir_ / kFileName;
  std::error_code ec;
  if (!fs::is_regular_file(userFile, ec)) return own;
  if (!own || ::access(gameDir_.c_str(), W_OK) != 0) return userFile;
  // Both: the one saved last, as a folder that was read-only for a while left it.
  const auto ownTime = fs::last_write_time(*own, ec);
  if (ec) return userFile;
  const auto userTime = fs::last_write_time(userFile, ec);
  return !ec && userTime > ownTime ? userFile : own;
}

std::optional<std::u32string> SaveFile::load(Variables& vars) const {
  const std::optional<fs::path> path = fileToLoad();
  // No save yet is no fault: the script sees its variables unchanged and says so itself.
  if (!path) return std::nullopt;
  const std::u32string fileName = fromUtf8(path->filename().string());
  const std::optional<std::vector<std::uint8_t>> bytes = readFile(*path);
  if (!bytes) return std::u32string(errors::kBadSaveFile) + U"\r\n" + fileName;
  const auto parsed =
      parse(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
  if (const auto* bad = std::get_if<BadLine>(&parsed)) {
    return withLine(errors::kBadSaveFile, fileName, bad->line);
  }
  const State& state = std::get<State>(parsed);
  vars.assign(state.vars, state.counts, state.names);
  return std::nullopt;
}

}  // namespace qov
