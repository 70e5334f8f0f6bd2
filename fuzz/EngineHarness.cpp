// The harnesses of the engine's readers: conditions, save file, scripts.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "engine/Commands.h"
#include "engine/Conditions.h"
#include "engine/SaveFile.h"
#include "engine/ScriptError.h"
#include "engine/ScriptStore.h"
#include "engine/Variables.h"
#include "fuzz/FuzzSupport.h"
#include "fuzz/Harness.h"
#include "platform/Encoding.h"

namespace qov::fuzz {
namespace {

void require(bool holds, const char* what) {
  if (!holds) throw Violation(what);
}

// Lines end at CR LF or a lone CR; a last line without its end counts.
int lineCount(std::string_view bytes) {
  int count = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r') continue;
    ++count;
    if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
  }
  if (!bytes.empty() && bytes.back() != '\r' && !bytes.ends_with("\r\n")) ++count;
  return count;
}

void checkDecoding(std::string_view bytes) {
  const std::optional<std::u32string> strict = decodeCp932(bytes);
  const std::u32string lenient = decodeCp932Lenient(bytes);
  require(lenient.size() <= bytes.size(), "lenient decoding made more characters than bytes");
  if (!strict) return;
  require(*strict == lenient, "lenient decoding differs on valid CP932");
  require(decodeCp932(encodeCp932(*strict)) == strict, "CP932 text does not survive a round trip");
}

// Every field of every line reads back as the line's text split at its commas.
void checkFields(ScriptStore& store, int lines) {
  for (int l = 0; l <= lines && l <= ScriptStore::kMaxLines; ++l) {
    store.setLineNo(static_cast<std::int16_t>(l));
    const std::u32string_view text = store.ScriptLine(l);
    std::u32string joined;
    for (int n = 1;; ++n) {
      std::u32string_view field;
      try {
        field = store.CUTA(n);
      } catch (const ScriptError&) {
        break;
      }
      if (n > 1) joined += U',';
      joined += field;
      try {
        static_cast<void>(store.CUTV(n));
      } catch (const ScriptError&) {
      }
    }
    require(joined == text, "the fields of a line do not make up the line");
    static_cast<void>(store.command());
  }
}

}  // namespace

void runConditions(std::string_view input) {
  Variables vars;
  // Values around the constants' range, so that comparisons go both ways.
  for (int i = 0; i < Variables::kVarCount; ++i) {
    vars.setVar(i, static_cast<std::int16_t>((i * 37) % 120 - 10));
  }
  for (int i = 0; i < Variables::kItemCount; ++i) {
    vars.setItemCount(i, static_cast<std::int16_t>(i % 4 - 1));
  }
  try {
    const std::int16_t result = TCHK(decodeCp932Lenient(input), vars);
    require(result == -1 || result == 0, "a condition is neither true (-1) nor false (0)");
  } catch (const ScriptError&) {
  }
}

void runSaveFile(std::string_view input) {
  const auto parsed = SaveFile::parse(input);
  if (const auto* bad = std::get_if<SaveFile::BadLine>(&parsed)) {
    require(bad->line >= 1 && bad->line <= SaveFile::kLineCount, "a bad line outside the file");
    return;
  }
  const SaveFile::State& state = std::get<SaveFile::State>(parsed);
  Variables vars;
  vars.assign(state.vars, state.counts, state.names);
  const auto again = SaveFile::parse(SaveFile::format(vars));
  const auto* back = std::get_if<SaveFile::State>(&again);
  require(back != nullptr && back->vars == state.vars && back->counts == state.counts &&
              back->names == state.names,
          "a save file read and written again does not read back the same");
}

void runDecoder(std::string_view input) {
  static const ScratchDir dir("decoder");
  checkDecoding(input);
  writeFile(dir.path() / "fz.QOV", input);
  // One store for the process, as in the player, where every script loads over the last one;
  // only the lines of this input are checked, so a run depends on its input alone.
  static const Variables vars = [] {
    Variables v;
    for (int i = 0; i < Variables::kVarCount; ++i) v.setVar(i, static_cast<std::int16_t>(i));
    return v;
  }();
  static ScriptStore store(vars, commandWords());
  int lines = lineCount(input);
  try {
    store.ACMLOAD(dir.path(), U"fz");
    require(store.lineNo() == 1, "a load does not start at line 1");
    require(lines <= ScriptStore::kMaxLines, "a script of over 2000 lines loaded");
  } catch (const ScriptError&) {
    // The load failure leaves LineNo where the load stopped, possibly past the table.
    static_cast<void>(store.ScriptLine(store.lineNo()));
    lines = std::min<int>(store.lineNo(), ScriptStore::kMaxLines) - 1;
  }
  checkFields(store, std::min(lines, 256));
}

}  // namespace qov::fuzz
