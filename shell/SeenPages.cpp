#include "shell/SeenPages.h"

#include <cstdint>
#include <iostream>
#include <system_error>
#include <utility>

#include "engine/ScriptStore.h"
#include "platform/AtomicFile.h"
#include "platform/Files.h"
#include "platform/UserDirectories.h"

namespace qov {

namespace fs = std::filesystem;

namespace {

// "QOVSEEN" and the format's version; then the count of scripts, for each its name's length
// and name, its count of line bits and the bits (line n is bit n % 8 of byte n / 8); then a
// checksum of all before it. Numbers little-endian.
constexpr std::string_view kMagic{"QOVSEEN\x01", 8};
constexpr std::size_t kMostLines = ScriptStore::kMaxLines + 1;  // lines 0 to kMaxLines
constexpr std::uintmax_t kLargestFile = 16u << 20;

std::uint32_t checksum(std::string_view bytes) {
  std::uint32_t h = 2166136261u;  // FNV-1a
  for (const char c : bytes) {
    h ^= static_cast<unsigned char>(c);
    h *= 16777619u;
  }
  return h;
}

void put(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Reads the bytes in order; once short, every read fails.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  std::optional<std::uint32_t> number(int bytes) {
    if (!has(static_cast<std::size_t>(bytes))) return std::nullopt;
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) {
      value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes_[at_ + i])) << (8 * i);
    }
    at_ += static_cast<std::size_t>(bytes);
    return value;
  }
  std::optional<std::string_view> take(std::size_t n) {
    if (!has(n)) return std::nullopt;
    const std::string_view part = bytes_.substr(at_, n);
    at_ += n;
    return part;
  }
  [[nodiscard]] std::size_t left() const { return bytes_.size() - at_; }

 private:
  [[nodiscard]] bool has(std::size_t n) const { return bytes_.size() - at_ >= n; }
  std::string_view bytes_;
  std::size_t at_ = 0;
};

}  // namespace

SeenPages::SeenPages(Platform& platform)
    : platform_(platform),
      settleTimer_(platform.createTimer(
          kSettleMs, [this] { settle(); }, true)) {
  platform_.setTimerEnabled(settleTimer_, false);
}

void SeenPages::open(fs::path file) {
  settle();
  file_ = std::move(file);
  lines_.clear();
  if (file_.empty()) return;
  std::error_code ec;
  if (!fs::exists(file_, ec)) return;  // nothing seen yet
  const std::uintmax_t size = fs::file_size(file_, ec);
  std::string problem;
  if (ec) {
    problem = ec.message();
  } else if (size > kLargestFile) {
    problem = "larger than any such file";
  } else if (const auto bytes = readFile(file_)) {
    Decoded decoded =
        decode(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    if (decoded.lines) {
      lines_ = std::move(*decoded.lines);
      return;
    }
    problem = decoded.problem;
  } else {
    problem = "it cannot be read";
  }
  std::cerr << "qov: the pages seen " << file_.string() << " are damaged (" << problem
            << "); they count as none seen\n"
            << std::flush;
}

SeenPages::~SeenPages() {
  settle();
  platform_.setTimerEnabled(settleTimer_, false);
}

fs::path SeenPages::fileFor(const fs::path& dataFolder, const fs::path& gameFolder) {
  if (dataFolder.empty()) return {};
  return dataFolder / "seen" / (userGameName(gameFolder) + ".bin");
}

bool SeenPages::seen(const MessagePlace& place) const {
  const auto script = lines_.find(place.script);
  if (script == lines_.end() || place.line < 0) return false;
  const auto line = static_cast<std::size_t>(place.line);
  return line < script->second.size() && script->second[line];
}

void SeenPages::mark(const MessagePlace& place) {
  if (place.line < 0 || static_cast<std::size_t>(place.line) >= kMostLines || seen(place)) return;
  std::vector<bool>& bits = lines_[place.script];
  const auto line = static_cast<std::size_t>(place.line);
  if (bits.size() <= line) bits.resize(line + 1);
  bits[line] = true;
  // Not at every page: the first change since the last write starts the wait.
  if (!file_.empty() && !platform_.timerEnabled(settleTimer_)) {
    platform_.setTimerEnabled(settleTimer_, true);
  }
}

void SeenPages::settle() {
  if (!platform_.timerEnabled(settleTimer_)) return;
  platform_.setTimerEnabled(settleTimer_, false);
  std::error_code ec;
  fs::create_directories(file_.parent_path(), ec);
  if (!ec) ec = replaceFile(file_, encode(lines_));
  if (ec && !writeFailed_) {
    std::cerr << "qov: cannot write the pages seen " << file_.string() << " (" << ec.message()
              << ")\n"
              << std::flush;
  }
  writeFailed_ = static_cast<bool>(ec);
}

std::string SeenPages::encode(const Lines& lines) {
  std::string out(kMagic);
  put(out, static_cast<std::uint32_t>(lines.size()), 4);
  for (const auto& [script, bits] : lines) {
    put(out, static_cast<std::uint32_t>(script.size()), 2);
    out += script;
    put(out, static_cast<std::uint32_t>(bits.size()), 2);
    std::string packed((bits.size() + 7) / 8, '\0');
    for (std::size_t i = 0; i < bits.size(); ++i) {
      if (bits[i]) packed[i / 8] = static_cast<char>(packed[i / 8] | (1 << (i % 8)));
    }
    out += packed;
  }
  put(out, checksum(out), 4);
  return out;
}

SeenPages::Decoded SeenPages::decode(std::string_view bytes) {
  const auto fail = [](std::string why) { return Decoded{std::nullopt, std::move(why)}; };
  if (!bytes.starts_with(kMagic)) return fail("not a file of pages seen");
  if (bytes.size() < kMagic.size() + 8) return fail("cut short");
  const std::string_view body = bytes.substr(0, bytes.size() - 4);
  Reader sum(bytes.substr(body.size()));
  if (sum.number(4) != checksum(body)) return fail("its checksum does not match");
  Reader in(body.substr(kMagic.size()));
  const std::optional<std::uint32_t> count = in.number(4);
  Lines lines;
  for (std::uint32_t i = 0; count && i < *count; ++i) {
    const std::optional<std::uint32_t> nameLength = in.number(2);
    const std::optional<std::string_view> name = nameLength ? in.take(*nameLength) : std::nullopt;
    const std::optional<std::uint32_t> bitCount = name ? in.number(2) : std::nullopt;
    if (!bitCount) return fail("cut short");
    if (name->empty() || *bitCount > kMostLines) return fail("a script entry out of range");
    const std::optional<std::string_view> packed = in.take((*bitCount + 7) / 8);
    if (!packed) return fail("cut short");
    std::vector<bool> bits(*bitCount);
    for (std::size_t b = 0; b < bits.size(); ++b) {
      bits[b] = ((static_cast<unsigned char>((*packed)[b / 8]) >> (b % 8)) & 1) != 0;
    }
    if (!lines.emplace(std::string(*name), std::move(bits)).second) {
      return fail("a script named twice");
    }
  }
  if (!count || in.left() != 0) return fail(count ? "bytes after its end" : "cut short");
  return {std::move(lines), {}};
}

}  // namespace qov
