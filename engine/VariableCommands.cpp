// Commands on the variables and items. Fields are read in the order the commands always read
// them: a missing field is reported when it is read, after what was stored before it.
#include <string>

#include "engine/Commands.h"
#include "engine/Decimal.h"
#include "engine/ErrorTexts.h"
#include "engine/ScriptError.h"

namespace qov {

void runINC(CommandContext& c) {
  const std::int16_t i = c.store.CUTV(2);
  const std::int16_t limit = c.store.CUTV(3);
  const std::int16_t value = c.vars.var(i);
  // The limit acts only on equality: a variable already above it goes on counting.
  if (value != limit) {
    c.vars.setVar(i, addChecked(value, 1));
  } else if (c.store.CUTA(4) == U"L") {
    c.vars.setVar(i, 1);
  }
}

void runDEC(CommandContext& c) {
  const std::int16_t i = c.store.CUTV(2);
  const std::int16_t value = c.vars.var(i);
  if (value > 0) c.vars.setVar(i, static_cast<std::int16_t>(value - 1));
}

void runLET(CommandContext& c) {
  const std::int16_t value = c.store.CUTV(3);
  c.vars.setVar(c.store.CUTV(2), value);
}

// CLR and FGCL.
void runCLR(CommandContext& c) {
  const int last = c.store.CUTV(3);
  const int first = c.store.CUTV(2);
  for (int k = first; k <= last; ++k) c.vars.setVar(k, 0);
}

void runITMS(CommandContext& c) {
  const std::int16_t count = c.store.CUTV(3);
  // The item number is a plain decimal here: no variable reference.
  const ParsedNumber item = parseDecimal(c.store.CUTA(2));
  if (item.status == NumberStatus::overflow) throw ScriptError{std::u32string(errors::kOverflow)};
  if (item.status != NumberStatus::ok) throw ScriptError{std::u32string(errors::kNotNumber)};
  c.vars.setItemCount(item.value, count);
  const std::u32string_view name = c.store.CUTA(4);
  if (name == U"-") return;
  c.vars.setItemName(c.store.CUTV(2), std::u32string(name));
}

}  // namespace qov
