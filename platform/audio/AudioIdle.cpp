#include "platform/audio/AudioIdle.h"

namespace qov {

void AudioIdle::restWhileQuiet() {
  std::unique_lock lock(mutex_);
  if (!quiet()) return;
  resting_ = true;
  ++rests_;
  woken_.wait(lock, [this] { return !quiet(); });
  resting_ = false;
}

void AudioIdle::blockDone(bool sounded) {
  const std::lock_guard lock(mutex_);
  if (sounded) {
    quietSince_ = 0;
  } else if (quietSince_ < quietBlocks_) {
    ++quietSince_;
  }
}

void AudioIdle::wake() {
  {
    const std::lock_guard lock(mutex_);
    quietSince_ = 0;
  }
  woken_.notify_one();
}

AudioIdle::Awake::Awake(AudioIdle& idle) : idle_(idle) {
  {
    const std::lock_guard lock(idle_.mutex_);
    ++idle_.holds_;
    idle_.quietSince_ = 0;
  }
  idle_.woken_.notify_one();
}

AudioIdle::Awake::~Awake() {
  const std::lock_guard lock(idle_.mutex_);
  --idle_.holds_;
  // What the holder started has not been mixed yet: the blocks of silence mixed meanwhile do
  // not count.
  idle_.quietSince_ = 0;
}

int AudioIdle::rests() const {
  const std::lock_guard lock(mutex_);
  return rests_;
}

bool AudioIdle::resting() const {
  const std::lock_guard lock(mutex_);
  return resting_;
}

}  // namespace qov
