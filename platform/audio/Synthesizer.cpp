#include "platform/audio/Synthesizer.h"

#include <cstdio>

namespace qov {

std::unique_ptr<Synthesizer> Synthesizer::create(int sampleRate) {
  fluid_settings_t* settings = new_fluid_settings();
  if (settings == nullptr) return nullptr;
  fluid_settings_setnum(settings, "synth.sample-rate", sampleRate);
  // Only the samples of the instruments a piece selects are read into memory (a few hundred
  // kB each, from the file cache, when the piece selects them): the whole General MIDI set
  // would double the player's memory.
  fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
  fluid_synth_t* synth = new_fluid_synth(settings);
  if (synth == nullptr) {
    delete_fluid_settings(settings);
    return nullptr;
  }
  return std::unique_ptr<Synthesizer>(new Synthesizer(settings, synth));
}

Synthesizer::~Synthesizer() {
  delete_fluid_synth(synth_);
  delete_fluid_settings(settings_);
}

bool Synthesizer::loadSoundFont(const std::filesystem::path& file) {
  return fluid_synth_sfload(synth_, file.c_str(), 1) != FLUID_FAILED;
}

bool Synthesizer::replaceSoundFont(const std::filesystem::path& file) {
  const int id = fluid_synth_sfload(synth_, file.c_str(), 1);
  if (id == FLUID_FAILED) return false;
  // The new one is first on the stack; the channels have taken its presets.
  for (int n = fluid_synth_sfcount(synth_) - 1; n >= 0; --n) {
    fluid_sfont_t* font = fluid_synth_get_sfont(synth_, static_cast<unsigned>(n));
    if (font != nullptr && fluid_sfont_get_id(font) != id) {
      fluid_synth_sfunload(synth_, fluid_sfont_get_id(font), 1);
    }
  }
  return true;
}

void Synthesizer::setLevel(double level) {
  // Full level is six times FluidSynth's default gain of 0.2, as the sound library that
  // played our music before had it: the game's music keeps its loudness beside the effects.
  fluid_synth_set_gain(synth_, static_cast<float>(1.2 * level));
}

FluidLog::FluidLog() {
  for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN}) fluid_set_log_function(level, &log, this);
  for (int level : {FLUID_INFO, FLUID_DBG}) fluid_set_log_function(level, nullptr, nullptr);
}

FluidLog::~FluidLog() {
  for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
    fluid_set_log_function(level, nullptr, nullptr);
}

void FluidLog::setSubject(std::string file) {
  const std::lock_guard lock(mutex_);
  subject_ = std::move(file);
}

void FluidLog::log(int /*level*/, const char* message, void* data) {
  auto& self = *static_cast<FluidLog*>(data);
  const std::lock_guard lock(self.mutex_);
  if (!self.told_.insert(self.subject_).second) return;
  if (self.subject_.empty()) {
    std::fprintf(stderr, "qov: fluidsynth: %s\n", message);
  } else {
    std::fprintf(stderr, "qov: %s: fluidsynth: %s\n", self.subject_.c_str(), message);
  }
}

}  // namespace qov
