#pragma once

namespace qov {

// Thrown from wherever the program ends (window closed, EXIT, EOF, a script error after its
// report), also from inside a wait; main catches it and returns the exit code.
struct ProgramEnd {
  int exitCode = 0;
};

}  // namespace qov
