#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"
#include "platform/audio/Synthesizer.h"

namespace qov {

// The background-music device "bg" on one FluidSynth synthesizer for the program's life.
//
// The synthesizer and its soundfont are made by `loader` on a thread of their own, started
// with the device; no command waits for it: a piece opened before it is ready starts playing
// once it is ("status bg mode" answers "not ready" until then). Each opened piece gets a player of
// its own; "seek bg to start" rewinds that player. The audio thread calls render(), which plays the
// piece up to its length from our own tempo map and stops it there; a restart asked for just before
// the end (the loop's "seek" and "play" after "status" said "stopped") begins on the sample where
// the piece ends.
class FluidMusic final : public MusicDevice {
 public:
  // Finds a music file named by a script; nullopt when there is none.
  using FindFile = std::function<std::optional<std::filesystem::path>(std::string_view)>;

  // `level`: the music's volume, 0 to 1. `log` (may be null) decides which lines reach
  // standard error.
  FluidMusic(SynthLoader loader, FindFile find, int sampleRate, double level, FluidLog* log);
  ~FluidMusic() override;
  FluidMusic(const FluidMusic&) = delete;
  FluidMusic& operator=(const FluidMusic&) = delete;

  bool send(std::string_view command, std::string* answer = nullptr) override;
  // Counted from the frames the audio thread has taken, less a margin for its timing.
  [[nodiscard]] std::optional<std::chrono::milliseconds> playingFor() override;

  // The audio thread: fills `out` with interleaved stereo frames of the music alone. False
  // when `out` is silence and stays so until a command: the synthesizer rests.
  bool render(std::span<std::int16_t> out);
  // The music's volume from now on, 0 to 1.
  void setLevel(double level);

  // Loads the soundfont `file` in place of the one in use on a thread of its own, once the
  // synthesizer is ready; the music plays on meanwhile, with the old sounds if it fails.
  void changeSoundFont(std::filesystem::path file);
  // How the last change ended, once; nullopt while it runs or when told already.
  [[nodiscard]] std::optional<bool> soundFontChanged();

  // Whether the synthesizer has been made and taken over (a command or render() takes it).
  [[nodiscard]] bool ready();
  // How many players have been made: one for each piece that started.
  [[nodiscard]] int playersMade() const { return playersMade_; }

 private:
  enum class Mode { Stopped, Playing, AtEnd };
  struct PlayerDeleter {
    void operator()(fluid_player_t* player) const { delete_fluid_player(player); }
  };
  using PlayerPtr = std::unique_ptr<fluid_player_t, PlayerDeleter>;

  bool open(std::string_view name);
  bool play();
  bool stop();
  bool seekToStart();
  void close();
  [[nodiscard]] const char* status() const;
  // Takes the synthesizer over when it is ready; the caller holds mutex_.
  bool adopt();
  void startPlayer();
  [[nodiscard]] bool nearEnd() const;
  void restartAtEnd();
  // One slice of a block of `blockFrames`; false when the rest of the block stays silent.
  bool renderSlice(std::span<std::int16_t> out, std::int64_t blockFrames, bool& restarted);
  void warn(const std::filesystem::path& file, const std::string& why);
  bool replaceSoundFont(const std::filesystem::path& file);

  FindFile find_;
  const int sampleRate_;
  FluidLog* log_;
  std::future<std::unique_ptr<Synthesizer>> loading_;
  std::future<bool> changing_;  // of the window's thread only

  mutable std::mutex mutex_;  // everything below; render() holds it while it synthesises
  std::unique_ptr<Synthesizer> synth_;
  double level_;
  bool open_ = false;
  std::filesystem::path file_;
  std::vector<std::uint8_t> smf_;  // until the player has it
  std::int64_t endFrame_ = 0;      // the piece's length in frames
  PlayerPtr player_;
  Mode mode_ = Mode::Stopped;
  std::int64_t position_ = 0;  // frames of the piece played
  // A seek asked for just before the end: done on the end's sample, then playing if `play`
  // followed it.
  bool seekAtEnd_ = false;
  bool playAfterSeek_ = false;
  std::int64_t blockFrames_ = 0;  // the audio thread's last request
  std::int64_t quietFrames_ = 0;  // frames rendered since a voice last sounded
  std::atomic<int> playersMade_ = 0;
  std::set<std::string> warned_;  // files already named on standard error
};

}  // namespace qov
