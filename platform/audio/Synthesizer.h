#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include <fluidsynth.h>

namespace qov {

// One FluidSynth synthesizer with its settings: FluidSynth's sound as it comes (reverb, chorus,
// polyphony 256, interpolation) at the sample rate of the audio device; samples are read
// when an instrument is first selected.
class Synthesizer {
 public:
  // Empty when FluidSynth cannot make one.
  [[nodiscard]] static std::unique_ptr<Synthesizer> create(int sampleRate);
  ~Synthesizer();
  Synthesizer(const Synthesizer&) = delete;
  Synthesizer& operator=(const Synthesizer&) = delete;

  // Loads the General MIDI sounds; false when the file cannot be read as a soundfont.
  bool loadSoundFont(const std::filesystem::path& file);
  // Loads `file` and lets go of the soundfonts loaded before it, whose voices sound to their
  // end; false, and the old sounds stay, when it cannot be read as a soundfont.
  bool replaceSoundFont(const std::filesystem::path& file);
  // The volume, 0 to 1.
  void setLevel(double level);
  [[nodiscard]] fluid_synth_t* get() const { return synth_; }

 private:
  Synthesizer(fluid_settings_t* settings, fluid_synth_t* synth)
      : settings_(settings), synth_(synth) {}
  fluid_settings_t* settings_;
  fluid_synth_t* synth_;
};

// Makes the synthesizer, with its soundfont; runs off the window's thread.
using SynthLoader = std::function<std::unique_ptr<Synthesizer>()>;

// Where FluidSynth's own messages go while it lives: errors and warnings to standard error, at
// most one line for each file they concern (the music file being played, or the soundfont
// while it loads); its information and debug lines nowhere. FluidSynth keeps one log
// function for the whole process, so there is one gate at a time.
class FluidLog {
 public:
  FluidLog();
  ~FluidLog();
  FluidLog(const FluidLog&) = delete;
  FluidLog& operator=(const FluidLog&) = delete;

  // The file that FluidSynth's messages from now on concern.
  void setSubject(std::string file);

 private:
  static void log(int level, const char* message, void* data);

  std::mutex mutex_;
  std::string subject_;
  std::set<std::string> told_;
};

}  // namespace qov
