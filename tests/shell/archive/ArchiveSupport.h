#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "shell/archive/Archive.h"
#include "tests/ui/UiTestSupport.h"

namespace qov::test {

inline const std::filesystem::path kArchives = QOV_TEST_ARCHIVES;

inline std::string fileText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The archives tools/make_test_archives.py made of one kind ("game", "hostile"); those it could
// not make for want of a tool are named on stdout.
inline std::vector<std::string> archivesOf(const std::string& kind) {
  std::ifstream manifest(kArchives / "manifest.txt");
  std::vector<std::string> names;
  for (std::string line; std::getline(manifest, line);) {
    if (line.starts_with(kind + " ")) names.push_back(line.substr(kind.size() + 1));
    if (line.starts_with("skip ")) std::cout << "not made: " << line.substr(5) << "\n";
  }
  return names;
}

// Extracts with standard error captured into `err`.
inline ExtractedGame extractQuietly(const std::filesystem::path& archive,
                                    const std::filesystem::path& root, std::string& err,
                                    const ExtractLimits& limits = {}) {
  ::testing::internal::CaptureStderr();
  try {
    ExtractedGame game = extractGame(archive, root, {}, limits);
    err = ::testing::internal::GetCapturedStderr();
    return game;
  } catch (...) {
    err = ::testing::internal::GetCapturedStderr();
    throw;
  }
}

}  // namespace qov::test
