// The music loop of the whole window: a piece that ends starts again within one tick of the
// loop, whatever the game waits for, and the loop asks the device only when the answer can
// change.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "tests/ui/UiTestSupport.h"

namespace qov::test {
namespace {

TEST(MusicLoopTest, APieceStartsAgainWithinOneTickThroughAMessageAMenuAndTheOpening) {
  TempDir dir;
  Window w{dir.path()};
  HeadlessPlatform& platform = w.platform;
  std::ofstream(dir.path() / "song.MID") << "MThd";
  for (int i = 1; i <= 8; ++i) {
    std::filesystem::copy_file(kUiData / "small_bmp.SZG",
                               dir.path() / ("OP" + std::to_string(i) + ".SZG"));
  }
  platform.headlessMusic().setPieceLength(995);  // ends between two ticks of the loop
  writeScript(dir.path(), "wnatu",
              U"MUSPL,song,1\nMES,あ￥\nCMST,0,＊調べる\nCMSL,0,8\nCASE,0\nOP\nEXIT\nENDCM\n");
  platform.click(250, 200, kLeftButton, 3000);  // the message's page wait
  platform.click(212, 302, kLeftButton, 6000);  // the menu's entry
  EXPECT_EQ(w.run(), 0);
  ASSERT_GE(platform.now(), 76000u);  // 3 s of message, 3 s of menu, 70 s of opening

  const auto& gaps = platform.headlessMusic().restartGaps();
  EXPECT_GE(gaps.size(), platform.now() / 995 - 1);
  for (std::size_t i = 0; i < gaps.size(); ++i) EXPECT_LE(gaps[i], 10u) << "restart " << i;
  // Near each end and once a second, not on every one of the 7,600 ticks.
  const auto& sent = platform.headlessMusic().commands();
  const auto queries = std::count(sent.begin(), sent.end(), "status bg mode");
  EXPECT_LE(queries, static_cast<long>(4 * gaps.size() + 10));
}

}  // namespace
}  // namespace qov::test
