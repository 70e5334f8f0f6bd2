#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qov::menus {

// The menu definitions of CMST and ADDCM. The command menu keeps the table and runs it; the
// checker reads every definition with the same parser, so both refuse the same texts.
inline constexpr int kMenuCount = 10;
inline constexpr int kEntryCount = 5;

// An entry is a marker character followed by its caption; "" is no entry.
using Entries = std::array<std::u32string, kEntryCount>;

inline constexpr char32_t kCommandMarker = U'＊';
inline constexpr char32_t kBackMarker = U'＠';
inline constexpr char32_t kItemMarker = U'￥';
inline constexpr char32_t kMenuSeparator = U'・';

[[nodiscard]] constexpr bool isSubmenuMarker(char32_t c) {
  return c >= U'０' && c <= U'９';
}
[[nodiscard]] constexpr bool isMarker(char32_t c) {
  return c == kCommandMarker || c == kBackMarker || c == kItemMarker || isSubmenuMarker(c);
}
// Whether choosing an entry with this marker can end the menu with its choice code.
[[nodiscard]] constexpr bool endsMenu(char32_t marker) {
  return marker == kCommandMarker || marker == kItemMarker;
}

// Throw ScriptError ("範囲外") outside the tables.
void checkMenu(int menu);
void checkEntry(int entry);

// The menus a CMST definition defines, from `menu` on: one per part separated by "・", each
// cleared first. A definition the player would refuse (a part that does not begin with a
// marker, over five entries in a part, a "・" past menu 9) throws ScriptError
// ("メニュー定義が不正") before anything is defined.
[[nodiscard]] std::vector<Entries> parseDefinition(int menu, std::u32string_view text);

}  // namespace qov::menus
