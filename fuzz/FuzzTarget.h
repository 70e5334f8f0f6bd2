#pragma once

// What every libFuzzer entry point does: run its harness on the input; a broken property
// aborts, which the fuzzer reports with the input.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string_view>

#include "fuzz/Harness.h"

namespace qov::fuzz {

inline int initialize() {
  // The error report's copy for the terminal would flood the fuzzer's output.
  std::cerr.rdbuf(nullptr);
  return 0;
}

inline int testOneInput(void (*harness)(std::string_view), const std::uint8_t* data,
                        std::size_t size) {
  try {
    harness(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const Violation& v) {
    std::fprintf(stderr, "property broken: %s\n", v.what());
    std::abort();
  }
  return 0;
}

}  // namespace qov::fuzz
