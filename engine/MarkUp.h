#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qov::markup {

// The full-width mark-up of a message. The message window draws what these elements say; the
// checker reads every message with the same scanner, so both refuse the same texts.
enum class Kind : std::uint8_t {
  text,         // an ordinary character
  speakerName,  // "＆" h and three characters: SpeakerName(h) := name
  colour,       // "＠" nn: TextColor := nn
  speed,        // "＃" nn: CharDelay := nn * 50
  page,         // "￥": page wait
  lineBreak,    // "＾"
  passageOn,    // "＜"
  passageOff,   // "＞"
  speakerLine,  // "：" h
  value,        // "＄" nn: Vars(nn) as two characters
  item,         // "＊" nn: the item sheet's cell nn in display mode
};

inline constexpr int kPaletteSize = 16;
inline constexpr int kVariableCount = 31;
// The sheet's last cell (17) belongs to no item but can still be shown.
inline constexpr int kLastItemCell = 17;

struct Element {
  Kind kind = Kind::text;
  // The character (text), the hex digit, or the two-character decimal argument.
  int argument = 0;
  // The three characters of a speaker's name, taken as they stand.
  std::u32string_view name;
  // Index of the element's last character: the scan goes on after it.
  std::size_t last = 0;
};

// The element that starts at `pos` (0-based, inside `text`). A mark-up whose argument is
// refused (not a digit, out of its table, cut off by the end of the text) throws ScriptError
// with the mark and "の引数が不正".
[[nodiscard]] Element readElement(std::u32string_view text, std::size_t pos);

// Reads every element of `text`, as the message window does; throws ScriptError at the first
// refused one.
void checkText(std::u32string_view text);

}  // namespace qov::markup
