#include "report/statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace qzt::report {
namespace {

struct BandCase {
  const char* name;
  double score;
  double total;
  int band;  // -1: counted nowhere
};

class HistogramBands : public ::testing::TestWithParam<BandCase> {};

TEST_P(HistogramBands, PutsTheShareInItsBand) {
  const BandCase& c = GetParam();
  Histogram expected{};
  if (c.band >= 0) expected[static_cast<std::size_t>(c.band)] = 1;
  EXPECT_EQ(histogram({c.score}, c.total), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Statistics, HistogramBands,
    ::testing::Values(BandCase{"Zero", 0, 12, 0},
                      BandCase{"JustBelowTen", 1.19, 12, 0},
                      BandCase{"ExactlyTen", 1.2, 12, 1},
                      BandCase{"SixtyOfHundred", 60, 100, 6},
                      BandCase{"ThreeFifths", 3, 5, 6},
                      BandCase{"SevenTenths", 7, 10, 7},
                      BandCase{"NinetyNine", 99.5, 100, 9},
                      BandCase{"Full", 12, 12, 9},
                      BandCase{"NegativeScore", -2, 12, 0},
                      BandCase{"AboveTotal", 14, 12, 9},
                      BandCase{"NoMarks", 0, 0, -1},
                      BandCase{"NotANumber", std::numeric_limits<double>::quiet_NaN(), 12, -1}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(Statistics, ScoreStatsOfAnEvenCount) {
  const ScoreStats s = scoreStats({4, 1, 3, 2});
  EXPECT_EQ(s.median, 2.5);
  EXPECT_EQ(s.mean, 2.5);
  EXPECT_DOUBLE_EQ(s.stdev, std::sqrt(1.25));
  EXPECT_EQ(s.min, 1);
  EXPECT_EQ(s.max, 4);
}

TEST(Statistics, EqualScoresHaveNoSpread) {
  // 0.1 three times: the mean is off by rounding, the spread must still be 0.
  EXPECT_EQ(scoreStats({0.1, 0.1, 0.1}).stdev, 0);
  EXPECT_FALSE(pearson({1, 0, 1}, {0.1, 0.1, 0.1}));
}

TEST(Statistics, PearsonNeedsTwoPairsAndSpread) {
  EXPECT_FALSE(pearson({}, {}));
  EXPECT_FALSE(pearson({1}, {5}));
  EXPECT_FALSE(pearson({1, 1}, {5, 7}));
  EXPECT_DOUBLE_EQ(*pearson({0, 1}, {5, 7}), 1);
  EXPECT_DOUBLE_EQ(*pearson({0, 1, 0}, {7, 5, 7}), -1);
}

TEST(Statistics, NotANumberScoresDoNotBreakTheOrdering) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const ScoreStats s = scoreStats({nan, 3, nan, 1, 2, nan, 0});
  EXPECT_EQ(s.min, 0);
  EXPECT_TRUE(std::isnan(s.max));
}

}  // namespace
}  // namespace qzt::report
