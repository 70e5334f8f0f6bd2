#include "platform/Pads.h"

namespace qov {

void Pads::added(std::int32_t pad) {
  pads_.try_emplace(pad);
}

void Pads::removed(std::int32_t pad) {
  const Mask before = merged();
  pads_.erase(pad);
  tell(before);
}

void Pads::button(std::int32_t pad, PadButton button, bool down) {
  const auto found = pads_.find(pad);
  if (found == pads_.end()) return;  // an event of a pad already gone
  const Mask before = merged();
  Mask& buttons = found->second.buttons;
  buttons = down ? buttons | bit(button) : buttons & ~bit(button);
  tell(before);
}

void Pads::stick(std::int32_t pad, Axis axis, int value) {
  const auto found = pads_.find(pad);
  if (found == pads_.end()) return;
  const Mask before = merged();
  Mask& stick = found->second.stick;
  const Mask less = bit(axis == Axis::X ? PadButton::Left : PadButton::Up);
  const Mask more = bit(axis == Axis::X ? PadButton::Right : PadButton::Down);
  if ((stick & less) != 0 && value > -kStickRelease) stick &= ~less;
  if ((stick & more) != 0 && value < kStickRelease) stick &= ~more;
  if (value <= -kStickPress) stick |= less;
  if (value >= kStickPress) stick |= more;
  tell(before);
}

bool Pads::held(PadButton button) const {
  return (merged() & bit(button)) != 0;
}

Pads::Mask Pads::merged() const {
  Mask all = 0;
  for (const auto& [id, pad] : pads_) all |= pad.buttons | pad.stick;
  return all;
}

void Pads::tell(Mask before) {
  const Mask now = merged();
  // What is let go first: a stick swung across tells its old direction's end first.
  for (const bool down : {false, true}) {
    for (int i = 0; i < kPadButtons; ++i) {
      const Mask b = Mask{1} << i;
      if ((before & b) != (now & b) && ((now & b) != 0) == down && changed_) {
        changed_(static_cast<PadButton>(i), down);
      }
    }
  }
}

}  // namespace qov
