#include "shell/PlayerSettings.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>
#include <system_error>
#include <utility>

#include "platform/AtomicFile.h"
#include "platform/IniFile.h"

namespace qov {

namespace fs = std::filesystem;

namespace {

constexpr int kLargestScale = 4;

std::optional<int> wholeNumber(const std::string& text, int lowest, int highest) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [at, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || at != end || value < lowest || value > highest) return std::nullopt;
  return value;
}

std::optional<bool> truth(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  for (const std::string_view yes : {"yes", "true", "on", "1"}) {
    if (text == yes) return true;
  }
  for (const std::string_view no : {"no", "false", "off", "0"}) {
    if (text == no) return false;
  }
  return std::nullopt;
}

// Reads one value into `into` when the file gives a good one; the first fault found becomes
// the problem.
template <typename T, typename Parse>
void take(const IniFile& ini, const fs::path& file, std::string_view section, std::string_view key,
          std::string_view expected, Parse parse, T& into, std::optional<std::string>& problem) {
  const IniFile::Value* value = ini.find(section, key);
  if (value == nullptr) return;
  if (const auto parsed = parse(value->text)) {
    into = *parsed;
  } else if (!problem) {
    problem = file.string() + " line " + std::to_string(value->line) + ": " + std::string(key) +
              " \"" + value->text + "\" is not " + std::string(expected) + "; the default is used";
  }
}

constexpr std::array<std::pair<std::string_view, TypingSpeed>, 3> kTypingWords{
    {{"game", TypingSpeed::AsGame},
     {"twice", TypingSpeed::Twice},
     {"instant", TypingSpeed::Instant}}};

std::optional<TypingSpeed> typingSpeed(const std::string& text) {
  for (const auto& [word, speed] : kTypingWords) {
    if (text == word) return speed;
  }
  return std::nullopt;
}

std::string typingWord(TypingSpeed speed) {
  for (const auto& [word, each] : kTypingWords) {
    if (each == speed) return std::string(word);
  }
  return "game";
}

std::optional<bool> readOnly(const std::string& text) {
  if (text == "read") return true;
  if (text == "all") return false;
  return std::nullopt;
}

}  // namespace

PlayerSettings::Read PlayerSettings::read(const fs::path& file) {
  Read result;
  const IniFile ini = IniFile::read(file);
  switch (ini.status()) {
    case IniFile::Status::Ok:
      break;
    case IniFile::Status::Missing:
      // A first start: nothing to say; the file comes with the first change.
      return result;
    case IniFile::Status::Unreadable:
      result.problem = "cannot read the settings " + file.string() + " (" + ini.error() +
                       "); the defaults are used";
      return result;
    case IniFile::Status::SyntaxError:
      result.problem = file.string() + " line " + std::to_string(ini.errorLine()) + ": " +
                       ini.error() + "; the defaults are used";
      return result;
  }
  PlayerSettings& s = result.settings;
  std::optional<std::string>& problem = result.problem;
  const auto scale = [](const std::string& t) { return wholeNumber(t, 1, kLargestScale); };
  const auto volume = [](const std::string& t) { return wholeNumber(t, 0, 100); };
  std::optional<int> scaleRead;
  take(ini, file, "window", "scale", "a scale from 1 to 4", scale, scaleRead, problem);
  if (scaleRead) s.scale = scaleRead;
  take(ini, file, "window", "fullscreen", "yes or no", truth, s.fullscreen, problem);
  take(ini, file, "sound", "volume", "a volume from 0 to 100", volume, s.volume, problem);
  take(ini, file, "sound", "mute", "yes or no", truth, s.muted, problem);
  take(ini, file, "sound", "music", "a volume from 0 to 100", volume, s.musicVolume, problem);
  take(ini, file, "sound", "effects", "a volume from 0 to 100", volume, s.effectsVolume, problem);
  const auto anyText = [](const std::string& t) { return std::optional<std::string>(t); };
  take(ini, file, "sound", "soundfont", "a file", anyText, s.soundFont, problem);
  const auto rate = [](const std::string& t) { return wholeNumber(t, -100, 100); };
  take(ini, file, "text", "hook", "yes or no", truth, s.textHook, problem);
  take(ini, file, "text", "clipboard", "yes or no", truth, s.clipboard, problem);
  take(ini, file, "speech", "speak", "yes or no", truth, s.speech, problem);
  take(ini, file, "speech", "rate", "a rate from -100 to 100", rate, s.speechRate, problem);
  take(ini, file, "speech", "volume", "a volume from 0 to 100", volume, s.speechVolume, problem);
  const auto delay = [](const std::string& t) { return wholeNumber(t, 0, 60000); };
  take(ini, file, "reading", "auto-advance", "milliseconds from 0 to 60000", delay, s.autoAdvanceMs,
       problem);
  take(ini, file, "reading", "auto-advance-per-character", "milliseconds from 0 to 60000", delay,
       s.autoAdvancePerCharacterMs, problem);
  const auto language = [](const std::string& t) { return languageOfWord(t); };
  take(ini, file, "player", "language", "auto, ja or en", language, s.language, problem);
  take(ini, file, "reading", "skip", "all or read", readOnly, s.skipReadOnly, problem);
  take(ini, file, "reading", "typing", "game, twice or instant", typingSpeed, s.typing, problem);
  return result;
}

std::optional<std::string> PlayerSettings::write(const fs::path& file) const {
  std::string text = "; The Qov player's own settings; the player rewrites this file.\n[window]\n";
  if (scale) text += "scale = " + std::to_string(*scale) + "\n";
  text += std::string("fullscreen = ") + (fullscreen ? "yes" : "no") + "\n";
  text += "\n[sound]\nvolume = " + std::to_string(volume) + "\n";
  text += std::string("mute = ") + (muted ? "yes" : "no") + "\n";
  text += "music = " + std::to_string(musicVolume) +
          "\neffects = " + std::to_string(effectsVolume) + "\n";
  // A name the file cannot hold is not kept.
  if (!soundFont.empty() && soundFont.find_first_of("\r\n") == std::string::npos) {
    text += "soundfont = " + soundFont + "\n";
  }
  const auto yesNo = [](bool on) { return std::string(on ? "yes" : "no"); };
  text += "\n[text]\nhook = " + yesNo(textHook) + "\nclipboard = " + yesNo(clipboard) + "\n";
  text += "\n[speech]\nspeak = " + yesNo(speech) + "\nrate = " + std::to_string(speechRate) +
          "\nvolume = " + std::to_string(speechVolume) + "\n";
  text += "\n[reading]\nauto-advance = " + std::to_string(autoAdvanceMs) + "\n";
  text += "auto-advance-per-character = " + std::to_string(autoAdvancePerCharacterMs) + "\n";
  text += std::string("skip = ") + (skipReadOnly ? "read" : "all") + "\n";
  text += "typing = " + typingWord(typing) + "\n";
  if (language != Language::Automatic) {
    text += "\n[player]\nlanguage = " + std::string(languageWord(language)) + "\n";
  }
  std::error_code ec;
  fs::create_directories(file.parent_path(), ec);
  if (!ec) ec = replaceFile(file, text);
  if (!ec) return std::nullopt;
  return "cannot write the settings " + file.string() + " (" + ec.message() + ")";
}

}  // namespace qov
