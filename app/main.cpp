// qov: plays the game in the directory of the program, or in the one named on the command line.
#include <exception>
#include <filesystem>
#include <iostream>
#include <string_view>
#include <system_error>
#include <variant>
#include <vector>

#include "app/CommandLine.h"
#include "platform/ProgramEnd.h"
#include "platform/render/Render.h"
#include "platform/sdl/SdlPlatform.h"
#include "ui/Qov.h"

namespace fs = std::filesystem;

namespace {

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
  const auto parsed = qov::parseCommandLine(args);
  if (const auto* error = std::get_if<qov::UsageError>(&parsed)) {
    std::cerr << "qov: " << error->message << '\n' << qov::usageText();
    return 2;
  }
  const qov::CommandLine& command = std::get<qov::CommandLine>(parsed);
  switch (command.mode) {
    case qov::Mode::help:
      std::cout << qov::usageText();
      return 0;
    case qov::Mode::version:
      std::cout << "qov " << QOV_VERSION << '\n';
      return 0;
    case qov::Mode::play:
      break;
  }
  const fs::path gameDir = command.gameDir ? fs::absolute(*command.gameDir) : programDirectory();
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
