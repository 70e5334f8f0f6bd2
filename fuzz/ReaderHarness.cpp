// The harnesses of the readers of files a game folder or the user brings besides scripts: MIDI
// music, the game's qov.ini and the player's own settings file.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <system_error>

#include "fuzz/FuzzSupport.h"
#include "fuzz/Harness.h"
#include "platform/IniFile.h"
#include "platform/audio/MidiFile.h"
#include "shell/PlayerSettings.h"
#include "ui/GameData.h"

namespace qov::fuzz {
namespace {

namespace fs = std::filesystem;

void require(bool holds, const char* what) {
  if (!holds) throw Violation(what);
}

std::uint32_t be32(std::span<const std::uint8_t> b) {
  return (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 8) |
         std::uint32_t{b[3]};
}

// A prepared piece is a clean standard MIDI file: a 6-byte header and track chunks that fill
// the file exactly, as many as the header says.
void checkClean(const std::vector<std::uint8_t>& smf) {
  require(smf.size() >= 14 && std::equal(smf.begin(), smf.begin() + 4, "MThd") &&
              be32(std::span(smf).subspan(4)) == 6,
          "a prepared piece has no clean header");
  const unsigned tracks = (smf[10] << 8) | smf[11];
  unsigned found = 0;
  std::size_t pos = 14;
  while (pos < smf.size()) {
    require(smf.size() - pos >= 8 &&
                std::equal(smf.begin() + static_cast<std::ptrdiff_t>(pos),
                           smf.begin() + static_cast<std::ptrdiff_t>(pos) + 4, "MTrk"),
            "a prepared piece holds something other than tracks");
    const std::uint32_t length = be32(std::span(smf).subspan(pos + 4));
    require(length <= smf.size() - pos - 8, "a prepared track runs past the file's end");
    pos += 8 + length;
    ++found;
  }
  require(found == tracks, "a prepared piece holds another number of tracks than it says");
}

bool blank(char c) {
  return c == ' ' || c == '\t';
}

int lineCount(std::string_view text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
}

std::string upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

void checkIni(const IniFile& ini, std::string_view input) {
  const int lines = lineCount(input);
  if (ini.status() == IniFile::Status::SyntaxError) {
    require(ini.errorLine() >= 1 && ini.errorLine() <= lines, "a fault outside the file");
    require(!ini.error().empty(), "a fault without a reason");
  } else {
    require(ini.ok(), "text in memory that is neither read nor faulty");
  }
  // Keys the file gives are found again, in any case, with their value and line.
  for (const char* name : {"", "game", "window", "sound"}) {
    const IniFile::Section* section = ini.section(name);
    if (section == nullptr) continue;
    for (const auto& [key, value] : *section) {
      require(value.line >= 1 && value.line <= lines, "a value outside the file");
      require(value.text.empty() || (!blank(value.text.front()) && !blank(value.text.back())),
              "a value keeps the blanks around it");
      const IniFile::Value* again = ini.find(upper(name), upper(key));
      require(again != nullptr && again->text == value.text && again->line == value.line,
              "a key is not found again in another case");
    }
  }
}

// A game folder holding the demo game's icon and item sheet, which a qov.ini may name.
const fs::path& iniGameDir() {
  static const ScratchDir dir("ini");
  static const bool filled = [] {
    for (const char* file : {"ICON.PNG", "ITEMS.GIF"}) {
      fs::copy_file(fs::path(QOV_GAME_DIR) / file, dir.path() / file);
    }
    return true;
  }();
  static_cast<void>(filled);
  return dir.path();
}

}  // namespace

void runMidi(std::string_view input) {
  const std::span bytes(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
  const MidiPreparation prepared = prepareMidi(bytes);
  require(prepared.piece.has_value() == prepared.problem.empty(),
          "a piece and a problem, or neither");
  require(
      midiLength(bytes) == (prepared.piece ? std::optional(prepared.piece->length) : std::nullopt),
      "the length differs from the prepared piece's");
  if (!prepared.piece) return;
  require(prepared.piece->length.count() >= 0, "a piece of negative length");
  checkClean(prepared.piece->smf);
  // What the synthesizer gets reads again and plays at least as long (its end comes later),
  // unless the half second added at its end, counted at the tempo of the end, reaches past
  // the longest piece read at the tempo that a later tempo event sets.
  const MidiPreparation again = prepareMidi(prepared.piece->smf);
  require(again.piece.has_value() || again.problem.starts_with("its length does not fit"),
          "a prepared piece cannot be prepared again");
  require(!again.piece || again.piece->length >= prepared.piece->length,
          "a prepared piece plays shorter");
}

void runIni(std::string_view input) {
  checkIni(IniFile::parse(input), input);

  // As a game's qov.ini: the caption, and the pictures it names found in the game folder.
  const fs::path& dir = iniGameDir();
  writeFile(dir / "qov.ini", input);
  const GameFile game = readGameFile(dir);
  require(!game.title || !game.title->empty(), "an empty caption");
  for (const auto* picture : {&game.icon, &game.cursor, &game.items}) {
    require(!*picture || ((*picture)->line >= 1 && (*picture)->line <= lineCount(input) &&
                          !(*picture)->bytes.empty()),
            "a picture named outside the file, or read as nothing");
  }

  // As the player's settings: what is read is in range, and writes out and reads back the same.
  writeFile(dir / "settings.ini", input);
  const PlayerSettings::Read read = PlayerSettings::read(dir / "settings.ini");
  const PlayerSettings& s = read.settings;
  require(!s.scale || (*s.scale >= 1 && *s.scale <= 4), "a scale out of range");
  require(s.volume >= 0 && s.volume <= 100, "a volume out of range");
  require(!s.write(dir / "written.ini"), "the settings cannot be written");
  const PlayerSettings::Read back = PlayerSettings::read(dir / "written.ini");
  require(!back.problem && back.settings == s, "settings written do not read back the same");
}

}  // namespace qov::fuzz
