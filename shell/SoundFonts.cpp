#include "shell/SoundFonts.h"

#include <algorithm>
#include <cctype>
#include <system_error>
#include <utility>

#include "platform/Encoding.h"
#include "shell/Words.h"

namespace qov {

namespace fs = std::filesystem;

namespace {

// How often a soundfont being loaded is asked after.
constexpr int kPollMs = 100;

bool isSoundFont(const fs::path& file) {
  std::string extension = file.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".sf2" || extension == ".sf3";
}

bool sameFile(const fs::path& a, const fs::path& b) {
  std::error_code ec;
  return fs::equivalent(a, b, ec);
}

}  // namespace

std::vector<fs::path> installedSoundFonts(const std::vector<fs::path>& folders,
                                          const fs::path& standard) {
  std::vector<fs::path> found;
  for (const fs::path& folder : folders) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
      const fs::path file = it->path();
      std::error_code kind;
      if (!isSoundFont(file) || !fs::is_regular_file(file, kind) || sameFile(file, standard)) {
        continue;
      }
      // A file of two names (Debian's default-GM.sf2 link) is listed once, by its own name.
      const auto same = std::find_if(found.begin(), found.end(),
                                     [&](const fs::path& f) { return sameFile(f, file); });
      if (same == found.end()) {
        found.push_back(file);
      } else if (fs::is_symlink(*same, kind)) {
        *same = file;
      }
    }
  }
  std::sort(found.begin(), found.end(), [](const fs::path& a, const fs::path& b) {
    return a.filename() != b.filename() ? a.filename() < b.filename() : a < b;
  });
  return found;
}

std::vector<fs::path> soundFontFolders(const fs::path& dataFolder) {
  std::vector<fs::path> folders{"/usr/share/sounds/sf2"};
  if (!dataFolder.empty()) folders.push_back(dataFolder / "soundfonts");
  return folders;
}

SoundFonts::SoundFonts(Platform& platform, Comforts& comforts, Notify notify)
    : platform_(platform),
      comforts_(comforts),
      notify_(std::move(notify)),
      pollTimer_(platform.createTimer(
          kPollMs, [this] { poll(); }, true)) {
  platform_.setTimerEnabled(pollTimer_, false);
}

SoundFonts::~SoundFonts() {
  platform_.setTimerEnabled(pollTimer_, false);
}

void SoundFonts::start() {
  const std::string wanted = comforts_.settings().soundFont;
  if (wanted.empty() || sameFile(wanted, kStandard)) return;
  // The platform has started with the default one, which stays if this one fails.
  comforts_.changeSettings([](PlayerSettings& s) { s.soundFont.clear(); });
  load(wanted);
}

std::u32string SoundFonts::shown() const {
  const std::string& file = loading_.value_or(comforts_.settings().soundFont);
  if (file.empty()) return tr(U"Standard");
  return fromUtf8(fs::path(file).stem().string());
}

void SoundFonts::step(int step) {
  std::vector<std::string> choices{""};
  for (const fs::path& file :
       installedSoundFonts(soundFontFolders(platform_.dataFolder()), kStandard)) {
    choices.push_back(file.string());
  }
  const std::string now = loading_.value_or(comforts_.settings().soundFont);
  const auto at = std::find(choices.begin(), choices.end(), now);
  const auto count = static_cast<long>(choices.size());
  // One that is not in the list (named in the file by hand) goes to the list's first or last.
  long index = at == choices.end() ? (step > 0 ? -1 : count) : at - choices.begin();
  index = ((index + step) % count + count) % count;
  if (choices[static_cast<std::size_t>(index)] == now) return;
  load(choices[static_cast<std::size_t>(index)]);
}

void SoundFonts::load(const std::string& file) {
  if (!loading_) before_ = comforts_.settings().soundFont;
  loading_ = file;
  comforts_.changeSettings([&file](PlayerSettings& s) { s.soundFont = file; });
  platform_.loadSoundFont(file);
  platform_.setTimerEnabled(pollTimer_, true);
  poll();
}

void SoundFonts::poll() {
  const std::optional<bool> loaded = platform_.soundFontLoaded();
  if (!loaded) return;
  platform_.setTimerEnabled(pollTimer_, false);
  const std::string asked = loading_.value_or(std::string());
  loading_.reset();
  if (*loaded) return;
  comforts_.changeSettings([this](PlayerSettings& s) { s.soundFont = before_; });
  notify_({tr(U"The soundfont cannot be read; the one before stays"),
           fromUtf8(asked.empty() ? std::string(kStandard) : asked)});
}

}  // namespace qov
