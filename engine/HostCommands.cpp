// Commands that hand their work to the presentation, the sound, the loader or the save file.
#include <string>

#include "engine/Commands.h"
#include "platform/ProgramEnd.h"

namespace qov {

void runCMST(CommandContext& c) {
  const std::int16_t menu = c.store.CUTV(2);
  c.host.CMST(menu, c.store.CUTA(3));
}

void runMES(CommandContext& c) {
  c.host.MESHG(c.store.CUTA(2));
}

void runADDCM(CommandContext& c) {
  const std::u32string_view text = c.store.CUTA(4);
  const std::int16_t menu = c.store.CUTV(2);
  const std::int16_t entry = c.store.CUTV(3);
  c.host.setMenuText(menu, entry, text);
}

void runDELCM(CommandContext& c) {
  const std::int16_t menu = c.store.CUTV(2);
  const std::int16_t entry = c.store.CUTV(3);
  c.host.setMenuText(menu, entry, U"");
}

void runGHG(CommandContext& c) {
  // The window is cleared before the name is read: a GHG without one still clears it.
  c.host.clearMessageWindow();
  c.host.GHG(c.store.CUTA(2));
}

void runSOUND(CommandContext& c) {
  const std::u32string_view name = c.store.CUTA(2);
  c.host.playSound(name, c.store.CUTV(3));
}

void runMUSPL(CommandContext& c) {
  const std::u32string_view name = c.store.CUTA(2);
  c.host.MUSPL(name, c.store.CUTV(3));
}

void runCMDS(CommandContext& c) {
  c.host.CMDS(c.store.CUTV(2));
}

void runACMLD(CommandContext& c) {
  // A copy: loading overwrites the line that holds the name.
  const std::u32string name(c.store.CUTA(2));
  c.store.ACMLOAD(c.gameDir, name);
}

void runOP(CommandContext& c) {
  c.host.OP();
}

void runLOAD(CommandContext& c) {
  if (const auto notice = c.saveFile.load(c.vars)) c.host.showNotice(*notice);
}

void runSAVE(CommandContext& c) {
  if (const auto notice = c.saveFile.save(c.vars)) c.host.showNotice(*notice);
}

// EOF and EXIT: unloading the window ends the program.
void runEXIT(CommandContext& c) {
  c.host.unload();
  throw ProgramEnd{0};
}

}  // namespace qov
