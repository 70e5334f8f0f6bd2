// The bar shown while an archive named on the command line is extracted.
#include <gtest/gtest.h>

#include "shell/library/ProgressScreen.h"
#include "tests/shell/LibraryTestSupport.h"

namespace qov::test {
namespace {

TEST(ProgressScreen, ShowsOnlyWorkThatTakesLong) {
  HeadlessPlatform platform;
  ProgressScreen screen(platform, U"展開しています: 夏.lzh");
  screen.progress(0.0);
  platform.waitEvents(ProgressScreen::kShowAfterMs - 1);
  screen.progress(0.2);
  EXPECT_FALSE(screen.shown());
  EXPECT_FALSE(platform.windowCaption().has_value());

  platform.waitEvents(1);
  screen.progress(0.5);
  ASSERT_TRUE(screen.shown());
  EXPECT_EQ(platform.windowCaption(), "Qov");
  // Half of the bar's inside is filled.
  const Rect inside{85, 198, 336, 12};
  EXPECT_EQ(count(platform.frame(), inside, screen::kMark), 168 * 12);
}

}  // namespace
}  // namespace qov::test
