#include "platform/audio/FluidMusic.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/Files.h"
#include "platform/audio/MidiFile.h"

namespace qov {

namespace {

// How long the synthesizer keeps running after the last voice has ended: the reverb's tail.
constexpr int kTailSeconds = 3;
// The most the audio thread synthesises in one go under the lock.
constexpr std::int64_t kSliceFrames = 256;

}  // namespace

FluidMusic::FluidMusic(SynthLoader loader, FindFile find, int sampleRate, double level,
                       FluidLog* log)
    : find_(std::move(find)),
      sampleRate_(sampleRate),
      log_(log),
      loading_(std::async(std::launch::async, std::move(loader))),
      level_(level) {}

FluidMusic::~FluidMusic() {
  if (changing_.valid()) changing_.wait();
  const std::lock_guard lock(mutex_);
  close();
}

bool FluidMusic::send(std::string_view command, std::string* answer) {
  if (answer) answer->clear();
  constexpr std::string_view kOpen = "open ";
  constexpr std::string_view kAlias = " alias bg";
  if (command.starts_with(kOpen) && command.ends_with(kAlias) &&
      command.size() > kOpen.size() + kAlias.size()) {
    return open(command.substr(kOpen.size(), command.size() - kOpen.size() - kAlias.size()));
  }
  const std::lock_guard lock(mutex_);
  (void)adopt();
  if (!open_) return false;  // no device open under that alias
  if (command == "play bg") return play();
  if (command == "stop bg") return stop();
  if (command == "close bg") {
    close();
    return true;
  }
  if (command == "seek bg to start") return seekToStart();
  if (command == "status bg mode") {
    if (answer) *answer = status();
    return true;
  }
  return false;
}

bool FluidMusic::open(std::string_view name) {
  {
    const std::lock_guard lock(mutex_);
    if (open_) return false;  // one device under "bg"
  }
  // The file is read and checked without the lock, so the audio thread never waits for it.
  const auto path = find_(name);
  if (!path) return false;  // a missing file fails silently
  const auto bytes = readFile(*path);
  if (!bytes) {
    warn(*path, "it cannot be read");
    return false;
  }
  MidiPreparation prepared = prepareMidi(*bytes);
  if (!prepared.piece) {
    warn(*path, prepared.problem);
    return false;
  }
  const std::lock_guard lock(mutex_);
  if (log_) log_->setSubject(path->string());
  open_ = true;
  file_ = *path;
  smf_ = std::move(prepared.piece->smf);
  endFrame_ = prepared.piece->length.count() * sampleRate_ / 1000000;
  mode_ = Mode::Stopped;
  position_ = 0;
  seekAtEnd_ = playAfterSeek_ = false;
  if (adopt()) startPlayer();
  return true;
}

void FluidMusic::warn(const std::filesystem::path& file, const std::string& why) {
  const std::lock_guard lock(mutex_);
  if (!warned_.insert(file.string()).second) return;
  std::fprintf(stderr, "qov: music file \"%s\" cannot be played: %s\n", file.c_str(), why.c_str());
}

bool FluidMusic::adopt() {
  if (synth_) return true;
  if (!loading_.valid() ||
      loading_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
    return false;
  }
  try {
    synth_ = loading_.get();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "qov: the synthesizer cannot start (%s); the music stays silent\n",
                 e.what());
  }
  if (!synth_) return false;
  synth_->setLevel(level_);
  if (open_) startPlayer();
  return true;
}

void FluidMusic::startPlayer() {
  if (player_ || !synth_) return;
  fluid_synth_t* synth = synth_->get();
  fluid_synth_system_reset(synth);  // each piece starts on a synthesizer as fresh as the first
  player_.reset(new_fluid_player(synth));
  if (!player_) return;
  if (fluid_player_add_mem(player_.get(), smf_.data(), smf_.size()) != FLUID_OK) {
    player_.reset();
    return;
  }
  smf_ = {};
  ++playersMade_;
  if (position_ > 0) fluid_player_seek(player_.get(), 0);
  if (mode_ == Mode::Playing) fluid_player_play(player_.get());
}

bool FluidMusic::play() {
  if (mode_ == Mode::AtEnd) return true;  // nothing left to play until a seek
  if (mode_ == Mode::Playing) {
    if (seekAtEnd_) playAfterSeek_ = true;
    return true;
  }
  mode_ = Mode::Playing;
  if (player_) fluid_player_play(player_.get());
  return true;
}

bool FluidMusic::stop() {
  const bool rewind = seekAtEnd_;
  seekAtEnd_ = playAfterSeek_ = false;
  if (mode_ == Mode::Playing) {
    if (player_) fluid_player_stop(player_.get());
    mode_ = Mode::Stopped;
  }
  if (rewind) {
    position_ = 0;
    if (player_) fluid_player_seek(player_.get(), 0);
  }
  return true;
}

bool FluidMusic::seekToStart() {
  if (mode_ == Mode::Playing && (seekAtEnd_ || nearEnd())) {
    // The end comes with the next block of sound: the seek waits for it, so that not one
    // sample of the piece is lost and not one of silence is added.
    seekAtEnd_ = true;
    playAfterSeek_ = false;
    return true;
  }
  if (mode_ == Mode::Playing && player_) fluid_player_stop(player_.get());
  mode_ = Mode::Stopped;
  position_ = 0;
  if (player_) fluid_player_seek(player_.get(), 0);
  return true;
}

void FluidMusic::close() {
  if (!open_) return;
  player_.reset();  // never while render() synthesises: both hold mutex_
  if (synth_) fluid_synth_all_sounds_off(synth_->get(), -1);
  open_ = false;
  file_.clear();
  smf_ = {};
  mode_ = Mode::Stopped;
  position_ = endFrame_ = 0;
  seekAtEnd_ = playAfterSeek_ = false;
}

bool FluidMusic::nearEnd() const {
  return player_ && endFrame_ - position_ <= blockFrames_;
}

std::optional<std::chrono::milliseconds> FluidMusic::playingFor() {
  const std::lock_guard lock(mutex_);
  if (mode_ != Mode::Playing || !player_ || seekAtEnd_ || blockFrames_ == 0) return std::nullopt;
  // "stopped" comes once the end falls within the next block. The audio thread takes a block
  // at a time and not always on the beat: two blocks more of margin keep the restart on the
  // end's sample.
  const std::int64_t frames = endFrame_ - position_ - 3 * blockFrames_;
  return std::chrono::milliseconds(std::max<std::int64_t>(0, frames) * 1000 / sampleRate_);
}

const char* FluidMusic::status() const {
  if (!player_ && mode_ == Mode::Playing) return "not ready";  // the synthesizer still loads
  if (mode_ != Mode::Playing) return "stopped";
  if (seekAtEnd_) return playAfterSeek_ ? "playing" : "stopped";
  // A piece whose end falls in the next block of sound is as good as ended: no command can
  // take effect before that block.
  return nearEnd() ? "stopped" : "playing";
}

void FluidMusic::restartAtEnd() {
  seekAtEnd_ = false;
  position_ = 0;
  if (playAfterSeek_) {
    fluid_player_seek(player_.get(), 0);
  } else {
    fluid_player_stop(player_.get());
    fluid_player_seek(player_.get(), 0);
    mode_ = Mode::Stopped;
  }
  playAfterSeek_ = false;
}

void FluidMusic::changeSoundFont(std::filesystem::path file) {
  // A change asked for while one runs follows it.
  changing_ = std::async(std::launch::async,
                         [this, file = std::move(file), before = std::move(changing_)]() mutable {
                           if (before.valid()) before.wait();
                           return replaceSoundFont(file);
                         });
}

std::optional<bool> FluidMusic::soundFontChanged() {
  if (!changing_.valid() ||
      changing_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
    return std::nullopt;
  }
  return changing_.get();
}

bool FluidMusic::replaceSoundFont(const std::filesystem::path& file) {
  Synthesizer* synth = nullptr;
  for (;;) {
    {
      const std::lock_guard lock(mutex_);
      if (adopt()) {
        synth = synth_.get();
        break;
      }
      if (!loading_.valid()) return false;  // no synthesizer to load it into
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (log_) log_->setSubject(file.string());
  // Not under the lock: the audio thread goes on with the old sounds while the file is read.
  return synth->replaceSoundFont(file);
}

bool FluidMusic::ready() {
  const std::lock_guard lock(mutex_);
  return adopt();
}

void FluidMusic::setLevel(double level) {
  const std::lock_guard lock(mutex_);
  level_ = level;
  if (synth_) synth_->setLevel(level);
}

bool FluidMusic::render(std::span<std::int16_t> out) {
  const auto frames = static_cast<std::int64_t>(out.size() / 2);
  bool restarted = false;
  // In slices, each under the lock: a command from the window's thread waits for one slice at
  // most, not for the whole block.
  for (std::int64_t done = 0; done < frames; done += kSliceFrames) {
    const std::int64_t n = std::min(kSliceFrames, frames - done);
    if (!renderSlice(
            out.subspan(static_cast<std::size_t>(2 * done), static_cast<std::size_t>(2 * n)),
            frames, restarted)) {
      std::fill(out.begin() + 2 * done, out.end(), std::int16_t{0});
      // A piece waiting for the synthesizer to load keeps the audio thread going.
      const std::lock_guard lock(mutex_);
      return done > 0 || (open_ && mode_ == Mode::Playing);
    }
  }
  return true;
}

bool FluidMusic::renderSlice(std::span<std::int16_t> out, std::int64_t blockFrames,
                             bool& restarted) {
  const std::lock_guard lock(mutex_);
  const auto frames = static_cast<std::int64_t>(out.size() / 2);
  blockFrames_ = blockFrames;
  if (!adopt()) return false;
  fluid_synth_t* synth = synth_->get();
  const bool playing = mode_ == Mode::Playing && player_;
  // Silence costs nothing: the synthesizer rests once no piece plays and its last sound,
  // reverb included, has died away.
  if (playing || fluid_synth_get_active_voice_count(synth) > 0) {
    quietFrames_ = 0;
  } else if (quietFrames_ > std::int64_t{kTailSeconds} * sampleRate_) {
    return false;
  } else {
    quietFrames_ += frames;
  }
  std::int64_t done = 0;
  while (done < frames) {
    std::int64_t n = frames - done;
    if (mode_ == Mode::Playing && player_) {
      const std::int64_t left = endFrame_ - position_;
      if (left <= 0) {
        // At most one restart a block: a piece of no length loops without spinning.
        if (seekAtEnd_ && !restarted) {
          restarted = true;
          restartAtEnd();
        } else {
          fluid_player_stop(player_.get());
          mode_ = Mode::AtEnd;
          seekAtEnd_ = playAfterSeek_ = false;
        }
        continue;
      }
      n = std::min(n, left);
      position_ += n;
    }
    fluid_synth_write_s16(synth, static_cast<int>(n), out.data() + 2 * done, 0, 2,
                          out.data() + 2 * done, 1, 2);
    done += n;
  }
  return true;
}

}  // namespace qov
