#include "platform/UserDirectories.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <system_error>

namespace qov {
namespace {

namespace fs = std::filesystem;

std::optional<fs::path> baseDirectory(const char* variable, const char* underHome) {
  if (const char* value = std::getenv(variable); value != nullptr && value[0] == '/') {
    return fs::path(value);
  }
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
    return fs::path(home) / underHome;
  }
  return std::nullopt;
}

// FNV-1a: small, and the same on every machine and in every build.
std::uint32_t hash32(std::string_view bytes) {
  std::uint32_t h = 2166136261u;
  for (const char c : bytes) {
    h ^= static_cast<unsigned char>(c);
    h *= 16777619u;
  }
  return h;
}

}  // namespace

std::optional<fs::path> userDataHome() {
  return baseDirectory("XDG_DATA_HOME", ".local/share");
}

std::optional<fs::path> userConfigHome() {
  return baseDirectory("XDG_CONFIG_HOME", ".config");
}

std::string userGameName(const fs::path& gameDir) {
  std::error_code ec;
  fs::path folder = fs::weakly_canonical(fs::absolute(gameDir, ec), ec);
  if (ec || folder.empty()) folder = fs::absolute(gameDir, ec).lexically_normal();
  if (!folder.has_filename()) folder = folder.parent_path();
  const std::string name = folder.filename().empty() ? "game" : folder.filename().string();
  char digits[9];
  std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(hash32(folder.native())));
  return name + "-" + digits;
}

std::optional<fs::path> userGameDirectory(const fs::path& gameDir, std::string_view kind) {
  const std::optional<fs::path> data = userDataHome();
  if (!data) return std::nullopt;
  return *data / "qov" / kind / userGameName(gameDir);
}

std::optional<fs::path> userSaveDirectory(const fs::path& gameDir) {
  return userGameDirectory(gameDir, "saves");
}

}  // namespace qov
