#include "fuzz/FuzzTarget.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  return qov::fuzz::initialize();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return qov::fuzz::testOneInput(qov::fuzz::runMidi, data, size);
}
