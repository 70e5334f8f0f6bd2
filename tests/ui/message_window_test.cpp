#include <gtest/gtest.h>

#include <string>

#include "engine/ScriptError.h"
#include "tests/ui/message_rig.h"

namespace qov::testing {
namespace {

constexpr Argb kBlack = rgb(0, 0, 0);
constexpr Argb kSpeakerRed = MessageWindow::kPalette[12];
constexpr Argb kPassageTeal = MessageWindow::kPalette[3];

std::u32string repeat(char32_t c, int n) {
  return std::u32string(static_cast<std::size_t>(n), c);
}

class MessageWindowTest : public ::testing::Test {
 protected:
  Rig r;
  const int h = r.c.MES.font().lineHeight();

  // Cells of one line of the message window, in its own pixels.
  [[nodiscard]] Rect cells(int line, int first, int count) const {
    return Rect{first * kCell, line * h, count * kCell, h};
  }
  [[nodiscard]] const Image& mes() const { return r.c.MES.backing(); }
  [[nodiscard]] bool empty() const { return !inked(mes(), mes().bounds()); }

  // At each page wait: keep the window's picture, then answer with a left click on MES.
  void clickThrough(int waits, std::vector<Image>* pages = nullptr) {
    for (int i = 0; i < waits; ++i) {
      r.answers.emplace_back([this, pages] {
        if (pages != nullptr) pages->push_back(mes());
        r.click(r.c.MES);
      });
    }
  }
};

TEST_F(MessageWindowTest, SpeakerLineThenIndentedLineThenPageWaitLeavesTheWindowEmpty) {
  r.mes.MESHG(U"＆0ＡＢＣ");
  EXPECT_EQ(r.mes.speakerName(0), U"ＡＢＣ");
  EXPECT_TRUE(empty());

  Image atWait;
  std::vector<Image> pages;
  r.answers.emplace_back([&] {
    atWait = r.frame();
    pages.push_back(mes());
    r.click(r.c.MES);
  });
  r.mes.MESHG(U"：0おはよう。＾またね。￥");
  ASSERT_EQ(r.stalls, 1u);
  expectGolden(atWait, "message_speaker");

  const Image& page = pages.at(0);
  // 「ＡＢＣ」 takes the five cells of the indent in the speaker colour; the words follow in
  // the window's text colour, black until the first "＠".
  EXPECT_TRUE(hasColour(page, cells(0, 0, 5), kSpeakerRed));
  EXPECT_FALSE(hasColour(page, cells(0, 0, 5), kBlack));
  EXPECT_TRUE(hasColour(page, cells(0, 5, 5), kBlack));
  EXPECT_FALSE(hasColour(page, cells(0, 5, 5), kSpeakerRed));
  EXPECT_FALSE(inked(page, cells(0, 10, 27)));
  EXPECT_FALSE(inked(page, cells(1, 0, 5)));
  EXPECT_TRUE(hasColour(page, cells(1, 5, 4), kBlack));
  EXPECT_FALSE(inked(page, Rect{0, 2 * h, 504, 45}));

  EXPECT_TRUE(empty());
  EXPECT_EQ(r.headless.cursorLog(), (std::vector<Cursor>{Cursor::Wait, Cursor::Default}));
}

TEST_F(MessageWindowTest, LinesWrapAt32CellsAfterTheIndentAndAt37InAPassage) {
  ASSERT_EQ(r.c.MES.font().measure(U"あ"), kCell);
  std::vector<Image> pages;
  clickThrough(2, &pages);
  r.mes.MESHG(repeat(U'あ', 33) + U"￥＜" + repeat(U'い', 38) + U"￥");
  ASSERT_EQ(pages.size(), 2u);

  EXPECT_FALSE(inked(pages[0], cells(0, 0, 5)));
  EXPECT_TRUE(inked(pages[0], cells(0, 5, 1)));
  EXPECT_TRUE(inked(pages[0], cells(0, 36, 1)));
  EXPECT_FALSE(inked(pages[0], Rect{37 * kCell, 0, 504, 45}));  // 481 of 504 pixels used
  EXPECT_FALSE(inked(pages[0], cells(1, 0, 5)));
  EXPECT_TRUE(inked(pages[0], cells(1, 5, 1)));
  EXPECT_FALSE(inked(pages[0], cells(1, 6, 31)));

  EXPECT_TRUE(hasColour(pages[1], cells(0, 0, 1), kPassageTeal));
  EXPECT_TRUE(inked(pages[1], cells(0, 36, 1)));
  EXPECT_TRUE(hasColour(pages[1], cells(1, 0, 1), kPassageTeal));
  EXPECT_FALSE(inked(pages[1], cells(1, 1, 36)));
}

TEST_F(MessageWindowTest, TextThatFillsThePageWaitsAtOnceAndEndsEmpty) {
  std::vector<Image> pages;
  clickThrough(1, &pages);
  r.mes.MESHG(repeat(U'あ', 3 * 32));
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_TRUE(inked(pages[0], cells(2, 36, 1)));
  EXPECT_TRUE(empty());

  // One character more starts the next page, which stays in the window without a wait.
  r.answers.clear();
  r.stalls = 0;
  clickThrough(1);
  r.mes.MESHG(repeat(U'あ', 3 * 32 + 1));
  EXPECT_EQ(r.stalls, 1u);
  EXPECT_TRUE(inked(mes(), cells(0, 5, 1)));
  EXPECT_FALSE(inked(mes(), cells(0, 6, 31)));
}

TEST_F(MessageWindowTest, ClickWhileTypingWritesThePageAtOnceAndTheNextPageTypesAgain) {
  r.mes.MESHG(U"＃02");  // 100 ms a character from the next message on
  EXPECT_EQ(r.mes.charDelay(), 100);
  const std::uint64_t t0 = r.headless.now();
  const Rect m = r.c.MES.frameRect();
  r.headless.click(m.x + 10, m.y + 10, kLeftButton, t0 + 250);
  clickThrough(1);
  r.mes.MESHG(U"あいうえおかきくけこ￥さしすせそ");
  ASSERT_EQ(r.stallTimes.size(), 1u);
  // The click came during the third character's delay, which still runs out.
  EXPECT_GE(r.stallTimes[0], t0 + 300);
  EXPECT_LT(r.stallTimes[0], t0 + 400);
  // The click was used up: the page wait needed a click of its own, and the second page
  // types at 100 ms a character again.
  EXPECT_GE(r.headless.now(), r.stallTimes[0] + 500);
  EXPECT_LT(r.headless.now(), r.stallTimes[0] + 600);
}

TEST_F(MessageWindowTest, NewSpeedStartsAtTheNextPageOrMessage) {
  const auto timed = [this](std::u32string_view text, int waits = 0) {
    clickThrough(waits);
    const std::uint64_t start = r.headless.now();
    r.mes.MESHG(text);
    return r.headless.now() - start;
  };
  EXPECT_EQ(timed(U"＃02あいう￥えお", 1), 200u);
  EXPECT_EQ(r.stallTimes.back() + 200, r.headless.now());  // the first page had no delay
  EXPECT_EQ(timed(U"かき"), 200u);
  EXPECT_EQ(timed(U"＃00く"), 100u);
  EXPECT_EQ(timed(U"けこ"), 0u);
  EXPECT_EQ(timed(U"＃-1さし"), 0u);
  EXPECT_EQ(r.mes.charDelay(), -50);
  EXPECT_EQ(timed(U"すせ"), 0u);  // a negative delay types at once
}

TEST(MessageWindowClock, TypingDelayIsKeptAcrossAWrapOfTheTickCount) {
  Rig r(0xFFFFFFFFu - 150);
  r.mes.MESHG(U"＃02");
  const std::uint64_t start = r.headless.now();
  r.mes.MESHG(U"あいう");
  EXPECT_GE(r.headless.now() - start, 300u);
  EXPECT_LT(r.headless.now() - start, 400u);
}

TEST_F(MessageWindowTest, VariableValuesShowTheirLastTwoCharactersInOneColumn) {
  r.vars.setVar(1, 7);
  r.vars.setVar(2, 123);
  r.vars.setVar(3, -5);
  r.vars.setVar(4, -12);
  r.vars.setVar(5, 42);
  r.mes.MESHG(U"＄01＄02＄０３＄04＄05");
  PictureBox expected(r.headless, Rect{0, 0, 504, 45}, kWhite, kBlack,
                      FontSpec{FontFace::Gothic, 10.0, false});
  for (const std::u32string_view shown : {U" 7", U"23", U"-5", U"12", U"42"}) {
    expected.print(shown, kBlack);
  }
  EXPECT_EQ(mes(), expected.backing());  // no indent before a value

  // 37 values fill a line, so the next character opens line 1 with the indent.
  std::u32string text;
  for (int i = 0; i < 37; ++i) text += U"＄00";
  r.mes.MESHG(text + U"あ");
  EXPECT_FALSE(inked(mes(), cells(1, 0, 5)));
  EXPECT_TRUE(inked(mes(), cells(1, 5, 1)));
}

TEST_F(MessageWindowTest, ItemDisplayWaitsForAClickAndTheTextGoesOnWhereItWas) {
  r.vars.setItemCount(5, 1);
  bool shownDuringWait = false;
  r.answers.emplace_back([&] {
    shownDuringWait = r.c.ITEM.shown() && r.c.ITEM.rect.w == 120 && r.c.ITEM.rect.h == 100;
    EXPECT_EQ(r.items.ItemSel, 5);
    EXPECT_EQ(r.items.ItemWait, 0);
    EXPECT_EQ(r.headless.cursor(), Cursor::Wait);
    r.click(r.c.Picture1, kLeftButton);
  });
  r.mes.MESHG(U"あ＊05い");
  EXPECT_TRUE(shownDuringWait);
  EXPECT_FALSE(r.c.ITEM.visible);
  EXPECT_TRUE(inked(mes(), cells(0, 5, 1)));
  EXPECT_TRUE(inked(mes(), cells(0, 6, 1)));
  EXPECT_FALSE(inked(mes(), cells(1, 0, 37)));
}

TEST_F(MessageWindowTest, LineBreaksAndSpeakerLines) {
  // "＾" at the start of a line does nothing; two in a row give one break.
  r.mes.MESHG(U"＾＾あ＾＾い");
  EXPECT_TRUE(inked(mes(), cells(0, 5, 1)));
  EXPECT_TRUE(inked(mes(), cells(1, 5, 1)));
  EXPECT_FALSE(inked(mes(), cells(2, 0, 37)));

  // A speaker in mid-line starts the next line.
  r.mes.MESHG(U"＆1ＸＹＺあ：1い");
  EXPECT_FALSE(hasColour(mes(), cells(0, 0, 5), kSpeakerRed));
  EXPECT_TRUE(hasColour(mes(), cells(1, 0, 5), kSpeakerRed));
  EXPECT_TRUE(hasColour(mes(), cells(1, 5, 1), kBlack));

  // On the last line it first waits, then opens the new page with the name.
  std::vector<Image> pages;
  clickThrough(1, &pages);
  r.mes.MESHG(U"あ＾い＾う：1え");
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_TRUE(inked(pages[0], cells(2, 5, 1)));
  EXPECT_FALSE(hasColour(pages[0], cells(2, 0, 37), kSpeakerRed));
  EXPECT_TRUE(hasColour(mes(), cells(0, 0, 5), kSpeakerRed));
  EXPECT_TRUE(hasColour(mes(), cells(0, 5, 1), kBlack));
  EXPECT_FALSE(inked(mes(), Rect{0, h, 504, 45}));
}

TEST_F(MessageWindowTest, ColoursAndSpeakerNamesLastAcrossMessages) {
  const Argb maroon = MessageWindow::kPalette[4];
  r.mes.MESHG(U"＠04あ");
  r.mes.MESHG(U"い");
  EXPECT_TRUE(hasColour(mes(), cells(0, 5, 1), maroon));
  EXPECT_EQ(r.mes.textColor(), 4);

  // A message that ends in a passage leaves its colour; the next one is not a passage (it is
  // indented) but keeps the colour until the passage ends or a speaker speaks.
  r.mes.MESHG(U"＜う");
  EXPECT_TRUE(hasColour(mes(), cells(0, 0, 1), kPassageTeal));
  r.mes.MESHG(U"え＞お");
  EXPECT_TRUE(hasColour(mes(), cells(0, 5, 1), kPassageTeal));
  EXPECT_TRUE(hasColour(mes(), cells(0, 6, 1), maroon));
  r.mes.MESHG(U"＆2ＡＢＣ＜か：2き");
  EXPECT_TRUE(hasColour(mes(), cells(0, 0, 1), kPassageTeal));
  EXPECT_TRUE(hasColour(mes(), cells(1, 5, 1), maroon));

  // Name characters are taken as they are, mark-up included; the full-width hex digits count.
  r.mes.MESHG(U"＆Ａ＠＃￥＆ｂＰＱＲ");
  EXPECT_EQ(r.mes.speakerName(10), U"＠＃￥");
  EXPECT_EQ(r.mes.speakerName(11), U"ＰＱＲ");
  EXPECT_EQ(r.stalls, 0u);
  EXPECT_EQ(r.mes.textColor(), 4);
}

TEST_F(MessageWindowTest, RightClicksDuringAPageWaitToggleTheMenuWithoutEndingIt) {
  r.answers.emplace_back([&] { r.click(r.c.MES, kRightButton); });
  r.answers.emplace_back([&] {
    EXPECT_EQ(r.menu.MenuShown, 1);
    EXPECT_TRUE(r.c.LBcm.shown());
    r.click(r.c.Picture1, kRightButton);
  });
  r.answers.emplace_back([&] {
    EXPECT_EQ(r.menu.MenuShown, 0);
    r.click(r.c.MES, kMiddleButton);  // other buttons do nothing
  });
  r.answers.emplace_back([&] { r.click(r.c.Picture1); });
  r.mes.MESHG(U"あ￥");
  EXPECT_EQ(r.stalls, 4u);
}

TEST_F(MessageWindowTest, EmptyTextHidesTheMenuAndClearsTheWindow) {
  r.mes.MESHG(U"あ");
  r.menu.CMDS(1);
  r.mes.MESHG(U"");
  EXPECT_EQ(r.menu.MenuShown, 0);
  EXPECT_FALSE(r.c.LBcm.visible);
  EXPECT_TRUE(empty());
  EXPECT_EQ(r.stalls, 0u);

  r.mes.MESHG(U"あ");
  r.mes.clear();
  EXPECT_TRUE(empty());
}

TEST_F(MessageWindowTest, BadMarkUpArgumentsAreScriptErrors) {
  struct Case {
    std::u32string_view text;
    std::u32string_view error;
  };
  const Case cases[] = {
      {U"＠16", U"＠の引数が不正"}, {U"＠1", U"＠の引数が不正"},     {U"＠ａ1", U"＠の引数が不正"},
      {U"あ＠", U"＠の引数が不正"}, {U"＠-1", U"＠の引数が不正"},    {U"＃1x", U"＃の引数が不正"},
      {U"＃+1", U"＃の引数が不正"}, {U"＄31", U"＄の引数が不正"},    {U"＄-1", U"＄の引数が不正"},
      {U"＄ 1", U"＄の引数が不正"}, {U"＊17", U"＊の引数が不正"},    {U"＊0", U"＊の引数が不正"},
      {U"＆G", U"＆の引数が不正"},  {U"＆0ＡＢ", U"＆の引数が不正"}, {U"＆", U"＆の引数が不正"},
      {U"：Ｇ", U"：の引数が不正"}, {U"あ：", U"：の引数が不正"},
  };
  for (const Case& c : cases) {
    try {
      r.mes.MESHG(c.text);
      ADD_FAILURE() << "no error for a text of " << c.text.size() << " characters";
    } catch (const ScriptError& e) {
      EXPECT_EQ(e.text, c.error);
    }
  }
  EXPECT_EQ(r.stalls, 0u);
}

}  // namespace
}  // namespace qov::testing
