#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "platform/Platform.h"

namespace qov {

// The levels of the mix for the player's overall volume and the music's and effects' shares
// (0 to 100 % each): the synthesizer's level (0 to 1), and the mixer's volumes (0 to 128) of
// the effects and of the beep, which follows the overall volume only.
struct MixLevels {
  double music = 0;
  int effects = 0;
  int beep = 0;
  friend bool operator==(const MixLevels&, const MixLevels&) = default;
};
[[nodiscard]] MixLevels mixLevels(int overall, int musicPercent, int effectsPercent);

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
  // The music's and the effects' shares of their levels, 0 to 100 %.
  void setMixLevels(int musicPercent, int effectsPercent);
  // As Platform's: the soundfont changes off the window's thread; empty: the default one.
  void loadSoundFont(const std::filesystem::path& file);
  [[nodiscard]] std::optional<bool> soundFontLoaded();
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
