// qov: plays the game in the directory of the program, or in the one named on the command line.
#include <exception>
#include <filesystem>
#include <iostream>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/ProgramEnd.h"
#include "platform/render/Render.h"
#include "platform/sdl/SdlPlatform.h"
#include "ui/Qov.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kUsage =
    "usage: qov [GAME_DIRECTORY]  (plays the game in GAME_DIRECTORY, by default the directory "
    "that holds qov)\n";

// The game lies beside the program, as it always did.
fs::path programDirectory() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return fs::current_path();
  return exe.parent_path();
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  if (args.size() > 1) {
    std::cerr << kUsage;
    return 2;
  }
  if (!args.empty() && args[0] == "--help") {
    std::cout << kUsage;
    return 0;
  }
  if (!args.empty() && args[0] == "--version") {
    std::cout << "qov " << QOV_VERSION << '\n';
    return 0;
  }
  const fs::path gameDir = args.empty() ? programDirectory() : fs::absolute(fs::path(args[0]));
  std::error_code ec;
  const std::vector<fs::path> mediaDirs = {fs::current_path(ec), gameDir};

  try {
    qov::SdlPlatform platform(mediaDirs);
    qov::Qov window(platform, gameDir, mediaDirs);
    return window.run();
  } catch (const qov::FontError& e) {
    // The message names the missing fonts and their packages.
    std::cerr << "qov: " << e.what() << '\n';
    return 1;
  } catch (const std::exception& e) {
    std::cerr << "qov: " << e.what() << '\n';
    return 1;
  }
}
