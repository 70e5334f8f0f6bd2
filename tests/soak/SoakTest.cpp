// The demo game played 200 times by the automatic player: every way through the story ends as
// the game means it to, without a script error.
#include <gtest/gtest.h>

#include "author/Autoplay.h"

namespace qov::soak {
namespace {

TEST(Soak, TwoHundredRandomPlaysOfTheDemoGameEndWithoutAScriptError) {
  const author::AutoplayOptions options{.runs = 200, .seed = 1};
  const author::AutoplayResult r = author::autoplay(QOV_GAME_DIR, options);
  ASSERT_FALSE(r.fault.has_value()) << r.fault->report;
  EXPECT_EQ(r.ended, 200);
  EXPECT_EQ(r.cut, 0);
  // The plays went through the story, not only the title menu.
  EXPECT_LT(r.neverRun.size() * 2, static_cast<std::size_t>(r.commandLines));
}

}  // namespace
}  // namespace qov::soak
