#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "shell/Comforts.h"

namespace qov {

// The General MIDI soundfonts installed: the *.sf2 and *.sf3 files of `folders`, in the order
// of their names; not `standard`, which is the default one.
[[nodiscard]] std::vector<std::filesystem::path> installedSoundFonts(
    const std::vector<std::filesystem::path>& folders, const std::filesystem::path& standard);

// Where soundfonts are installed: Debian's folder, and the player's own under `dataFolder`
// (none without it).
[[nodiscard]] std::vector<std::filesystem::path> soundFontFolders(
    const std::filesystem::path& dataFolder);

// The choice of the music's soundfont among those installed, the default one first: a change
// is loaded off the window's thread while the music goes on; one that fails to load is a
// notice naming it, and the one before stays.
class SoundFonts {
 public:
  using Notify = std::function<void(const std::vector<std::u32string>&)>;
  // The default soundfont, which the platform loads by itself.
  static constexpr const char* kStandard = "/usr/share/sounds/sf2/TimGM6mb.sf2";

  // The list is of the soundfontFolders() of the platform's data folder.
  SoundFonts(Platform& platform, Comforts& comforts, Notify notify);
  ~SoundFonts();
  SoundFonts(const SoundFonts&) = delete;
  SoundFonts& operator=(const SoundFonts&) = delete;

  // Loads the one the settings name, if it is not the default.
  void start();
  // The name of the one in use (or being loaded), as the settings page shows it.
  [[nodiscard]] std::u32string shown() const;
  // The next (+1) or previous (-1) of the list, going round.
  void step(int step);

 private:
  void load(const std::string& file);
  void poll();

  Platform& platform_;
  Comforts& comforts_;
  Notify notify_;
  TimerId pollTimer_;
  std::string before_;                  // in use before the one loading
  std::optional<std::string> loading_;  // asked for, not yet loaded
};

}  // namespace qov
