#include "platform/headless/HeadlessAudio.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/Files.h"

namespace qov {
namespace {

bool equalsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::vector<std::string_view> words(std::string_view text) {
  std::vector<std::string_view> out;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') ++i;
    const std::size_t start = i;
    while (i < text.size() && text[i] != ' ') ++i;
    if (i > start) out.push_back(text.substr(start, i - start));
  }
  return out;
}

std::optional<std::filesystem::path> findMedia(const std::vector<std::filesystem::path>& dirs,
                                               const std::filesystem::path& file) {
  std::error_code ec;
  if (file.has_parent_path()) {
    if (std::filesystem::is_regular_file(file, ec)) return file;
    return std::nullopt;
  }
  for (const auto& dir : dirs) {
    if (auto found = findFile(dir, file.string())) return found;
  }
  return std::nullopt;
}

std::uint32_t le32(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
         static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

}  // namespace

std::optional<std::uint64_t> waveDurationMs(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
      std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
    return std::nullopt;
  }
  std::optional<std::uint32_t> byteRate;
  std::optional<std::uint32_t> dataSize;
  std::size_t at = 12;
  while (at + 8 <= bytes.size()) {
    const std::uint32_t size = le32(bytes, at + 4);
    if (std::memcmp(bytes.data() + at, "fmt ", 4) == 0 && size >= 16 &&
        at + 8 + 16 <= bytes.size()) {
      byteRate = le32(bytes, at + 8 + 8);
    } else if (std::memcmp(bytes.data() + at, "data", 4) == 0) {
      // A truncated file plays what it holds.
      dataSize = static_cast<std::uint32_t>(std::min<std::uint64_t>(size, bytes.size() - (at + 8)));
    }
    at += 8 + static_cast<std::uint64_t>(size) + (size & 1);
  }
  if (!byteRate || *byteRate == 0 || !dataSize) return std::nullopt;
  return static_cast<std::uint64_t>(*dataSize) * 1000 / *byteRate;
}

HeadlessMusicDevice::HeadlessMusicDevice(std::vector<std::filesystem::path> searchDirs,
                                         VirtualClock clock)
    : searchDirs_(std::move(searchDirs)), clock_(std::move(clock)) {}

void HeadlessMusicDevice::update() {
  if (state_ != State::Playing || !length_) return;
  const std::uint64_t played = position_ + (clock_() - playStart_);
  if (played >= *length_) {
    state_ = State::Stopped;
    position_ = *length_;
  }
}

HeadlessMusicDevice::State HeadlessMusicDevice::state() {
  update();
  return state_;
}

void HeadlessMusicDevice::endPiece() {
  update();
  if (state_ != State::Playing) return;
  state_ = State::Stopped;
  position_ = length_.value_or(position_);
}

bool HeadlessMusicDevice::send(std::string_view command, std::string* answer) {
  commands_.emplace_back(command);
  update();
  std::string reply;
  const bool ok = execute(command, reply);
  if (answer != nullptr) *answer = ok ? reply : std::string();
  return ok;
}

bool HeadlessMusicDevice::execute(std::string_view command, std::string& answer) {
  const auto w = words(command);
  if (w.empty()) return false;
  // "open NAME alias bg": the device is named by its alias from then on.
  if (equalsNoCase(w[0], "open")) {
    if (w.size() != 4 || !equalsNoCase(w[2], "alias") || !equalsNoCase(w[3], "bg")) return false;
    if (state_ != State::Closed) return false;
    const auto found = findMedia(searchDirs_, std::filesystem::path(std::string(w[1])));
    if (!found) return false;
    file_ = *found;
    state_ = State::Stopped;
    position_ = 0;
    return true;
  }
  if (w.size() < 2 || !equalsNoCase(w[1], "bg") || state_ == State::Closed) return false;
  if (equalsNoCase(w[0], "play") && w.size() == 2) {
    if (state_ != State::Playing && (!length_ || position_ < *length_)) {
      state_ = State::Playing;
      playStart_ = clock_();
    }
    return true;
  }
  if (equalsNoCase(w[0], "stop") && w.size() == 2) {
    update();
    if (state_ == State::Playing) position_ += clock_() - playStart_;
    state_ = State::Stopped;
    return true;
  }
  if (equalsNoCase(w[0], "seek") && w.size() == 4 && equalsNoCase(w[2], "to") &&
      equalsNoCase(w[3], "start")) {
    state_ = State::Stopped;
    position_ = 0;
    return true;
  }
  if (equalsNoCase(w[0], "close") && w.size() == 2) {
    state_ = State::Closed;
    file_.clear();
    position_ = 0;
    return true;
  }
  if (equalsNoCase(w[0], "status") && w.size() == 3 && equalsNoCase(w[2], "mode")) {
    answer = state_ == State::Playing ? "playing" : "stopped";
    return true;
  }
  return false;
}

HeadlessSoundOutput::HeadlessSoundOutput(std::vector<std::filesystem::path> searchDirs,
                                         VirtualClock clock)
    : searchDirs_(std::move(searchDirs)), clock_(std::move(clock)) {}

bool HeadlessSoundOutput::play(const std::filesystem::path& file, bool loop) {
  Entry entry{Call::Play, file, loop, false, clock_()};
  std::optional<std::uint64_t> duration;
  if (const auto found = findMedia(searchDirs_, file)) {
    if (const auto bytes = readFile(*found)) duration = waveDurationMs(*bytes);
  }
  entry.ok = duration.has_value();
  log_.push_back(entry);
  if (!duration) return false;
  active_ = true;
  looping_ = loop;
  end_ = entry.at + *duration;
  return true;
}

void HeadlessSoundOutput::playDefault() {
  const std::uint64_t now = clock_();
  log_.push_back(Entry{Call::PlayDefault, {}, false, true, now});
  active_ = true;
  looping_ = false;
  end_ = now + kDefaultSoundMs;
}

bool HeadlessSoundOutput::playing() const {
  return active_ && (looping_ || clock_() < end_);
}

void HeadlessSoundOutput::stop() {
  log_.push_back(Entry{Call::Stop, {}, false, true, clock_()});
  active_ = false;
}

std::optional<std::uint64_t> HeadlessSoundOutput::endTime() const {
  if (!playing() || looping_) return std::nullopt;
  return end_;
}

}  // namespace qov
