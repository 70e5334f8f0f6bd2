#include "platform/headless/HeadlessAudio.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>

#include "platform/Files.h"
#include "platform/Wave.h"

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

}  // namespace

std::optional<std::uint64_t> waveDurationMs(std::span<const std::uint8_t> bytes) {
  const WaveReading wave = readWave(bytes);
  if (!wave.info || wave.info->byteRate == 0) return std::nullopt;
  return static_cast<std::uint64_t>(wave.info->dataSize) * 1000 / wave.info->byteRate;
}

HeadlessMusicDevice::HeadlessMusicDevice(std::vector<std::filesystem::path> searchDirs,
                                         VirtualClock clock)
    : searchDirs_(std::move(searchDirs)), clock_(std::move(clock)) {}

void HeadlessMusicDevice::update() {
  if (state_ != State::Playing || !length_) return;
  const std::uint64_t played = position_ + (clock_() - playStart_);
  if (played >= *length_) {
    state_ = State::Stopped;
    endedAt_ = playStart_ + (*length_ - position_);
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
  endedAt_ = clock_();
  position_ = length_.value_or(position_);
}

std::optional<std::chrono::milliseconds> HeadlessMusicDevice::playingFor() {
  update();
  if (state_ != State::Playing || !length_) return std::nullopt;
  const std::uint64_t played = position_ + (clock_() - playStart_);
  return std::chrono::milliseconds(*length_ - played);
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
      if (endedAt_ && position_ == 0) gaps_.push_back(playStart_ - *endedAt_);
      endedAt_.reset();
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
    endedAt_.reset();
    return true;
  }
  if (equalsNoCase(w[0], "status") && w.size() == 3 && equalsNoCase(w[2], "mode")) {
    answer = state_ == State::Playing ? "playing" : "stopped";
    return true;
  }
  return false;
}

std::optional<std::uint64_t> HeadlessSoundOutput::playableLength(
    const std::filesystem::path& file) {
  const auto bytes = readFile(file);
  if (!bytes) {
    warnings_.warn(file, "it cannot be read");
    return std::nullopt;
  }
  // What SDL's decoder plays: the same wave formats, missing pad bytes allowed.
  const WaveReading wave = readWave(*bytes);
  if (!wave.info) {
    warnings_.warn(file, wave.error);
    return std::nullopt;
  }
  if (!playableWaveFormat(wave.info->formatTag) || wave.info->byteRate == 0) {
    std::array<char, 64> why{};
    std::snprintf(why.data(), why.size(), "format tag 0x%04X is not one it can decode",
                  static_cast<unsigned>(wave.info->formatTag));
    warnings_.warn(file, why.data());
    return std::nullopt;
  }
  return waveDurationMs(*bytes);
}

HeadlessSoundOutput::HeadlessSoundOutput(std::vector<std::filesystem::path> searchDirs,
                                         VirtualClock clock)
    : searchDirs_(std::move(searchDirs)), clock_(std::move(clock)) {}

bool HeadlessSoundOutput::play(const std::filesystem::path& file, bool loop) {
  Entry entry{Call::Play, file, loop, false, clock_()};
  std::optional<std::uint64_t> duration;
  if (const auto found = findMedia(searchDirs_, file)) duration = playableLength(*found);
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
