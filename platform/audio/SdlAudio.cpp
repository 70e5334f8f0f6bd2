#include "platform/audio/SdlAudio.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <optional>
#include <string>

#include <fcntl.h>
#include <unistd.h>

#include "platform/Files.h"
#include "platform/audio/MidiLength.h"

namespace qov {

namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr int kChunkSamples = 1024;
constexpr int kEffectChannel = 0;
constexpr int kBeepChannel = 1;
// Headroom: music and an effect at full level together would clip.
constexpr int kMusicVolume = MIX_MAX_VOLUME * 60 / 100;
constexpr int kEffectVolume = MIX_MAX_VOLUME * 70 / 100;

const char* const kSoundFonts[] = {
    "/usr/share/sounds/sf2/TimGM6mb.sf2",
    "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
};

std::optional<std::filesystem::path> findIn(const std::vector<std::filesystem::path>& dirs,
                                            std::string_view name) {
  for (const auto& dir : dirs) {
    if (auto found = findFile(dir, name)) return found;
  }
  return std::nullopt;
}

// A sound of ours, synthesised in the output format (signed 16 bits, stereo).
class Tone {
 public:
  struct Note {
    double hz;
    int ms;
  };
  explicit Tone(std::initializer_list<Note> notes) {
    for (const Note& note : notes) {
      const int count = kRate * note.ms / 1000;
      for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kRate;
        // A quick attack and an exponential decay: a struck, bell-like note without clicks.
        const double attack = std::min(1.0, i / (0.004 * kRate));
        const double release = std::min(1.0, (count - i) / (0.008 * kRate));
        const double envelope = attack * release * std::exp(-t * 9.0);
        const double value = 0.45 * envelope *
                             (std::sin(2 * std::numbers::pi * note.hz * t) +
                              0.25 * std::sin(4 * std::numbers::pi * note.hz * t));
        const auto sample = static_cast<Sint16>(std::lround(value * 32767 / 1.25));
        samples_.push_back(sample);
        samples_.push_back(sample);
      }
    }
    chunk_ = Mix_QuickLoad_RAW(reinterpret_cast<Uint8*>(samples_.data()),
                               static_cast<Uint32>(samples_.size() * sizeof(Sint16)));
  }
  ~Tone() {
    if (chunk_) Mix_FreeChunk(chunk_);
  }
  Tone(const Tone&) = delete;
  Tone& operator=(const Tone&) = delete;
  [[nodiscard]] Mix_Chunk* chunk() const { return chunk_; }

 private:
  std::vector<Sint16> samples_;
  Mix_Chunk* chunk_ = nullptr;
};

using Clock = std::chrono::steady_clock;

// The background-music device: one piece, open under the alias "bg". Its position is kept
// from the clock and the file's own length, since the synthesizer reports the end late.
class SdlMusic final : public MusicDevice {
 public:
  SdlMusic(bool enabled, const std::vector<std::filesystem::path>& searchDirs)
      : enabled_(enabled), searchDirs_(searchDirs) {}
  ~SdlMusic() override { close(); }
  SdlMusic(const SdlMusic&) = delete;
  SdlMusic& operator=(const SdlMusic&) = delete;

  bool send(std::string_view command, std::string* answer) override {
    if (answer) answer->clear();
    constexpr std::string_view kOpen = "open ";
    constexpr std::string_view kAlias = " alias bg";
    if (command.starts_with(kOpen) && command.ends_with(kAlias) &&
        command.size() > kOpen.size() + kAlias.size()) {
      return open(command.substr(kOpen.size(), command.size() - kOpen.size() - kAlias.size()));
    }
    if (!music_) return false;  // no device open under that alias
    if (command == "play bg") return play();
    if (command == "stop bg") return stop();
    if (command == "close bg") {
      close();
      return true;
    }
    if (command == "seek bg to start") return seekToStart();
    if (command == "status bg mode") {
      if (answer) *answer = playing() ? "playing" : "stopped";
      return true;
    }
    return false;
  }

 private:
  bool open(std::string_view name) {
    if (!enabled_ || music_) return false;
    const auto path = findIn(searchDirs_, name);
    if (!path) return false;
    auto bytes = readFile(*path);
    if (!bytes) return false;
    bytes_ = std::move(*bytes);
    music_ = load();
    if (!music_) return false;
    length_ = midiLength(bytes_);
    fresh_ = true;
    position_ = Clock::duration::zero();
    running_ = paused_ = atEnd_ = false;
    return true;
  }

  // A new player of the piece, at its start. The synthesizer cannot seek, so going back to the
  // start means a new player; one is kept ready so that a loop restarts without delay.
  [[nodiscard]] Mix_Music* load() const {
    if (bytes_.size() > static_cast<std::size_t>(INT32_MAX)) return nullptr;
    SDL_RWops* rw = SDL_RWFromConstMem(bytes_.data(), static_cast<int>(bytes_.size()));
    return rw ? Mix_LoadMUS_RW(rw, 1) : nullptr;
  }

  bool play() {
    if (running_) return true;
    if (atEnd_) return true;  // at the end there is nothing left to play until a seek
    if (paused_) {
      Mix_ResumeMusic();
    } else if (Mix_PlayMusic(music_, 0) != 0) {
      return false;
    } else {
      Mix_ResumeMusic();  // a pause of an earlier piece must not hold this one
    }
    startedAt_ = Clock::now() - position_;
    running_ = true;
    paused_ = false;
    fresh_ = false;
    if (!spare_) spare_ = load();  // while the piece already plays
    return true;
  }

  bool stop() {
    if (playing()) {
      Mix_PauseMusic();
      position_ = Clock::now() - startedAt_;
      running_ = false;
      paused_ = true;
    }
    return true;
  }

  bool seekToStart() {
    Mix_HaltMusic();
    if (!fresh_) {
      Mix_Music* next = spare_ ? spare_ : load();
      spare_ = nullptr;
      if (!next) {
        close();  // the piece can no longer be read: the device is gone
        return false;
      }
      Mix_FreeMusic(music_);
      music_ = next;
      fresh_ = true;
    }
    running_ = paused_ = atEnd_ = false;
    position_ = Clock::duration::zero();
    return true;
  }

  // Whether the piece still plays; notes its end when its last event has passed.
  bool playing() {
    if (!running_) return false;
    const auto elapsed = Clock::now() - startedAt_;
    if ((length_ && elapsed >= *length_) || !Mix_PlayingMusic()) {
      running_ = false;
      atEnd_ = true;
      position_ = elapsed;
    }
    return running_;
  }

  void close() {
    if (!music_) return;
    Mix_HaltMusic();
    Mix_FreeMusic(music_);
    if (spare_) Mix_FreeMusic(spare_);
    music_ = spare_ = nullptr;
    bytes_.clear();
    running_ = paused_ = atEnd_ = false;
  }

  bool enabled_;
  const std::vector<std::filesystem::path>& searchDirs_;
  std::vector<std::uint8_t> bytes_;  // the file, read once; players are made from it
  Mix_Music* music_ = nullptr;
  Mix_Music* spare_ = nullptr;
  bool fresh_ = false;  // music_ has not played since it was made
  std::optional<std::chrono::microseconds> length_;
  Clock::time_point startedAt_{};
  Clock::duration position_{};
  bool running_ = false;
  bool paused_ = false;
  bool atEnd_ = false;
};

// One channel of effects over the music.
class SdlSound final : public SoundOutput {
 public:
  SdlSound(bool enabled, const std::vector<std::filesystem::path>& searchDirs)
      : enabled_(enabled), searchDirs_(searchDirs) {
    if (enabled_)
      defaultSound_.emplace(std::initializer_list<Tone::Note>{{659.3, 90}, {880.0, 140}});
  }
  ~SdlSound() override { release(); }
  SdlSound(const SdlSound&) = delete;
  SdlSound& operator=(const SdlSound&) = delete;

  bool play(const std::filesystem::path& file, bool loop) override {
    if (!enabled_) return false;
    std::optional<std::filesystem::path> path = file;
    if (!file.has_parent_path()) path = findIn(searchDirs_, file.string());
    release();
    if (!path) return false;
    chunk_ = Mix_LoadWAV(path->string().c_str());
    if (!chunk_) return false;
    return Mix_PlayChannel(kEffectChannel, chunk_, loop ? -1 : 0) == kEffectChannel;
  }

  void playDefault() override {
    if (!enabled_) return;
    release();
    if (defaultSound_ && defaultSound_->chunk())
      Mix_PlayChannel(kEffectChannel, defaultSound_->chunk(), 0);
  }

  [[nodiscard]] bool playing() const override {
    return enabled_ && Mix_Playing(kEffectChannel) != 0;
  }

  void stop() override {
    if (enabled_) release();
  }

 private:
  // Stops the channel before its sound is freed: the mixer reads it until then.
  void release() {
    if (!enabled_) return;
    Mix_HaltChannel(kEffectChannel);
    if (chunk_) Mix_FreeChunk(chunk_);
    chunk_ = nullptr;
  }

  bool enabled_;
  const std::vector<std::filesystem::path>& searchDirs_;
  Mix_Chunk* chunk_ = nullptr;
  std::optional<Tone> defaultSound_;
};

// Keeps standard error quiet while the audio device opens: without a sound card the sound
// library prints lines of its own, and the player says it once, in its own words.
class QuietStandardError {
 public:
  QuietStandardError() {
    std::fflush(stderr);
    saved_ = ::dup(STDERR_FILENO);
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved_ >= 0 && null >= 0) (void)::dup2(null, STDERR_FILENO);
    if (null >= 0) ::close(null);
  }
  ~QuietStandardError() {
    std::fflush(stderr);
    if (saved_ >= 0) {
      (void)::dup2(saved_, STDERR_FILENO);
      ::close(saved_);
    }
  }
  QuietStandardError(const QuietStandardError&) = delete;
  QuietStandardError& operator=(const QuietStandardError&) = delete;

 private:
  int saved_ = -1;
};

bool fileExists(const std::string& path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_regular_file(path, error);
}

// Tells the synthesizer where the General MIDI sounds are, unless the environment already
// does. Mix_SetSoundFonts takes any path, and a piece then opens and plays in silence, so the
// file is checked here. Returns what keeps the music silent, if anything.
std::optional<std::string> chooseSoundFont() {
  if (const char* env = std::getenv("SDL_SOUNDFONTS"); env && *env) {
    std::string_view paths = env;
    while (!paths.empty()) {
      const std::size_t end = std::min(paths.find(';'), paths.size());
      if (fileExists(std::string(paths.substr(0, end)))) return std::nullopt;
      paths.remove_prefix(std::min(end + 1, paths.size()));
    }
    return "SDL_SOUNDFONTS names no soundfont file that exists";
  }
  for (const char* candidate : kSoundFonts) {
    if (fileExists(candidate)) {
      Mix_SetSoundFonts(candidate);
      return std::nullopt;
    }
  }
  return "no General MIDI soundfont found (package timgm6mb-soundfont, or set SDL_SOUNDFONTS)";
}

}  // namespace

struct SdlAudio::Impl {
  explicit Impl(std::vector<std::filesystem::path> dirs) : searchDirs(std::move(dirs)) {
    enabled = openDevice();
    music.emplace(enabled, searchDirs);
    sound.emplace(enabled, searchDirs);
    if (enabled) beepTone.emplace(std::initializer_list<Tone::Note>{{1000.0, 150}});
  }
  ~Impl() {
    beepTone.reset();
    sound.reset();
    music.reset();
    if (enabled) {
      Mix_CloseAudio();
      Mix_Quit();
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
  }
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;

  static bool openDevice() {
    const std::optional<std::string> soundFontProblem = chooseSoundFont();
    (void)Mix_Init(MIX_INIT_MID);
    std::optional<std::string> failure;
    {
      const QuietStandardError quiet;
      if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        failure = SDL_GetError();
      } else if (Mix_OpenAudioDevice(kRate, AUDIO_S16SYS, kChannels, kChunkSamples, nullptr, 0) !=
                 0) {
        failure = Mix_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
      }
    }
    if (failure) {
      Mix_Quit();
      std::fprintf(stderr, "qov: no audio output (%s); the game runs without sound\n",
                   failure->c_str());
      return false;
    }
    if (soundFontProblem) {
      std::fprintf(stderr, "qov: %s; the music stays silent\n", soundFontProblem->c_str());
    }
    Mix_AllocateChannels(2);
    Mix_VolumeMusic(kMusicVolume);
    Mix_Volume(-1, kEffectVolume);
    return true;
  }

  std::vector<std::filesystem::path> searchDirs;
  bool enabled = false;
  std::optional<SdlMusic> music;
  std::optional<SdlSound> sound;
  std::optional<Tone> beepTone;
};

SdlAudio::SdlAudio(std::vector<std::filesystem::path> searchDirs)
    : impl_(std::make_unique<Impl>(std::move(searchDirs))) {}

SdlAudio::~SdlAudio() = default;

MusicDevice& SdlAudio::music() {
  return *impl_->music;
}

SoundOutput& SdlAudio::sound() {
  return *impl_->sound;
}

void SdlAudio::beep() {
  if (!impl_->enabled || !impl_->beepTone || !impl_->beepTone->chunk()) return;
  if (Mix_PlayChannel(kBeepChannel, impl_->beepTone->chunk(), 0) != kBeepChannel) return;
  // A device that has stopped taking sound must not keep the program from ending.
  const Uint64 giveUp = SDL_GetTicks64() + 1000;
  while (Mix_Playing(kBeepChannel) && SDL_GetTicks64() < giveUp) SDL_Delay(5);
  // The last samples are still in the device's buffer when the channel ends.
  SDL_Delay(1000 * kChunkSamples / kRate * 2);
}

}  // namespace qov
