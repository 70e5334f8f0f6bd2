#include "platform/audio/SdlAudio.h"

namespace qov {

namespace {

class SilentMusic final : public MusicDevice {
 public:
  bool send(std::string_view, std::string* answer) override {
    if (answer) answer->clear();
    return false;
  }
};

class SilentSound final : public SoundOutput {
 public:
  bool play(const std::filesystem::path&, bool) override { return false; }
  void playDefault() override {}
  [[nodiscard]] bool playing() const override { return false; }
  void stop() override {}
};

}  // namespace

struct SdlAudio::Impl {
  SilentMusic music;
  SilentSound sound;
};

SdlAudio::SdlAudio(std::vector<std::filesystem::path>) : impl_(std::make_unique<Impl>()) {}
SdlAudio::~SdlAudio() = default;
MusicDevice& SdlAudio::music() { return impl_->music; }
SoundOutput& SdlAudio::sound() { return impl_->sound; }
void SdlAudio::beep() {}

}  // namespace qov
