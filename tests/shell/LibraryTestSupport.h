#pragma once

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "shell/library/Library.h"
#include "tests/ui/UiTestSupport.h"

namespace qov::test {

// A game folder with its first script and, when `title` is given, a qov.ini naming it.
inline std::filesystem::path makeGame(const std::filesystem::path& dir,
                                      std::string_view title = {}) {
  std::filesystem::create_directories(dir);
  writeScript(dir, "wnatu", U"MES,ようこそ。\nEXIT\n");
  if (!title.empty()) std::ofstream(dir / "qov.ini") << "[game]\ntitle = " << title << "\n";
  return dir;
}

// A library of its own in a temporary folder: library.ini and the games folder.
struct TestLibrary {
  TempDir root;
  Library library{root.path() / "qov" / "library.ini", root.path() / "qov" / "games"};
  [[nodiscard]] std::filesystem::path file() const { return library.file(); }
};

// Times shown in the list read the same everywhere.
inline void useUtc() {
  ::setenv("TZ", "UTC", 1);
  ::tzset();
}

}  // namespace qov::test
