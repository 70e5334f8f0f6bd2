#pragma once

#include <filesystem>
#include <memory>
#include <vector>

#include "platform/Platform.h"

namespace qov {

// The real audio output: background MIDI music synthesised by FluidSynth and wave effects,
// mixed through SDL2_mixer (the music in its music hook, so effects keep their channel), and
// the system beep. Files named without a directory are looked up in `searchDirs` in
// order (the current directory first, then the game directory). If no audio device can be
// opened, the game runs silently after one warning on standard error. While nothing sounds,
// the audio thread rests and costs nothing.
class SdlAudio {
 public:
  explicit SdlAudio(std::vector<std::filesystem::path> searchDirs);
  ~SdlAudio();
  SdlAudio(const SdlAudio&) = delete;
  SdlAudio& operator=(const SdlAudio&) = delete;

  MusicDevice& music();
  SoundOutput& sound();
  // The overall volume, 0 to 100 %, over the levels of music (60 %) and effects (70 %).
  void setVolume(int percent);
  // A short tone of ours; returns once it has been heard.
  void beep();
  // How many times the audio thread has rested for want of sound, and whether it rests now.
  [[nodiscard]] int audioRests() const;
  [[nodiscard]] bool audioResting() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace qov
