#include "platform/audio/SdlAudio.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <optional>
#include <span>
#include <string>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

#include "platform/Files.h"
#include "platform/Wave.h"
#include "platform/audio/AudioIdle.h"
#include "platform/audio/FluidMusic.h"
#include "platform/audio/Synthesizer.h"

namespace qov {

namespace {

// The rate asked for when the device does not say which it prefers.
constexpr int kDefaultRate = 44100;
constexpr int kChannels = 2;
constexpr int kEffectChannel = 0;
constexpr int kBeepChannel = 1;
// The volumes of the mix, all in one place (mixLevels). Headroom: music and an effect at full
// level together would clip.
constexpr int kMusicVolume = MIX_MAX_VOLUME * 60 / 100;
constexpr int kEffectVolume = MIX_MAX_VOLUME * 70 / 100;
// Blocks of silence after the last sound before the audio thread rests: more than the device
// and the sound server keep in their buffers, so the last sound is heard whole.
constexpr int kQuietBlocks = 4;

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
  Tone(int rate, std::initializer_list<Note> notes) {
    for (const Note& note : notes) {
      const int count = rate * note.ms / 1000;
      for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate;
        // A quick attack and an exponential decay: a struck, bell-like note without clicks.
        const double attack = std::min(1.0, i / (0.004 * rate));
        const double release = std::min(1.0, (count - i) / (0.008 * rate));
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

// The music device while there is no audio output: no piece ever opens.
class SilentMusic final : public MusicDevice {
 public:
  bool send(std::string_view /*command*/, std::string* answer) override {
    if (answer) answer->clear();
    return false;
  }
};

// What the audio thread reads besides the mixer's own state.
struct AudioThread {
  AudioIdle idle{kQuietBlocks};
  FluidMusic* music = nullptr;
  bool musicSounded = false;  // in the block being mixed
};

// The mixer's callback begins with the music: the thread rests there while nothing sounds,
// and the music of the block that wakes it is heard in that very block.
void renderMusic(void* data, Uint8* stream, int length) {
  auto& thread = *static_cast<AudioThread*>(data);
  thread.idle.restWhileQuiet();
  thread.musicSounded = thread.music->render(
      std::span(reinterpret_cast<std::int16_t*>(stream), static_cast<std::size_t>(length) / 2));
}

void blockMixed(void* data, Uint8* /*stream*/, int /*length*/) {
  auto& thread = *static_cast<AudioThread*>(data);
  thread.idle.blockDone(thread.musicSounded || Mix_Playing(-1) > 0);
}

// The music device of the mixer: FluidSynth's, waking the audio thread for every command that
// may make it sound.
class MixedMusic final : public MusicDevice {
 public:
  MixedMusic(std::unique_ptr<FluidMusic> music, AudioIdle& idle)
      : music_(std::move(music)), idle_(idle) {}

  bool send(std::string_view command, std::string* answer) override {
    const bool ok = music_->send(command, answer);
    if (ok && command != "status bg mode") idle_.wake();
    return ok;
  }
  std::optional<std::chrono::milliseconds> playingFor() override { return music_->playingFor(); }
  [[nodiscard]] FluidMusic& fluid() { return *music_; }

 private:
  std::unique_ptr<FluidMusic> music_;
  AudioIdle& idle_;
};

// One channel of effects over the music.
class SdlSound final : public SoundOutput {
 public:
  SdlSound(bool enabled, int rate, const std::vector<std::filesystem::path>& searchDirs,
           AudioIdle& idle)
      : enabled_(enabled), searchDirs_(searchDirs), idle_(idle) {
    if (enabled_)
      defaultSound_.emplace(rate, std::initializer_list<Tone::Note>{{659.3, 90}, {880.0, 140}});
  }
  ~SdlSound() override {
    const AudioIdle::Awake awake(idle_);
    release();
  }
  SdlSound(const SdlSound&) = delete;
  SdlSound& operator=(const SdlSound&) = delete;

  bool play(const std::filesystem::path& file, bool loop) override {
    if (!enabled_) return false;
    // Read and decoded before the mixer is touched: the audio thread, woken for the effect,
    // runs on silence only as long as it takes to start it.
    Mix_Chunk* next = nullptr;
    std::optional<std::filesystem::path> path = file;
    if (!file.has_parent_path()) path = findIn(searchDirs_, file.string());
    if (path) {
      if (const auto bytes = readFile(*path)) {
        next = load(*bytes);
        if (!next) warnings_.warn(*path, Mix_GetError());
      } else {
        warnings_.warn(*path, "it cannot be read");
      }
    }
    const AudioIdle::Awake awake(idle_);
    release();  // also when the new one cannot play
    if (!next) return false;
    chunk_ = next;
    return Mix_PlayChannel(kEffectChannel, chunk_, loop ? -1 : 0) == kEffectChannel;
  }

  void playDefault() override {
    if (!enabled_) return;
    const AudioIdle::Awake awake(idle_);
    release();
    if (defaultSound_ && defaultSound_->chunk())
      Mix_PlayChannel(kEffectChannel, defaultSound_->chunk(), 0);
  }

  [[nodiscard]] bool playing() const override {
    return enabled_ && Mix_Playing(kEffectChannel) != 0;
  }

  void stop() override {
    if (!enabled_) return;
    const AudioIdle::Awake awake(idle_);
    release();
  }

 private:
  // The mixer decodes the whole file into a chunk of its own, so the bytes may go afterwards.
  static Mix_Chunk* load(std::span<const std::uint8_t> file) {
    const std::vector<std::uint8_t> bytes = padWaveChunks(file);
    if (bytes.size() > static_cast<std::size_t>(INT32_MAX)) return nullptr;
    SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    return rw ? Mix_LoadWAV_RW(rw, 1) : nullptr;
  }

  // Stops the channel before its sound is freed: the mixer reads it until then.
  void release() {
    if (!enabled_) return;
    Mix_HaltChannel(kEffectChannel);
    if (chunk_) Mix_FreeChunk(chunk_);
    chunk_ = nullptr;
  }

  bool enabled_;
  const std::vector<std::filesystem::path>& searchDirs_;
  AudioIdle& idle_;  // every call into the mixer keeps the audio thread awake
  Mix_Chunk* chunk_ = nullptr;
  std::optional<Tone> defaultSound_;
  EffectWarnings warnings_;
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

// The General MIDI soundfont: the first file of SDL_SOUNDFONTS (paths separated by ';') that
// exists, or else one of the Debian packages'. `problem` says what keeps the music silent.
struct SoundFontChoice {
  std::optional<std::filesystem::path> file;
  std::string problem;
};

SoundFontChoice chooseSoundFont() {
  if (const char* env = std::getenv("SDL_SOUNDFONTS"); env && *env) {
    std::string_view paths = env;
    while (!paths.empty()) {
      const std::size_t end = std::min(paths.find(';'), paths.size());
      const std::string candidate(paths.substr(0, end));
      if (fileExists(candidate)) return {candidate, {}};
      paths.remove_prefix(std::min(end + 1, paths.size()));
    }
    return {std::nullopt, "SDL_SOUNDFONTS names no soundfont file that exists"};
  }
  for (const char* candidate : kSoundFonts) {
    if (fileExists(candidate)) return {candidate, {}};
  }
  return {std::nullopt,
          "no General MIDI soundfont found (package timgm6mb-soundfont, or set SDL_SOUNDFONTS)"};
}

// The rate the output device prefers, so that neither the synthesizer's sound nor the mix is
// converted on its way out.
int preferredRate() {
  SDL_AudioSpec device{};
  if (SDL_GetDefaultAudioInfo(nullptr, &device, 0) == 0 && device.freq >= 8000 &&
      device.freq <= 192000) {
    return device.freq;
  }
  return kDefaultRate;
}

// About 23 ms of sound a block at 44.1 or 48 kHz: few wake-ups of the audio thread, and a
// margin against gaps on a busy machine.
int blockSamples(int rate) {
  return rate > 64000 ? 2048 : rate > 32000 ? 1024 : 512;
}

}  // namespace

MixLevels mixLevels(int overall, int musicPercent, int effectsPercent) {
  const auto percent = [](int p) { return std::clamp(p, 0, 100); };
  const int o = percent(overall);
  MixLevels levels;
  levels.music =
      static_cast<double>(kMusicVolume) * o * percent(musicPercent) / 10000 / MIX_MAX_VOLUME;
  levels.effects = kEffectVolume * o * percent(effectsPercent) / 10000;
  levels.beep = kEffectVolume * o / 100;
  return levels;
}

struct SdlAudio::Impl {
  explicit Impl(std::vector<std::filesystem::path> dirs) : searchDirs(std::move(dirs)) {
    const AudioIdle::Awake awake(thread.idle);
    enabled = openDevice();
    sound.emplace(enabled, rate, searchDirs, thread.idle);
    if (!enabled) {
      music = std::make_unique<SilentMusic>();
      return;
    }
    beepTone.emplace(rate, std::initializer_list<Tone::Note>{{1000.0, 150}});
    // The synthesizer starts loading now, off the window's thread.
    const SoundFontChoice soundFont = chooseSoundFont();
    if (!soundFont.file) {
      std::fprintf(stderr, "qov: %s; the music stays silent\n", soundFont.problem.c_str());
    }
    auto fluid = std::make_unique<FluidMusic>(
        [rate = rate, file = soundFont.file, &log = fluidLog] {
          auto synth = Synthesizer::create(rate);
          if (!synth) {
            std::fprintf(stderr, "qov: FluidSynth cannot start; the music stays silent\n");
          } else if (file) {
            log.setSubject(file->string());
            if (!synth->loadSoundFont(*file)) {
              std::fprintf(stderr,
                           "qov: the soundfont \"%s\" cannot be loaded; the music stays silent\n",
                           file->c_str());
            }
          }
          return synth;
        },
        [this](std::string_view name) { return findIn(searchDirs, name); }, rate,
        static_cast<double>(kMusicVolume) / MIX_MAX_VOLUME, &fluidLog);
    thread.music = fluid.get();
    Mix_HookMusic(&renderMusic, &thread);
    Mix_SetPostMix(&blockMixed, &thread);
    fluidMusic = fluid.get();
    music = std::make_unique<MixedMusic>(std::move(fluid), thread.idle);
    applyVolume();
  }
  ~Impl() {
    const AudioIdle::Awake awake(thread.idle);
    if (enabled) {
      // The audio thread lets go of the music.
      Mix_HookMusic(nullptr, nullptr);
      Mix_SetPostMix(nullptr, nullptr);
    }
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

  bool openDevice() {
    std::optional<std::string> failure;
    {
      const QuietStandardError quiet;
      if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        failure = SDL_GetError();
      } else {
        const int wanted = preferredRate();
        if (Mix_OpenAudioDevice(wanted, AUDIO_S16SYS, kChannels, blockSamples(wanted), nullptr,
                                SDL_AUDIO_ALLOW_FREQUENCY_CHANGE) != 0) {
          failure = Mix_GetError();
          SDL_QuitSubSystem(SDL_INIT_AUDIO);
        } else {
          Uint16 format = 0;
          int channels = 0;
          (void)Mix_QuerySpec(&rate, &format, &channels);
        }
      }
    }
    if (failure) {
      Mix_Quit();
      std::fprintf(stderr, "qov: no audio output (%s); the game runs without sound\n",
                   failure->c_str());
      return false;
    }
    Mix_AllocateChannels(2);
    return true;
  }

  // The one place where the levels are set: music and effects at their own level, times the
  // player's overall volume.
  void applyVolume() {
    if (!enabled) return;
    const AudioIdle::Awake awake(thread.idle);
    const MixLevels levels = mixLevels(volume, musicShare, effectsShare);
    if (fluidMusic != nullptr) fluidMusic->setLevel(levels.music);
    Mix_Volume(kEffectChannel, levels.effects);
    Mix_Volume(kBeepChannel, levels.beep);
  }

  AudioThread thread;  // first made, last gone: the audio thread reads it until the device closes
  std::vector<std::filesystem::path> searchDirs;
  FluidLog fluidLog;
  bool enabled = false;
  int rate = kDefaultRate;
  int volume = 100;  // the player's overall volume, %
  int musicShare = 100;
  int effectsShare = 100;
  std::optional<bool> soundFontFailed;  // a change that could not even start, untold
  std::unique_ptr<MusicDevice> music;
  FluidMusic* fluidMusic = nullptr;  // the music, when it sounds
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

void SdlAudio::setVolume(int percent) {
  impl_->volume = std::clamp(percent, 0, 100);
  impl_->applyVolume();
}

void SdlAudio::setMixLevels(int musicPercent, int effectsPercent) {
  impl_->musicShare = std::clamp(musicPercent, 0, 100);
  impl_->effectsShare = std::clamp(effectsPercent, 0, 100);
  impl_->applyVolume();
}

void SdlAudio::loadSoundFont(const std::filesystem::path& file) {
  std::optional<std::filesystem::path> chosen = file;
  if (file.empty()) chosen = chooseSoundFont().file;
  if (!chosen || impl_->fluidMusic == nullptr) {
    impl_->soundFontFailed = false;
    return;
  }
  impl_->fluidMusic->changeSoundFont(*chosen);
}

std::optional<bool> SdlAudio::soundFontLoaded() {
  if (impl_->soundFontFailed) return std::exchange(impl_->soundFontFailed, std::nullopt);
  return impl_->fluidMusic != nullptr ? impl_->fluidMusic->soundFontChanged() : std::nullopt;
}

void SdlAudio::beep() {
  if (!impl_->enabled || !impl_->beepTone || !impl_->beepTone->chunk()) return;
  const AudioIdle::Awake awake(impl_->thread.idle);
  if (Mix_PlayChannel(kBeepChannel, impl_->beepTone->chunk(), 0) != kBeepChannel) return;
  // A device that has stopped taking sound must not keep the program from ending.
  const Uint64 giveUp = SDL_GetTicks64() + 1000;
  while (Mix_Playing(kBeepChannel) && SDL_GetTicks64() < giveUp) SDL_Delay(5);
  // The last samples are still in the device's buffer when the channel ends.
  SDL_Delay(static_cast<Uint32>(1000 * blockSamples(impl_->rate) / impl_->rate * 2));
}

int SdlAudio::audioRests() const {
  return impl_->thread.idle.rests();
}

bool SdlAudio::audioResting() const {
  return impl_->thread.idle.resting();
}

}  // namespace qov
