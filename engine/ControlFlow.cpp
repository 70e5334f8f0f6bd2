// The commands that move LineNo. Blocks do not nest for the interpreter: the END words do
// nothing and serve as landing lines; the only search is the one after a menu choice.
#include <string>

#include "engine/Commands.h"
#include "engine/Conditions.h"
#include "engine/Decimal.h"
#include "engine/ErrorTexts.h"
#include "engine/ScriptError.h"

namespace qov {
namespace {

[[noreturn]] void fail(std::u32string_view text) {
  throw ScriptError{std::u32string(text)};
}

// The line n lines after the current one, when n is at least 1 and it does not pass the end
// line (FP and FJ).
std::int16_t chosenLine(const CommandContext& c, int n, std::int16_t endLine,
                        std::u32string_view error) {
  const std::int16_t lineNo = c.store.lineNo();
  if (n < 1 || lineNo + n > endLine) fail(error);
  return addChecked(lineNo, n);
}

}  // namespace

void runNothing(CommandContext&) {}

// GOTO, DORT, DOEX, LOOP and ELSE.
void runJump(CommandContext& c) {
  c.store.setLineNo(c.store.CUTV(2));
}

void runGOSUB(CommandContext& c) {
  c.ReturnLine = addChecked(c.store.lineNo(), 1);
  c.store.setLineNo(c.store.CUTV(2));
}

void runRET(CommandContext& c) {
  c.store.setLineNo(c.ReturnLine);
}

// IF and EVA; field 3 is read only when the condition fails.
void runIF(CommandContext& c) {
  if (TCHK(c.store.CUTA(2), c.vars) == 0) c.store.setLineNo(c.store.CUTV(3));
}

void runFP(CommandContext& c) {
  const std::int16_t endLine = c.store.CUTV(3);
  const int n = c.vars.var(c.store.CUTV(2));
  const std::int16_t fpLine = c.store.lineNo();
  c.store.setLineNo(chosenLine(c, n, endLine, errors::kFp));
  try {
    c.host.MESHG(c.store.CUTA(1));
  } catch (const ScriptError&) {
    // A fault in the message's mark-up is reported with the FP line, as for MES.
    c.store.setLineNo(fpLine);
    throw;
  }
  c.store.setLineNo(endLine);
}

void runFJ(CommandContext& c) {
  const int n = c.vars.var(c.store.CUTV(2));
  const std::int16_t endLine = c.store.CUTV(3);
  c.store.setLineNo(chosenLine(c, n, endLine, errors::kFj));
  c.store.setLineNo(c.store.CUTV(1));
}

void runCMSL(CommandContext& c) {
  c.store.setCaseEndLine(c.store.CUTV(3));
  const std::int16_t code = c.host.CMSL(c.store.CUTV(2));
  // The first CASE with the code or the first ENDCM ends the search, wherever they stand:
  // the search knows no nesting.
  while (true) {
    if (c.store.lineNo() >= ScriptStore::kMaxLines) fail(errors::kNoEndcm);
    c.store.setLineNo(addChecked(c.store.lineNo(), 1));
    const std::u32string_view word = c.store.CUTA(1);
    if (word == U"CASE" && c.store.CUTV(2) == code) {
      c.store.setLineNo(addChecked(c.store.lineNo(), 1));
      return;
    }
    if (word == U"ENDCM") fail(U"CASE" + formatSigned(code) + U"無し");
  }
}

// A CASE reached in normal flow ends the case block just run.
void runCASE(CommandContext& c) {
  c.store.setLineNo(c.store.caseEndLine());
}

}  // namespace qov
