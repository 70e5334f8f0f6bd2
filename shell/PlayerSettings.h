#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "shell/Words.h"
#include "ui/HostedGame.h"

namespace qov {

// The player's own settings, kept between runs in one INI file of the user's (not the
// game's): the window's scale and fullscreen, the overall volume and mute, where each page's
// text goes besides the window, the delays of auto-advance and the language of its own words.
struct PlayerSettings {
  std::optional<int> scale;  // unset: the platform's choice for the screen
  bool fullscreen = false;
  int volume = 100;  // %, in steps of 10
  bool muted = false;
  // The music's and the effects' share of their own levels, %, in steps of 10.
  int musicVolume = 100;
  int effectsVolume = 100;
  std::string soundFont;   // the General MIDI soundfont's file; empty: the default one
  bool textHook = false;   // each page's text on standard output
  bool clipboard = false;  // each page's text on the clipboard
  bool speech = false;     // each page spoken
  int speechRate = 0;      // -100 (slowest) to 100 (fastest), 0 the voice's own
  int speechVolume = 100;  // 0 to 100
  // Auto-advance: how long a page stays, and how much longer for each of its characters.
  int autoAdvanceMs = 1500;
  int autoAdvancePerCharacterMs = 80;
  Language language = Language::Automatic;  // of the player's own words
  bool skipReadOnly = false;  // skipping stops at the first message never seen
  TypingSpeed typing = TypingSpeed::AsGame;
  friend bool operator==(const PlayerSettings&, const PlayerSettings&) = default;

  struct Read;
  // Reads the file. A missing file gives the defaults; an unreadable or broken file, or a bad
  // value, gives the defaults for what it cannot tell and a one-line problem naming the file
  // and line.
  [[nodiscard]] static Read read(const std::filesystem::path& file);
  // Replaces the file atomically, creating its folder; returns the problem on failure.
  [[nodiscard]] std::optional<std::string> write(const std::filesystem::path& file) const;
};

struct PlayerSettings::Read {
  PlayerSettings settings;
  std::optional<std::string> problem;
};

}  // namespace qov
