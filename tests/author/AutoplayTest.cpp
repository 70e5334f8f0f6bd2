// The automatic player finds a fault that only one menu choice leads to, and shows the way.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

#include "author/Autoplay.h"

namespace qov::test {
namespace {

TEST(Autoplay, AFaultBehindOneMenuChoiceIsFoundWithItsRoute) {
  // Only "町へ" and then "宿" reach the variable index 31.
  const author::AutoplayOptions options{.runs = 50, .seed = 1, .answerBudget = 40};
  const author::AutoplayResult r = author::autoplay(QOV_AUTHOR_DATA "/fault", options);
  ASSERT_TRUE(r.fault.has_value());
  const author::AutoplayFault& f = *r.fault;
  EXPECT_EQ(f.report, "範囲外( 12)\nLET,F05,1");
  ASSERT_GE(f.route.size(), 3u);
  EXPECT_EQ(f.route.front(), "wnatu.QOV");
  EXPECT_EQ(f.route[f.route.size() - 2], "wnatu.QOV:3: 「町へ」");
  EXPECT_EQ(f.route.back(), "wnatu.QOV:3: 「宿」");

  std::ostringstream out;
  author::printAutoplay(r, options, out);
  const std::string seed = std::to_string(f.seed);
  EXPECT_EQ(out.str().substr(0, out.str().find('\n')), "run " + std::to_string(f.run) +
                                                           " (qov --autoplay 1 --seed " + seed +
                                                           ") ended in an error:");
  EXPECT_NE(out.str().find("route:\n  wnatu.QOV\n"), std::string::npos) << out.str();

  // The same seed alone plays the same run again.
  const author::AutoplayResult again =
      author::autoplay(QOV_AUTHOR_DATA "/fault", {.runs = 1, .seed = f.seed, .answerBudget = 40});
  ASSERT_TRUE(again.fault.has_value());
  EXPECT_EQ(again.fault->route, f.route);
}

TEST(Autoplay, ACleanGameIsSummedUpWithTheLinesNoRunReached) {
  const author::AutoplayOptions options{.runs = 20, .seed = 7};
  const author::AutoplayResult r = author::autoplay(QOV_AUTHOR_DATA "/clean", options);
  ASSERT_FALSE(r.fault.has_value()) << r.fault->report;
  EXPECT_EQ(r.ended + r.cut, 20);
  EXPECT_EQ(r.endings, std::vector<std::string>{"wnatu.QOV:31"});
  std::ostringstream out;
  author::printAutoplay(r, options, out);
  const std::string summary = out.str();
  EXPECT_EQ(summary.find("20 runs from seed 7: "), 0u) << summary;
  EXPECT_EQ(std::count(summary.begin(), summary.end(), '\n'), 1) << summary;
}

}  // namespace
}  // namespace qov::test
