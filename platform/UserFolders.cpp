#include "platform/UserFolders.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <system_error>

#include "platform/UserDirectories.h"

namespace qov {
namespace {

namespace fs = std::filesystem;

// An absolute path from the environment; empty when unset, empty or relative.
fs::path absoluteFromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') return {};
  fs::path path(value);
  return path.is_absolute() ? path : fs::path();
}

bool isDirectory(const fs::path& path) {
  std::error_code ec;
  return !path.empty() && fs::is_directory(path, ec);
}

// The first line that `xdg-user-dir PICTURES` prints; empty when the tool is missing.
fs::path askXdgUserDir() {
  struct Close {
    void operator()(FILE* f) const { static_cast<void>(::pclose(f)); }
  };
  const std::unique_ptr<FILE, Close> pipe(::popen("xdg-user-dir PICTURES 2>/dev/null", "r"));
  if (!pipe) return {};
  std::string line;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe.get()) != nullptr) {
    line += buffer;
    if (!line.empty() && line.back() == '\n') break;
  }
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return fs::path(line);
}

}  // namespace

fs::path userSettingsFile() {
  const std::optional<fs::path> config = userConfigHome();
  return config ? *config / "qov" / "qov.ini" : fs::path();
}

fs::path userPicturesFolder() {
  const fs::path home = absoluteFromEnvironment("HOME");
  // Without a configured folder the tool answers the home folder itself; ~/Pictures is then
  // the better place when it exists.
  const fs::path xdg = askXdgUserDir();
  if (xdg.is_absolute() && isDirectory(xdg) && xdg != home) return xdg;
  if (isDirectory(home / "Pictures")) return home / "Pictures";
  if (isDirectory(home)) return home;
  std::error_code ec;
  return fs::current_path(ec);
}

}  // namespace qov
