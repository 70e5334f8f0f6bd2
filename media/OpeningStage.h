#pragma once

#include <string_view>

namespace qov {

// What the opening shows through the main window: the scene picture and the message window.
class OpeningStage {
 public:
  virtual ~OpeningStage() = default;
  virtual void GHG(std::u32string_view name) = 0;
  virtual void MESHG(std::u32string_view text) = 0;
};

}  // namespace qov
