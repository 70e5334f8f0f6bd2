#include "engine/MarkUp.h"

#include <optional>
#include <string>

#include "engine/ScriptError.h"

namespace qov::markup {

namespace {

std::optional<int> decimalDigit(char32_t c) {
  if (c >= U'0' && c <= U'9') return static_cast<int>(c - U'0');
  if (c >= U'０' && c <= U'９') return static_cast<int>(c - U'０');
  return std::nullopt;
}

std::optional<int> hexDigit(char32_t c) {
  if (const auto d = decimalDigit(c)) return d;
  if (c >= U'A' && c <= U'F') return static_cast<int>(c - U'A') + 10;
  if (c >= U'a' && c <= U'f') return static_cast<int>(c - U'a') + 10;
  if (c >= U'Ａ' && c <= U'Ｆ') return static_cast<int>(c - U'Ａ') + 10;
  if (c >= U'ａ' && c <= U'ｆ') return static_cast<int>(c - U'ａ') + 10;
  return std::nullopt;
}

[[noreturn]] void badArgument(char32_t mark) {
  std::u32string text(1, mark);
  text += U"の引数が不正";
  throw ScriptError{std::move(text)};
}

// Two characters after the mark read as a signed number: ASCII or full-width digits, or a sign
// ("-" or "+") and one digit.
int decimalArgument(std::u32string_view text, std::size_t pos) {
  const char32_t mark = text[pos];
  if (text.size() - pos <= 2) badArgument(mark);
  const char32_t first = text[pos + 1];
  const auto ones = decimalDigit(text[pos + 2]);
  if (!ones) badArgument(mark);
  if (first == U'-') return -*ones;
  if (first == U'+') return *ones;
  const auto tens = decimalDigit(first);
  if (!tens) badArgument(mark);
  return *tens * 10 + *ones;
}

int hexArgument(std::u32string_view text, std::size_t pos) {
  const char32_t mark = text[pos];
  if (text.size() - pos <= 1) badArgument(mark);
  const auto h = hexDigit(text[pos + 1]);
  if (!h) badArgument(mark);
  return *h;
}

// A decimal argument that must index a table of `size` entries.
Element indexElement(Kind kind, std::u32string_view text, std::size_t pos, int size) {
  const int n = decimalArgument(text, pos);
  if (n < 0 || n >= size) badArgument(text[pos]);
  return {kind, n, {}, pos + 2};
}

}  // namespace

Element readElement(std::u32string_view text, std::size_t pos) {
  const char32_t c = text[pos];
  switch (c) {
    case U'＆': {
      const int h = hexArgument(text, pos);
      if (text.size() - pos <= 4) badArgument(c);
      return {Kind::speakerName, h, text.substr(pos + 2, 3), pos + 4};
    }
    case U'＠':
      return indexElement(Kind::colour, text, pos, kPaletteSize);
    case U'＃':
      return {Kind::speed, decimalArgument(text, pos), {}, pos + 2};
    case U'￥':
      return {Kind::page, 0, {}, pos};
    case U'＾':
      return {Kind::lineBreak, 0, {}, pos};
    case U'＜':
      return {Kind::passageOn, 0, {}, pos};
    case U'＞':
      return {Kind::passageOff, 0, {}, pos};
    case U'：':
      return {Kind::speakerLine, hexArgument(text, pos), {}, pos + 1};
    case U'＄':
      return indexElement(Kind::value, text, pos, kVariableCount);
    case U'＊':
      return indexElement(Kind::item, text, pos, kLastItemCell + 1);
    default:
      return {Kind::text, static_cast<int>(c), {}, pos};
  }
}

void checkText(std::u32string_view text) {
  for (std::size_t pos = 0; pos < text.size(); pos = readElement(text, pos).last + 1) {
  }
}

}  // namespace qov::markup
