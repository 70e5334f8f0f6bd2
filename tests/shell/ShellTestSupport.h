#pragma once

#include <filesystem>

#include "shell/Shell.h"
#include "tests/ui/UiTestSupport.h"

namespace qov::test {

inline const std::filesystem::path kShellData = std::filesystem::path(QOV_TEST_DATA) / "shell";

// The main window on the headless platform with the shell around it, which gets the input.
class ShellWindow : public Window {
 public:
  explicit ShellWindow(const std::filesystem::path& dir = kUiData) : Window(dir) {
    play = [this] { return shell.run(); };
  }
  Shell shell{platform, window};
  Comforts& comforts = shell.comforts();
};

}  // namespace qov::test
