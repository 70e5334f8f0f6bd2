#include <gtest/gtest.h>

#include <string>

#include "engine/ScriptError.h"
#include "tests/ui/UiTestSupport.h"

namespace qov::test {
namespace {

constexpr int kCell = 13;  // a full-width glyph's advance; a line holds 37
constexpr Argb kSpeakerRed = MessageWindow::kPalette[12];
constexpr Argb kPassageTeal = MessageWindow::kPalette[3];

std::u32string repeat(char32_t c, int n) {
  return std::u32string(static_cast<std::size_t>(n), c);
}

class MessageWindowTest : public ::testing::Test {
 protected:
  Window w;
  const int h = w.c.MES.font().lineHeight();

  [[nodiscard]] Rect cells(int line, int first, int n) const {
    return Rect{first * kCell, line * h, n * kCell, h};
  }
  [[nodiscard]] const Image& mes() const { return w.c.MES.backing(); }
  [[nodiscard]] static bool inked(const Image& page, const Rect& area) {
    const Rect r = area.intersect(page.bounds());
    return count(page, r, kWhite) < r.w * r.h;
  }
  // Answers the next page waits with a left click, keeping what the window showed.
  void clickThrough(int waits, std::vector<Image>* pages = nullptr) {
    for (int i = 0; i < waits; ++i) {
      w.then([this, pages] {
        if (pages) pages->push_back(mes());
        w.click(w.c.MES);
      });
    }
  }
  void MES(std::u32string_view text) { w.window.MESHG(text); }
};

TEST(MessageWindowInQov, MarkUpPageWaitsRightClicksItemDisplayAndABadArgument) {
  Window run(kUiData / "message");
  const int h = run.c.MES.font().lineHeight();
  run.then([&] {
    expectGolden(run.window.composeFrame(), "message_speaker");
    run.click(run.c.MES, kRightButton);  // right clicks toggle the menu and keep waiting
  });
  run.then([&] {
    EXPECT_TRUE(run.c.LBcm.shown());
    run.click(run.c.Picture1, kRightButton);
  });
  run.then([&] {
    EXPECT_EQ(run.window.menu().MenuShown, 0);
    run.click(run.c.MES, kMiddleButton);  // does nothing
  });
  run.then([&] { run.click(run.c.MES); });
  run.then([&] {  // "＠04値は＄03。＊05つぎ": item 5 shown, the text in colour 4
    EXPECT_TRUE(run.c.ITEM.shown());
    EXPECT_EQ(run.c.ITEM.rect.w, 120);
    EXPECT_EQ(run.window.items().ItemSel, 5);
    EXPECT_TRUE(any(run.c.MES.backing(), Rect{65, 0, 26, h}, MessageWindow::kPalette[4]));
    run.click(run.c.Picture1);
  });
  run.then([&] {  // FP chose its second line, a passage
    EXPECT_FALSE(run.c.ITEM.shown());
    EXPECT_TRUE(any(run.c.MES.backing(), Rect{0, 0, kCell, h}, kPassageTeal));
    run.click(run.c.MES);
  });
  EXPECT_EQ(run.run(), 1);
  EXPECT_EQ(run.stalls, 6u);
  ASSERT_EQ(run.platform.messageBoxes().size(), 1u);
  EXPECT_EQ(run.platform.messageBoxes()[0].text, "＠の引数が不正( 11)\rMES,＠99");
  EXPECT_EQ(run.window.messages().speakerName(0), U"ＡＢＣ");
}

TEST_F(MessageWindowTest, LinesWrapAt32CellsAfterTheIndentAndAt37InAPassage) {
  ASSERT_EQ(w.c.MES.font().measure(U"あ"), kCell);
  std::vector<Image> pages;
  clickThrough(2, &pages);
  MES(repeat(U'あ', 33) + U"￥＜" + repeat(U'い', 38) + U"￥");
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_FALSE(inked(pages[0], cells(0, 0, 5)));
  EXPECT_TRUE(inked(pages[0], cells(0, 5, 1)));
  EXPECT_TRUE(inked(pages[0], cells(0, 36, 1)));
  EXPECT_FALSE(inked(pages[0], Rect{37 * kCell, 0, 504, 45}));
  EXPECT_FALSE(inked(pages[0], cells(1, 0, 5)));
  EXPECT_TRUE(inked(pages[0], cells(1, 5, 1)));
  EXPECT_FALSE(inked(pages[0], cells(1, 6, 31)));
  EXPECT_TRUE(any(pages[1], cells(0, 0, 1), kPassageTeal));
  EXPECT_TRUE(inked(pages[1], cells(0, 36, 1)));
  EXPECT_TRUE(any(pages[1], cells(1, 0, 1), kPassageTeal));
  EXPECT_FALSE(inked(pages[1], cells(1, 1, 36)));
}

TEST_F(MessageWindowTest, TextThatFillsThePageWaitsAtOnceAndOneMoreStaysOnTheNextPage) {
  std::vector<Image> pages;
  clickThrough(2, &pages);
  MES(repeat(U'あ', 3 * 32));
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_TRUE(inked(pages[0], cells(2, 36, 1)));
  EXPECT_FALSE(inked(mes(), mes().bounds()));
  MES(repeat(U'あ', 3 * 32 + 1));
  EXPECT_EQ(w.stalls, 2u);
  EXPECT_TRUE(inked(mes(), cells(0, 5, 1)));
  EXPECT_FALSE(inked(mes(), cells(0, 6, 31)));
}

TEST(MessageWindowTyping, ClickWhileTypingEndsThePageAlsoAcrossAWrapOfTheTickCount) {
  for (const std::uint32_t tickBase : {0u, 0xFFFFFFFFu - 150}) {
    Window t;
    t.platform.setTickBase(tickBase);
    t.window.MESHG(U"＃02");  // 100 ms a character from the next message on
    const std::uint64_t t0 = t.platform.now();
    const Rect m = t.c.MES.frameRect();
    t.platform.click(m.x + 10, m.y + 10, kLeftButton, t0 + 250);
    t.then([&] { t.click(t.c.MES); });
    t.window.MESHG(U"あいうえおかきくけこ￥さしすせそ");
    ASSERT_EQ(t.stallTimes.size(), 1u);
    // The third character's delay still runs out; the click does not also end the page wait,
    // and the next page types again.
    EXPECT_GE(t.stallTimes[0], t0 + 300);
    EXPECT_LT(t.stallTimes[0], t0 + 400);
    EXPECT_GE(t.platform.now(), t.stallTimes[0] + 500);
    EXPECT_LT(t.platform.now(), t.stallTimes[0] + 600);
  }
}

TEST_F(MessageWindowTest, NewSpeedStartsAtTheNextPageOrMessage) {
  const auto timed = [this](std::u32string_view text, int waits = 0) {
    clickThrough(waits);
    const std::uint64_t start = w.platform.now();
    MES(text);
    return w.platform.now() - start;
  };
  EXPECT_EQ(timed(U"＃02あいう￥えお", 1), 200u);
  EXPECT_EQ(w.stallTimes.back() + 200, w.platform.now());  // the first page had no delay
  EXPECT_EQ(timed(U"かき"), 200u);
  EXPECT_EQ(timed(U"＃00く"), 100u);
  EXPECT_EQ(timed(U"けこ"), 0u);
  EXPECT_EQ(timed(U"＃-1さし"), 0u);
  EXPECT_EQ(w.window.messages().charDelay(), -50);
  EXPECT_EQ(timed(U"すせ"), 0u);  // a negative delay types at once
}

TEST_F(MessageWindowTest, ValuesShowTheirLastTwoCharactersAndTextGoesOnAfterAnItem) {
  Variables& v = w.window.variables();
  for (const auto& [n, value] : {std::pair{1, 7}, {2, 123}, {3, -5}, {4, -12}, {5, 42}}) {
    v.setVar(n, static_cast<std::int16_t>(value));
  }
  v.setItemCount(5, 1);
  w.then([&] {
    EXPECT_TRUE(w.c.ITEM.shown());
    EXPECT_EQ(w.platform.cursor(), Cursor::Wait);
    w.click(w.c.Picture1);
  });
  MES(U"＄01＄02＄０３＄04＊05＄05");
  EXPECT_EQ(w.stalls, 1u);
  EXPECT_FALSE(w.c.ITEM.visible);
  PictureBox expected(w.platform, Rect{0, 0, 504, 45}, kWhite, kBlack,
                      FontRequest{FontFace::Gothic, 10.0, false});
  for (const std::u32string_view shown : {U" 7", U"23", U"-5", U"12", U"42"}) {
    expected.print(shown, kBlack);  // no indent before a value
  }
  EXPECT_EQ(mes(), expected.backing());

  std::u32string text;  // 37 values fill a line, so the next character opens line 1 indented
  for (int i = 0; i < 37; ++i) text += U"＄00";
  MES(text + U"あ");
  EXPECT_FALSE(inked(mes(), cells(1, 0, 5)));
  EXPECT_TRUE(inked(mes(), cells(1, 5, 1)));
}

TEST_F(MessageWindowTest, LineBreaksSpeakerLinesAndTheEmptyText) {
  MES(U"＾＾あ＾＾い");  // a break at a line's start does nothing
  EXPECT_TRUE(inked(mes(), cells(0, 5, 1)));
  EXPECT_TRUE(inked(mes(), cells(1, 5, 1)));
  EXPECT_FALSE(inked(mes(), cells(2, 0, 37)));

  MES(U"＆1ＸＹＺあ：1い");  // a speaker in mid-line starts the next line
  EXPECT_FALSE(any(mes(), cells(0, 0, 5), kSpeakerRed));
  EXPECT_TRUE(any(mes(), cells(1, 0, 5), kSpeakerRed));
  EXPECT_TRUE(any(mes(), cells(1, 5, 1), kBlack));

  std::vector<Image> pages;  // on the last line it first waits for the next page
  clickThrough(1, &pages);
  MES(U"あ＾い＾う：1え");
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_FALSE(any(pages[0], cells(2, 0, 37), kSpeakerRed));
  EXPECT_TRUE(any(mes(), cells(0, 0, 5), kSpeakerRed));
  EXPECT_FALSE(inked(mes(), Rect{0, h, 504, 45}));

  w.window.CMDS(1);
  MES(U"");
  EXPECT_EQ(w.window.menu().MenuShown, 0);
  EXPECT_FALSE(inked(mes(), mes().bounds()));
}

TEST_F(MessageWindowTest, ColoursAndSpeakerNamesLastAcrossMessages) {
  const Argb maroon = MessageWindow::kPalette[4];
  MES(U"＠04あ");
  MES(U"い");
  EXPECT_TRUE(any(mes(), cells(0, 5, 1), maroon));
  // A message ending in a passage leaves its colour to the next one, which is indented.
  MES(U"＜う");
  MES(U"え＞お");
  EXPECT_TRUE(any(mes(), cells(0, 5, 1), kPassageTeal));
  EXPECT_TRUE(any(mes(), cells(0, 6, 1), maroon));
  MES(U"＆2ＡＢＣ＜か：2き");
  EXPECT_TRUE(any(mes(), cells(0, 0, 1), kPassageTeal));
  EXPECT_TRUE(any(mes(), cells(1, 5, 1), maroon));
  // Names are taken as they are, mark-up included; full-width hex digits count.
  MES(U"＆Ａ＠＃￥＆ｂＰＱＲ");
  EXPECT_EQ(w.window.messages().speakerName(10), U"＠＃￥");
  EXPECT_EQ(w.window.messages().speakerName(11), U"ＰＱＲ");
  EXPECT_EQ(w.window.messages().textColor(), 4);
}

TEST_F(MessageWindowTest, TheSheetsLastCellCanBeShown) {
  w.then([&] {
    EXPECT_TRUE(w.c.ITEM.shown());
    EXPECT_EQ(w.window.items().ItemSel, 17);
    w.click(w.c.MES);
  });
  MES(U"＊17");
  EXPECT_EQ(w.stalls, 1u);
  EXPECT_FALSE(w.c.ITEM.visible);
}

}  // namespace
}  // namespace qov::test
