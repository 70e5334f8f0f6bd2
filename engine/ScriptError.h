#pragma once

#include <string>

namespace qov {

// A fault of the script, raised anywhere while a command runs (also by the presentation, for
// a menu index or a picture that cannot be read). The interpreter turns it into the error
// report, which names the current line and ends the program.
struct ScriptError {
  std::u32string text;
};

}  // namespace qov
