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
  std::u32string call;  // "GHG " or "MESHG " and the argument
  friend bool operator==(const StageCall&, const StageCall&) = default;
};

// The main window's side of the opening, recording what it is asked to show.
class RecordingStage final : public OpeningStage {
 public:
  explicit RecordingStage(HeadlessPlatform& platform) : platform_(platform) {}
  void GHG(std::u32string_view name) override { record(U"GHG " + std::u32string(name)); }
  void MESHG(std::u32string_view text) override {
    record(U"MESHG " + std::u32string(text));
    if (onMessage) onMessage(text);
  }
  void start(const Opening& opening) {
    opening_ = &opening;
    origin_ = platform_.now();
    calls.clear();
  }

  std::vector<StageCall> calls;
  std::function<void(std::u32string_view)> onMessage;

 private:
  void record(std::u32string text) {
    calls.push_back({platform_.now() - origin_, opening_->opTick(), std::move(text)});
  }
  HeadlessPlatform& platform_;
  const Opening* opening_ = nullptr;
  std::uint64_t origin_ = 0;
};

class OpeningTest : public ::testing::Test {
 protected:
  OpeningTest() { test::writeFile(dir.path() / "Tv2b.wav", test::waveFile(440, 1000, 0.5, 8000)); }

  // Runs one opening; returns its length on the virtual clock.
  std::uint64_t play() {
    stage.start(opening);
    const std::uint64_t start = platform.now();
    opening.OP();
    return platform.now() - start;
  }

  test::TempDir dir;
  HeadlessPlatform platform{{dir.path()}};
  SoundEffects sound{platform, {dir.path()}};
  RecordingStage stage{platform};
  Opening opening{platform, stage, sound};
};

std::vector<StageCall> schedule() {
  const auto& l = Opening::kLyrics;
  const auto at = [](std::int16_t second, std::u32string text) {
    return StageCall{static_cast<std::uint64_t>(second) * 1000, second, std::move(text)};
  };
  const auto mes = [](std::u32string_view text) { return U"MESHG " + std::u32string(text); };
  return {
      at(1, U"GHG OP1"),  at(1, U"MESHG ＃００＠００"),
      at(9, U"GHG OP2"),  at(9, mes(l[0])),
      at(15, mes(l[1])),  at(21, U"GHG OP3"),
      at(21, mes(l[2])),  at(26, mes(l[3])),
      at(32, U"GHG OP4"), at(32, mes(l[4])),
      at(37, mes(l[5])),  at(43, U"GHG OP5"),
      at(43, mes(l[6])),  at(49, U"GHG OP6"),
      at(49, mes(l[7])),  at(55, U"GHG OP7"),
      at(55, mes(l[8])),  at(60, U"GHG OP8"),
      at(60, mes(l[9])),
  };
}

TEST_F(OpeningTest, EachStepComesOnItsSecondInOrderAndTheOpeningCanRunAgain) {
  const auto realStart = std::chrono::steady_clock::now();
  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(run);
    const std::size_t sounds = platform.headlessSound().log().size();
    EXPECT_EQ(play(), 70000u);
    EXPECT_EQ(stage.calls, schedule());
    EXPECT_EQ(opening.opTick(), 0);

    // The song starts with the first picture, returning at once.
    const auto& log = platform.headlessSound().log();
    ASSERT_EQ(log.size(), sounds + 1);
    EXPECT_EQ(log.back().call, HeadlessSoundOutput::Call::Play);
    EXPECT_EQ(log.back().file, dir.path() / "Tv2b.wav");
    EXPECT_FALSE(log.back().loop);
  }
  // A bound far above the milliseconds it takes: the opening must not wait in real time.
  EXPECT_LT(std::chrono::steady_clock::now() - realStart, std::chrono::seconds(10));
}

TEST_F(OpeningTest, ASecondPassedUnseenLeavesTheLaterStepsOutButTheEndStillComes) {
  // The second lyric line keeps the window busy for seven seconds, past the 21st.
  stage.onMessage = [this](std::u32string_view text) {
    if (text != Opening::kLyrics[1]) return;
    const std::uint64_t until = platform.now() + 7000;
    while (platform.now() < until)
      platform.waitEvents(static_cast<std::uint32_t>(until - platform.now()));
  };
  EXPECT_EQ(play(), 70000u);
  std::vector<StageCall> expected = schedule();
  expected.resize(5);  // up to the second lyric line
  EXPECT_EQ(stage.calls, expected);
  EXPECT_EQ(opening.opTick(), 0);
}

TEST(OpeningLyrics, TenPlainLinesOfTheSetLengthsSharingTheirFirstPhrase) {
  const std::size_t lengths[] = {20, 21, 20, 24, 10, 12, 20, 21, 21, 24};
  const std::u32string_view markUp = U"＠＆＾＞：＊＄＃￥＜「」";
  for (std::size_t i = 0; i < Opening::kLyrics.size(); ++i) {
    const std::u32string_view line = Opening::kLyrics[i];
    SCOPED_TRACE(i + 1);
    EXPECT_EQ(line.size(), lengths[i]);
    const std::size_t space = line.find(U'\u3000');
    ASSERT_NE(space, std::u32string_view::npos);
    EXPECT_GT(space, 0u);
    EXPECT_LT(space + 1, line.size());
    EXPECT_EQ(line.find(U'\u3000', space + 1), std::u32string_view::npos);
    EXPECT_EQ(line.find_first_of(markUp), std::u32string_view::npos);
    for (char32_t c : line) EXPECT_GE(c, 0x3000u);  // Japanese text only, no ASCII
    if (i < 4) {
      EXPECT_EQ(space, 14u);
      EXPECT_EQ(line.substr(0, 14), Opening::kLyrics[0].substr(0, 14));
    }
  }
}

}  // namespace
}  // namespace qov
