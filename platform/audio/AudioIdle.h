#pragma once

#include <condition_variable>
#include <mutex>

namespace qov {

// Lets the audio thread rest while nothing sounds. SDL keeps its audio thread running while a
// device is paused, feeding it silence block after block; here the thread waits instead, inside
// the mixer's callback, once a few whole blocks of silence have gone out after the last sound
// (so the device has played everything, and it falls silent as it would anyway: no click), and
// it goes on as soon as something may sound again. While it rests it holds the mixer's lock:
// every call into the mixer from another thread is made inside an Awake hold.
class AudioIdle {
 public:
  // `quietBlocks`: the blocks of silence handed to the device before the thread rests.
  explicit AudioIdle(int quietBlocks) : quietBlocks_(quietBlocks) {}

  // The audio thread, at the start of a block: waits while nothing is to be heard.
  void restWhileQuiet();
  // The audio thread, at the end of a block: whether anything sounded in it.
  void blockDone(bool sounded);
  // Any thread: something may sound from now on (the music was told to play).
  void wake();

  // While one lives the audio thread does not rest (and is woken if it does).
  class Awake {
   public:
    explicit Awake(AudioIdle& idle);
    ~Awake();
    Awake(const Awake&) = delete;
    Awake& operator=(const Awake&) = delete;

   private:
    AudioIdle& idle_;
  };

  // How many times the thread has rested, and whether it rests now.
  [[nodiscard]] int rests() const;
  [[nodiscard]] bool resting() const;

 private:
  [[nodiscard]] bool quiet() const { return holds_ == 0 && quietBlocks_ <= quietSince_; }

  const int quietBlocks_;
  mutable std::mutex mutex_;
  std::condition_variable woken_;
  int holds_ = 0;
  int quietSince_ = 0;  // blocks of silence since the last sound
  int rests_ = 0;
  bool resting_ = false;
};

}  // namespace qov
