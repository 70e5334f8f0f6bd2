#pragma once

namespace qov {

// Sets a flag for as long as it lives, also when the scope is left by an exception (the end of
// the program, or a save state loaded from inside a wait).
class ScopedFlag {
 public:
  explicit ScopedFlag(bool& flag) : flag_(flag) { flag_ = true; }
  ~ScopedFlag() { flag_ = false; }
  ScopedFlag(const ScopedFlag&) = delete;
  ScopedFlag& operator=(const ScopedFlag&) = delete;

 private:
  bool& flag_;
};

}  // namespace qov
