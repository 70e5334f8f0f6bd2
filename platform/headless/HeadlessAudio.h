#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"
#include "platform/Wave.h"

namespace qov {

// Milliseconds of the headless platform's virtual clock.
using VirtualClock = std::function<std::uint64_t()>;

// The music device of the headless platform: it keeps every command string and models the
// multimedia device's states (closed, stopped, playing) without making a sound.
class HeadlessMusicDevice final : public MusicDevice {
 public:
  enum class State { Closed, Stopped, Playing };

  // Music files are looked up in `searchDirs` in order (the current directory first, then
  // the game directory).
  HeadlessMusicDevice(std::vector<std::filesystem::path> searchDirs, VirtualClock clock);

  bool send(std::string_view command, std::string* answer = nullptr) override;
  // The time left of a playing piece of known length.
  [[nodiscard]] std::optional<std::chrono::milliseconds> playingFor() override;

  // Every command string sent, in order.
  [[nodiscard]] const std::vector<std::string>& commands() const { return commands_; }
  [[nodiscard]] State state();
  // The file of the open device; empty when closed.
  [[nodiscard]] const std::filesystem::path& openFile() const { return file_; }
  // The playing piece reaches its end now.
  void endPiece();
  // A playing piece reaches its end after this many virtual milliseconds of playing; without
  // a length it plays until endPiece().
  void setPieceLength(std::optional<std::uint64_t> ms) { length_ = ms; }
  // For each time the piece started again from its start after reaching its end: the virtual
  // milliseconds of silence in between.
  [[nodiscard]] const std::vector<std::uint64_t>& restartGaps() const { return gaps_; }

 private:
  void update();
  bool execute(std::string_view command, std::string& answer);

  std::vector<std::filesystem::path> searchDirs_;
  VirtualClock clock_;
  std::vector<std::string> commands_;
  State state_ = State::Closed;
  std::filesystem::path file_;
  std::optional<std::uint64_t> length_;
  std::uint64_t position_ = 0;            // played milliseconds, as of playStart_
  std::uint64_t playStart_ = 0;           // clock when playing began
  std::optional<std::uint64_t> endedAt_;  // when the piece last reached its end
  std::vector<std::uint64_t> gaps_;
};

// The sound effects of the headless platform: a log of calls, and a sound that lasts as long
// as its wave file says (data size / byte rate) on the virtual clock.
class HeadlessSoundOutput final : public SoundOutput {
 public:
  enum class Call { Play, PlayDefault, Stop };
  struct Entry {
    Call call = Call::Play;
    std::filesystem::path file;  // as passed to play()
    bool loop = false;
    bool ok = true;        // what play() returned
    std::uint64_t at = 0;  // virtual time of the call
  };

  HeadlessSoundOutput(std::vector<std::filesystem::path> searchDirs, VirtualClock clock);

  bool play(const std::filesystem::path& file, bool loop) override;
  void playDefault() override;
  [[nodiscard]] bool playing() const override;
  void stop() override;

  [[nodiscard]] const std::vector<Entry>& log() const { return log_; }
  // When the sound now playing ends on the virtual clock; nullopt when none plays or it loops.
  [[nodiscard]] std::optional<std::uint64_t> endTime() const;

  static constexpr std::uint64_t kDefaultSoundMs = 200;

 private:
  // The length of a wave file that plays; nullopt, after a warning, for one that does not.
  std::optional<std::uint64_t> playableLength(const std::filesystem::path& file);

  std::vector<std::filesystem::path> searchDirs_;
  VirtualClock clock_;
  std::vector<Entry> log_;
  EffectWarnings warnings_;
  bool active_ = false;
  bool looping_ = false;
  std::uint64_t end_ = 0;
};

// The length in milliseconds of a wave file (RIFF "WAVE" with "fmt " and "data" chunks, pad
// bytes after odd chunks present or not); nullopt when the bytes are not one.
[[nodiscard]] std::optional<std::uint64_t> waveDurationMs(std::span<const std::uint8_t> bytes);

}  // namespace qov
