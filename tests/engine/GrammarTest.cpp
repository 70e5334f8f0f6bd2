// The mark-up of messages and the menu definitions, as the message window, the command menu and
// the checker all read them.
#include <gtest/gtest.h>

#include <string>

#include "engine/MarkUp.h"
#include "engine/MenuDefinition.h"
#include "engine/ScriptError.h"
#include "platform/Encoding.h"

namespace qov::test {
namespace {

std::u32string refusal(std::u32string_view text, void (*read)(std::u32string_view)) {
  try {
    read(text);
  } catch (const ScriptError& e) {
    return e.text;
  }
  return {};
}

void readMenu(std::u32string_view text) {
  static_cast<void>(menus::parseDefinition(8, text));
}

TEST(MarkUp, ArgumentsAreReadAsTheMessageWindowReadsThem) {
  using markup::Kind;
  const struct {
    std::u32string_view text;
    Kind kind;
    int argument;
    std::size_t last;
  } cases[] = {
      {U"＃05", Kind::speed, 5, 2},        {U"＃+5", Kind::speed, 5, 2},
      {U"＃-1", Kind::speed, -1, 2},       {U"＠１５", Kind::colour, 15, 2},
      {U"＄+7", Kind::value, 7, 2},        {U"＊17", Kind::item, 17, 2},
      {U"：ｂ", Kind::speakerLine, 11, 1}, {U"＆Ａ＠＃￥", Kind::speakerName, 10, 4},
      {U"あ", Kind::text, U'あ', 0},       {U"＾", Kind::lineBreak, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(toUtf8(c.text));
    const markup::Element e = markup::readElement(c.text, 0);
    EXPECT_EQ(e.kind, c.kind);
    EXPECT_EQ(e.argument, c.argument);
    EXPECT_EQ(e.last, c.last);
  }
  EXPECT_EQ(markup::readElement(U"＆0＠＃￥x", 0).name, U"＠＃￥");
}

TEST(MarkUp, RefusedArgumentsNameTheirMark) {
  for (const std::u32string_view text :
       {U"＠16", U"＠1", U"＠ａ1", U"あ＠", U"＠-1", U"＃1x", U"＃+x", U"＄31", U"＄-1", U"＄ 1",
        U"＊18", U"＊-1", U"＆G", U"＆0ＡＢ", U"＆", U"：Ｇ", U"あ：", U"＄05＊0"}) {
    const char32_t mark = text[text.find_last_of(U"＠＃＄＊＆：")];
    EXPECT_EQ(refusal(text, markup::checkText), std::u32string(1, mark) + U"の引数が不正")
        << toUtf8(text);
  }
  EXPECT_EQ(refusal(U"：0＆1ＡＢＣ＄30＊00￥＜＞＾", markup::checkText), U"");
}

TEST(MenuDefinition, PartsFillFromTheirFirstEntryAndBadOnesAreRefused) {
  const auto parts = menus::parseDefinition(2, U"＊A＊B３C・＊D＠E・");
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_EQ(parts[0], (menus::Entries{U"＊A", U"＊B", U"３C", U"", U""}));
  EXPECT_EQ(parts[1], (menus::Entries{U"＊D", U"＠E", U"", U"", U""}));
  EXPECT_EQ(parts[2], menus::Entries{});
  EXPECT_EQ(menus::parseDefinition(9, U"").size(), 1u);

  const std::u32string bad = U"メニュー定義が不正";
  for (const std::u32string_view text :
       {U"A＊B", U"＊A・B", U"＊1＊2＊3＊4＊5＊6", U"＊A・＊B・＊C"}) {
    EXPECT_EQ(refusal(text, readMenu), bad) << toUtf8(text);
  }
  EXPECT_EQ(refusal(U"＊A", readMenu), U"");
}

}  // namespace
}  // namespace qov::test
