// The demo game played 200 times by the automatic player (20 under the sanitizers, which make
// a run ten to twenty times slower): every way through the story ends as the game means it to,
// without a script error.
#include <gtest/gtest.h>

#include "author/Autoplay.h"

namespace qov::soak {
namespace {

TEST(Soak, RandomPlaysOfTheDemoGameEndWithoutAScriptError) {
  const author::AutoplayOptions options{.runs = QOV_SOAK_RUNS, .seed = 1};
  const author::AutoplayResult r = author::autoplay(QOV_GAME_DIR, options);
  ASSERT_FALSE(r.fault.has_value()) << r.fault->report;
  EXPECT_EQ(r.ended, QOV_SOAK_RUNS);
  EXPECT_EQ(r.cut, 0);
  // The plays went through the story, not only the title menu.
  EXPECT_LT(r.neverRun.size() * 2, static_cast<std::size_t>(r.commandLines));
}

}  // namespace
}  // namespace qov::soak
