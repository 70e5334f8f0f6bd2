// The harnesses that need the main window: a whole script, and the message mark-up.
#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>

#include "engine/ScriptError.h"
#include "fuzz/FuzzSupport.h"
#include "fuzz/Harness.h"
#include "fuzz/Player.h"
#include "platform/Encoding.h"
#include "platform/ProgramEnd.h"

namespace qov::fuzz {
namespace {

namespace fs = std::filesystem;

// Waits of the outer loop; each lets one tick of TimerQov run.
constexpr int kMaxWaits = 400;
constexpr std::uintmax_t kMaxGameFile = 256 * 1024;

// A game directory holding the demo game's scripts, pictures, music and effects (all but the
// largest files); each run replaces its first script.
const fs::path& gameDir() {
  static const ScratchDir dir("script");
  static const bool filled = [] {
    for (const auto& entry : fs::directory_iterator(QOV_GAME_DIR)) {
      const std::string ext = entry.path().extension().string();
      const bool wanted = ext == ".SZG" || ext == ".MID" || ext == ".wav" || ext == ".QOV";
      if (wanted && entry.file_size() <= kMaxGameFile) {
        fs::copy_file(entry.path(), dir.path() / entry.path().filename());
      }
    }
    return true;
  }();
  static_cast<void>(filled);
  return dir.path();
}

// Puts back what one message leaves for the next (speed, colour, the sixteen speaker names).
const std::u32string kResetMessage =
    U"＃00＠00＆0ＡＢＣ＆1ＡＢＣ＆2ＡＢＣ＆3ＡＢＣ＆4ＡＢＣ＆5ＡＢＣ＆6ＡＢＣ＆7ＡＢＣ＆8ＡＢＣ"
    U"＆9ＡＢＣ＆AＡＢＣ＆BＡＢＣ＆CＡＢＣ＆DＡＢＣ＆EＡＢＣ＆FＡＢＣ";

}  // namespace

void runScriptInWindow(std::string_view input) {
  const fs::path& dir = gameDir();
  writeFile(dir / "wnatu.QOV", input);
  // A save left by an earlier run would make this one depend on it.
  std::error_code ec;
  fs::remove(dir / "TOVELI2.DAT", ec);

  Player player(dir, input);
  try {
    player.window().Form_Load();
    for (int i = 0; i < kMaxWaits; ++i) player.platform().waitEvents();
  } catch (const ProgramEnd&) {
    // EXIT, EOF or the error report.
  } catch (const RunBudgetSpent&) {
  } catch (const HeadlessStall&) {
    // The player's answers are spent.
  }
  player.composeFrame();
}

void runMarkup(std::string_view input) {
  // One window serves every run: building a window costs far more than a message.
  static const ScratchDir dir("markup");
  static Player player(dir.path(), "");
  player.newRun(input);
  // A run cut short during an item display leaves the item window open.
  player.window().items().hide();
  player.window().MESHG(kResetMessage);
  Variables& vars = player.window().variables();
  for (int i = 0; i < Variables::kVarCount; ++i) {
    vars.setVar(i, static_cast<std::int16_t>(i * 1111 - 16000));
  }
  const std::u32string text = decodeCp932Lenient(input);
  try {
    // Twice: names, speed and colour carry over to the next message.
    player.window().MESHG(text);
    player.window().MESHG(text);
  } catch (const ScriptError&) {
    // A bad mark-up argument.
  } catch (const RunBudgetSpent&) {
  } catch (const HeadlessStall&) {
  }
  player.composeFrame();
}

}  // namespace qov::fuzz
