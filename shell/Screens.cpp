#include "shell/Screens.h"

#include <algorithm>

namespace qov {

void ScreenStack::push(Screen& screen) {
  pop(screen);
  screens_.push_back(&screen);
  if (changed_) changed_();
}

void ScreenStack::pop(Screen& screen) {
  const auto at = std::find(screens_.begin(), screens_.end(), &screen);
  if (at == screens_.end()) return;
  screens_.erase(at);
  if (changed_) changed_();
}

bool ScreenStack::contains(const Screen& screen) const {
  return std::find(screens_.begin(), screens_.end(), &screen) != screens_.end();
}

bool ScreenStack::holdsGame() const {
  return std::any_of(screens_.begin(), screens_.end(),
                     [](const Screen* s) { return s->holdsGame(); });
}

void ScreenStack::draw(Image& frame) const {
  for (const Screen* screen : screens_) screen->draw(frame);
}

std::uint64_t ScreenStack::signature() const {
  std::uint64_t digest = 0xCBF29CE484222325ull;
  const auto mix = [&digest](std::uint64_t value) {
    digest ^= value;
    digest *= 0x100000001B3ull;
  };
  mix(screens_.size());
  for (const Screen* screen : screens_) {
    mix(reinterpret_cast<std::uintptr_t>(screen));
    mix(screen->signature());
  }
  return digest;
}

}  // namespace qov
