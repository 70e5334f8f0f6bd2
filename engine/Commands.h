#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>

#include "engine/Host.h"
#include "engine/SaveFile.h"
#include "engine/ScriptStore.h"
#include "engine/Variables.h"

namespace qov {

// What a command works on. The interpreter owns one and hands it to every command.
struct CommandContext {
  ScriptStore& store;
  Variables& vars;
  Host& host;
  const SaveFile& saveFile;
  const std::filesystem::path& gameDir;
  // The one return line of GOSUB; no loader resets it.
  std::int16_t ReturnLine = 0;
};

enum class TickEnd : std::uint8_t {
  goesOn,       // the next line runs in the same tick
  ends,         // the tick ends after the advance
  atOnce,       // the tick ends without the advance (ACMLD)
  programEnds,  // the command never returns (EOF, EXIT)
};

struct Command {
  std::u32string_view word;
  void (*run)(CommandContext&);
  TickEnd ends;
};

// The command table in the order of comparison.
[[nodiscard]] std::span<const Command> commandTable();
// Its words, in the same order.
[[nodiscard]] std::span<const std::u32string_view> commandWords();

// Control flow (jumps, subroutine, conditions, selection by a variable, menu cases).
void runNothing(CommandContext& c);
void runJump(CommandContext& c);
void runGOSUB(CommandContext& c);
void runRET(CommandContext& c);
void runIF(CommandContext& c);
void runFP(CommandContext& c);
void runFJ(CommandContext& c);
void runCMSL(CommandContext& c);
void runCASE(CommandContext& c);

// Variables and items.
void runINC(CommandContext& c);
void runDEC(CommandContext& c);
void runLET(CommandContext& c);
void runCLR(CommandContext& c);
void runITMS(CommandContext& c);

// Presentation, sound, scripts and the save file.
void runCMST(CommandContext& c);
void runMES(CommandContext& c);
void runADDCM(CommandContext& c);
void runDELCM(CommandContext& c);
void runGHG(CommandContext& c);
void runSOUND(CommandContext& c);
void runMUSPL(CommandContext& c);
void runCMDS(CommandContext& c);
void runACMLD(CommandContext& c);
void runOP(CommandContext& c);
void runLOAD(CommandContext& c);
void runSAVE(CommandContext& c);
void runEXIT(CommandContext& c);

}  // namespace qov
