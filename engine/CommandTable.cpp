#include <array>

#include "engine/Commands.h"

namespace qov {
namespace {

using enum TickEnd;

// Words are compared in this order; the first equal one runs.
constexpr std::array kCommands{
    Command{U"CMST", runCMST, goesOn},
    Command{U"CMSL", runCMSL, ends},
    Command{U"CASE", runCASE, goesOn},
    Command{U"ENDCM", runNothing, goesOn},
    Command{U"DO", runNothing, goesOn},
    Command{U"DORT", runJump, goesOn},
    Command{U"DOEX", runJump, goesOn},
    Command{U"LOOP", runJump, goesOn},
    Command{U"GOTO", runJump, goesOn},
    Command{U"GOSUB", runGOSUB, goesOn},
    Command{U"RET", runRET, goesOn},
    Command{U"IF", runIF, ends},
    Command{U"ELSE", runJump, goesOn},
    Command{U"ENDIF", runNothing, goesOn},
    Command{U"EVA", runIF, ends},
    Command{U"ENDEV", runNothing, goesOn},
    Command{U"FP", runFP, ends},
    Command{U"ENDFP", runNothing, goesOn},
    Command{U"FJ", runFJ, goesOn},
    Command{U"ENDFJ", runNothing, goesOn},
    Command{U"INC", runINC, goesOn},
    Command{U"DEC", runDEC, goesOn},
    Command{U"MES", runMES, ends},
    Command{U"LET", runLET, goesOn},
    Command{U"ADDCM", runADDCM, goesOn},
    Command{U"DELCM", runDELCM, goesOn},
    Command{U"CLR", runCLR, goesOn},
    Command{U"FGCL", runCLR, goesOn},
    Command{U"GHG", runGHG, ends},
    Command{U"ITMS", runITMS, goesOn},
    Command{U"SOUND", runSOUND, ends},
    Command{U"MUSPL", runMUSPL, ends},
    Command{U"CMDS", runCMDS, goesOn},
    Command{U"ACMLD", runACMLD, atOnce},
    Command{U"OP", runOP, ends},
    Command{U"LOAD", runLOAD, ends},
    Command{U"SAVE", runSAVE, ends},
    Command{U"EOF", runEXIT, programEnds},
    Command{U"EXIT", runEXIT, programEnds},
};

constexpr auto kWords = [] {
  std::array<std::u32string_view, kCommands.size()> words{};
  for (std::size_t i = 0; i < kCommands.size(); ++i) words[i] = kCommands[i].word;
  return words;
}();

}  // namespace

std::span<const Command> commandTable() {
  return kCommands;
}

std::span<const std::u32string_view> commandWords() {
  return kWords;
}

}  // namespace qov
