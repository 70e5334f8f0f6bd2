#include "engine/MenuDefinition.h"

#include "engine/ErrorTexts.h"
#include "engine/ScriptError.h"

namespace qov::menus {

namespace {

[[noreturn]] void badDefinition() {
  throw ScriptError{U"メニュー定義が不正"};
}

}  // namespace

void checkMenu(int menu) {
  if (menu < 0 || menu >= kMenuCount) throw ScriptError{std::u32string(errors::kOutOfRange)};
}

void checkEntry(int entry) {
  if (entry < 0 || entry >= kEntryCount) throw ScriptError{std::u32string(errors::kOutOfRange)};
}

std::vector<Entries> parseDefinition(int menu, std::u32string_view text) {
  checkMenu(menu);
  std::vector<Entries> parts(1);
  int entry = -1;
  for (const char32_t x : text) {
    if (x == kMenuSeparator) {
      if (menu + static_cast<int>(parts.size()) >= kMenuCount) badDefinition();
      parts.emplace_back();
      entry = -1;
    } else if (isMarker(x)) {
      if (++entry >= kEntryCount) badDefinition();
      parts.back()[static_cast<std::size_t>(entry)] = x;
    } else {
      if (entry < 0) badDefinition();
      parts.back()[static_cast<std::size_t>(entry)] += x;
    }
  }
  return parts;
}

}  // namespace qov::menus
