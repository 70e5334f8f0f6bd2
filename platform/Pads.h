#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <utility>

#include "platform/Platform.h"

namespace qov {

// Every pad plugged in, seen as one: a button is down while any pad holds it, the left stick
// of each pad stands for its D-pad, and a pad unplugged lets go of what it held. Pads are
// named by any number their platform gives them. Tells `changed` each button that goes down
// or up.
class Pads {
 public:
  // The left stick's axis values run from -32768 to 32767. A direction is pressed when the
  // stick leans past kStickPress and let go when it comes back within kStickRelease: between
  // the two it keeps what it was, so a stick held near the edge does not chatter.
  static constexpr int kStickPress = 16000;
  static constexpr int kStickRelease = 10000;
  enum class Axis { X, Y };  // Y grows downwards

  explicit Pads(std::function<void(PadButton, bool)> changed) : changed_(std::move(changed)) {}

  void added(std::int32_t pad);
  void removed(std::int32_t pad);
  void button(std::int32_t pad, PadButton button, bool down);
  void stick(std::int32_t pad, Axis axis, int value);

  [[nodiscard]] bool any() const { return !pads_.empty(); }
  [[nodiscard]] int count() const { return static_cast<int>(pads_.size()); }
  [[nodiscard]] bool held(PadButton button) const;

 private:
  using Mask = std::uint32_t;
  struct Pad {
    Mask buttons = 0;
    Mask stick = 0;
  };
  static constexpr Mask bit(PadButton b) { return Mask{1} << static_cast<int>(b); }
  [[nodiscard]] Mask merged() const;
  // Tells what differs between `before` and the buttons held now.
  void tell(Mask before);

  std::function<void(PadButton, bool)> changed_;
  std::map<std::int32_t, Pad> pads_;
};

}  // namespace qov
