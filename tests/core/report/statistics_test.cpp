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

// A class of three over four rows worth 2, 3, 5 and 2 marks, by hand:
//   rows earned   a 0 3 0 0 = 3   b 2 3 5 2 = 12   c 0 0 0 0 = 0
//   item variances 8/9, 2, 50/9, 8/9 (sum 84/9); totals 3 12 0: variance 26
//   alpha = 4/3 x (1 - (84/9)/26) = 0.854700...
//   sample stdev = sqrt(78/2); sem = sqrt(39) x sqrt(1 - alpha)
TEST(Statistics, ReliabilityAndRatesByHand) {
  const std::vector<std::vector<double>> items = {{0, 2, 0}, {3, 3, 0}, {0, 5, 0}, {0, 2, 0}};
  const auto alpha = cronbachAlpha(items);
  ASSERT_TRUE(alpha);
  EXPECT_NEAR(*alpha, 4.0 / 3 * (1 - (84.0 / 9) / 26), 1e-12);
  const ScoreStats s = scoreStats({3, 12, 0});
  ASSERT_TRUE(s.sampleStdev);
  EXPECT_NEAR(*s.sampleStdev, std::sqrt(39.0), 1e-12);
  EXPECT_NEAR(s.stdev, std::sqrt(26.0), 1e-12);
  EXPECT_FALSE(scoreStats({3}).sampleStdev);

  EXPECT_FALSE(cronbachAlpha({{1, 0, 1}})) << "one item";
  EXPECT_FALSE(cronbachAlpha({{1}, {0}})) << "one file";
  EXPECT_FALSE(cronbachAlpha({{1, 1}, {0, 0}})) << "totals without spread";

  // Cut-offs in percents of 12: pass 7.2, excellent 10.2, low 4.8; 7.2
  // exactly passes and 4.8 exactly is not low.
  const auto r = rates({3, 12, 0, 7.2, 4.8}, 12, RateCutoffs{});
  ASSERT_TRUE(r);
  EXPECT_DOUBLE_EQ(r->pass, 2.0 / 5);
  EXPECT_DOUBLE_EQ(r->excellent, 1.0 / 5);
  EXPECT_DOUBLE_EQ(r->low, 2.0 / 5);
  const auto strict = rates({3, 12, 0, 7.2, 4.8}, 12, RateCutoffs{70, 100, 50});
  ASSERT_TRUE(strict);
  EXPECT_DOUBLE_EQ(strict->pass, 1.0 / 5);
  EXPECT_DOUBLE_EQ(strict->excellent, 1.0 / 5);
  EXPECT_DOUBLE_EQ(strict->low, 3.0 / 5);
  EXPECT_FALSE(rates({}, 12, {}));
  EXPECT_FALSE(rates({1}, 0, {}));
}

}  // namespace
}  // namespace qzt::report
