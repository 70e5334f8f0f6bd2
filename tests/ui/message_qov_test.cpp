#include <gtest/gtest.h>

#include <string>

#include "platform/ProgramEnd.h"
#include "tests/ui/message_qov_run.h"

namespace qov::testing {
namespace {

TEST(MessageWindowInQov, ScriptMessagesWithMarkUpWaitForClicksAndABadArgumentEndsTheGame) {
  QovRun run("message");
  const PictureBox& MES = run.window.controls().MES;
  const int h = MES.font().lineHeight();
  run.then([&] {
    expectGolden(run.window.composeFrame(), "message_speaker");
    run.click(MES);
  });
  run.then([&] {
    // "＠04値は＄03。" then the item: item 5 in the item window, the text in colour 4.
    EXPECT_TRUE(run.window.controls().ITEM.shown());
    EXPECT_EQ(run.window.items().ItemSel, 5);
    EXPECT_TRUE(hasColour(MES.backing(), Rect{65, 0, 2 * kCell, h}, MessageWindow::kPalette[4]));
    run.click(run.window.controls().Picture1);
  });
  run.then([&] {
    // The FP line: the second line after it, a passage.
    EXPECT_FALSE(run.window.controls().ITEM.shown());
    EXPECT_TRUE(hasColour(MES.backing(), Rect{0, 0, kCell, h}, MessageWindow::kPalette[3]));
    run.click(MES);
  });
  EXPECT_EQ(run.run(), 1);
  EXPECT_EQ(run.stalls, 3u);
  ASSERT_EQ(run.platform.messageBoxes().size(), 1u);
  EXPECT_EQ(run.platform.messageBoxes()[0].text, "＠の引数が不正( 11)\rMES,＠99");
  EXPECT_EQ(run.window.messages().speakerName(0), U"ＡＢＣ");
}

}  // namespace
}  // namespace qov::testing
