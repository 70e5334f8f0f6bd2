#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/MenuDefinition.h"
#include "engine/Variables.h"
#include "platform/Image.h"

namespace qov {

// Everything a game needs to go on exactly where the player is, taken where the game waits for
// the player: at a page of a message, at a menu, in the item window. Save states, rollback and
// the autosave all keep these; the window fills one in (Qov::snapshot) and goes on from one
// (Qov::restore).
struct GameSnapshot {
  // What the game waits for.
  enum class Wait : std::uint8_t {
    Page,   // a page of the message being written (an item's picture in it included)
    Menu,   // a page of the command menu
    Items,  // the item window, opened by a menu entry
  };

  // The variables and items.
  struct Memory {
    std::array<std::int16_t, Variables::kVarCount> vars{};
    std::array<std::int16_t, Variables::kItemCount> itemCounts{};
    std::array<std::u32string, Variables::kItemCount> itemNames{};
    friend bool operator==(const Memory&, const Memory&) = default;
  };

  // The message window's lasting attributes: names from "＆", the delay from "＃", the colour
  // index from "＠" and the colour the next text is written in.
  struct Writing {
    std::array<std::u32string, 16> speakerNames{};
    std::int16_t charDelay = 0;
    std::int16_t textColor = 0;
    Argb foreColor = 0;
    friend bool operator==(const Writing&, const Writing&) = default;
  };

  // A message as it began: what the window needs to write it again to the same pixels.
  struct Message {
    std::u32string text;
    Writing writing;  // at its start
    Memory memory;    // the values it shows
    std::int16_t itemSel = 0;
    std::int16_t itemWait = 0;
    friend bool operator==(const Message&, const Message&) = default;
  };

  // ---- The script engine ----
  // Every line of the store, 0 to 2000: a shorter script never clears the lines above its own.
  // Shared between snapshots, as it changes only when a script is loaded.
  std::shared_ptr<const std::vector<std::u32string>> lines;
  std::string scriptFile;  // loaded last, relative to the game folder, as on disk
  std::int16_t lineNo = 0;
  std::int16_t caseEndLine = 0;
  std::int16_t returnLine = 0;
  Memory memory;

  // ---- The command menu ----
  std::array<menus::Entries, menus::kMenuCount> menuText{};
  std::int16_t menuShown = 0;
  // The captions its labels show (the header, then the five entries).
  std::u32string header;
  std::array<std::u32string, menus::kEntryCount> entries{};

  // ---- The message window ----
  Writing writing;  // in force at the wait
  // The message the window shows, as it began; none when the window was cleared after it
  // (or before any). Shared by the snapshots of its pages.
  std::shared_ptr<const Message> message;

  // ---- The item window ----
  std::int16_t itemSel = 0;
  std::int16_t itemWait = 0;

  // ---- The scene picture: the name GHG was given last, and a hash of its file's bytes ----
  std::u32string picture;
  std::uint64_t pictureHash = 0;

  // ---- Sound ----
  // The piece MUSPL opened last (mode 1) and the mode of its last call.
  std::u32string musicPiece;
  std::int16_t musicMode = 0;
  // An effect that loops until the next one (its file name with ".wav" and its flags).
  std::u32string loopingSound;
  std::int16_t loopingSoundFlags = 0;

  // ---- Where the game waits ----
  Wait wait = Wait::Page;
  // Page: the page waits of the message before this one.
  std::uint32_t page = 0;
  // Menu and Items: the menu CMSL was asked for, the page it shows, and for Items the label
  // whose "￥" entry opened the item window.
  std::int16_t menu = 0;
  std::int16_t menuPage = 0;
  std::int16_t menuLabel = 0;
};

}  // namespace qov
