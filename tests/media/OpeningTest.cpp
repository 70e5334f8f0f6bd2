#include "media/Opening.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "platform/headless/HeadlessPlatform.h"
#include "tests/media/MediaTestSupport.h"

namespace qov {
namespace {

struct StageCall {
  std::uint64_t at;     // virtual milliseconds since the opening began
  std::int16_t opTick;  // as CMDS would read it
  std::u32string call;
  friend bool operator==(const StageCall&, const StageCall&) = default;
};

class OpeningTest : public ::testing::Test, public OpeningStage {
 protected:
  OpeningTest() { test::writeFile(dir.path() / "Tv2b.wav", test::waveFile(440, 1000, 0.5, 8000)); }

  void GHG(std::u32string_view name) override { record(U"GHG " + std::u32string(name)); }
  void MESHG(std::u32string_view text) override {
    record(U"MESHG " + std::u32string(text));
    if (onMessage) onMessage(text);
  }
  void record(std::u32string call) {
    calls.push_back({platform.now() - origin, opening.opTick(), std::move(call)});
  }

  // Runs one opening; returns its length on the virtual clock.
  std::uint64_t play() {
    calls.clear();
    origin = platform.now();
    opening.OP();
    return platform.now() - origin;
  }

  test::TempDir dir;
  HeadlessPlatform platform{{dir.path()}};
  SoundEffects sound{platform, {dir.path()}};
  Opening opening{platform, *this, sound};
  std::vector<StageCall> calls;
  std::uint64_t origin = 0;
  std::function<void(std::u32string_view)> onMessage;
};

// Each step: its second, its picture (0: none) and its lyric line (0: the mark-up message).
std::vector<StageCall> schedule() {
  const int steps[][3] = {{1, 1, 0},  {9, 2, 1},  {15, 0, 2}, {21, 3, 3}, {26, 0, 4}, {32, 4, 5},
                          {37, 0, 6}, {43, 5, 7}, {49, 6, 8}, {55, 7, 9}, {60, 8, 10}};
  std::vector<StageCall> out;
  for (const auto& [second, picture, lyric] : steps) {
    const auto ms = static_cast<std::uint64_t>(second) * 1000;
    const auto tick = static_cast<std::int16_t>(second);
    if (picture) out.push_back({ms, tick, U"GHG OP" + std::u32string(1, U'0' + picture)});
    const std::u32string text(lyric ? Opening::kLyrics[lyric - 1] : U"＃００＠００");
    out.push_back({ms, tick, U"MESHG " + text});
  }
  return out;
}

TEST_F(OpeningTest, EachStepComesOnItsSecondInOrderAndTheOpeningCanRunAgain) {
  const auto realStart = std::chrono::steady_clock::now();
  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(run);
    const std::size_t sounds = platform.headlessSound().log().size();
    EXPECT_EQ(play(), 70000u);
    EXPECT_EQ(calls, schedule());
    EXPECT_EQ(opening.opTick(), 0);
    // The song starts with the first picture, and the call returns at once.
    const auto& log = platform.headlessSound().log();
    ASSERT_EQ(log.size(), sounds + 1);
    EXPECT_EQ(log.back().call, HeadlessSoundOutput::Call::Play);
    EXPECT_EQ(log.back().file, dir.path() / "Tv2b.wav");
    EXPECT_FALSE(log.back().loop);
  }
  // Far above what it takes: the opening must not wait in real time.
  EXPECT_LT(std::chrono::steady_clock::now() - realStart, std::chrono::seconds(10));
}

TEST_F(OpeningTest, ASecondPassedUnseenLeavesTheLaterStepsOutButTheEndStillComes) {
  // The second lyric line keeps the window busy for seven seconds, past the 21st.
  onMessage = [this](std::u32string_view text) {
    if (text != Opening::kLyrics[1]) return;
    const std::uint64_t until = platform.now() + 7000;
    while (platform.now() < until)
      platform.waitEvents(static_cast<std::uint32_t>(until - platform.now()));
  };
  EXPECT_EQ(play(), 70000u);
  std::vector<StageCall> expected = schedule();
  expected.resize(5);  // up to the second lyric line
  EXPECT_EQ(calls, expected);
  EXPECT_EQ(opening.opTick(), 0);
}

TEST(OpeningLyrics, TenPlainLinesOfTheSetLengthsSharingTheirFirstPhrase) {
  const std::size_t lengths[] = {20, 21, 20, 24, 10, 12, 20, 21, 21, 24};
  for (std::size_t i = 0; i < Opening::kLyrics.size(); ++i) {
    SCOPED_TRACE(i + 1);
    const std::u32string_view line = Opening::kLyrics[i];
    EXPECT_EQ(line.size(), lengths[i]);
    // Two phrases joined by one ideographic space; Japanese text only, so no mark-up.
    const std::size_t space = line.find(U'\u3000');
    EXPECT_TRUE(space > 0 && space + 1 < line.size());
    EXPECT_EQ(line.find(U'\u3000', space + 1), std::u32string_view::npos);
    EXPECT_EQ(line.find_first_of(U"＠＆＾＞：＊＄＃￥＜「」"), std::u32string_view::npos);
    for (char32_t c : line) EXPECT_GE(c, 0x3000u);
    if (i < 4) {
      EXPECT_EQ(line.substr(0, 14), Opening::kLyrics[0].substr(0, 14));
    }
  }
}

}  // namespace
}  // namespace qov
