// The figures of a class report: plain arithmetic over the scores and the
// per-row results of the graded files.
#pragma once

#include <array>
#include <optional>
#include <vector>

namespace qzt::report {

struct ScoreStats {
  double mean = 0;
  double median = 0;   // the mean of the middle two for an even count
  double stdev = 0;    // population
  std::optional<double> sampleStdev;  // divided by n - 1; none for one score
  double min = 0;
  double max = 0;
};

// REQUIRES: scores is not empty.
ScoreStats scoreStats(std::vector<double> scores);

inline constexpr int kHistogramBands = 10;
using Histogram = std::array<int, kHistogramBands>;

// Counts of score / total x 100 in bands [0,10), [10,20) ... [90,100]; 100
// falls in the last band, and a share outside 0..100 (negative marks) in
// the nearest band. With a total of 0 no share exists: nothing is counted.
Histogram histogram(const std::vector<double>& scores, double total);

// The Pearson correlation of x and y; none for fewer than 2 pairs or when
// either side has no spread (all values equal).
// REQUIRES: x.size() == y.size().
std::optional<double> pearson(const std::vector<double>& x, const std::vector<double>& y);

// Cronbach's alpha: k/(k-1) x (1 - sum of item variances / variance of
// the totals), population variances. With items scored 0 or full it is
// KR-20. `items` holds per item the marks of each file. None for fewer
// than 2 items or 2 files, or when the totals have no spread.
std::optional<double> cronbachAlpha(const std::vector<std::vector<double>>& items);

// Cut-offs as percents of full marks: pass at or above `pass`, excellent
// at or above `excellent`, low below `low`.
struct RateCutoffs {
  double pass = 60;
  double excellent = 85;
  double low = 40;
};

// Shares (0..1) of the scores passing, excellent and low.
struct Rates {
  double pass = 0;
  double excellent = 0;
  double low = 0;
};

// None without scores or with a total of 0 or less.
std::optional<Rates> rates(const std::vector<double>& scores, double total, const RateCutoffs& cutoffs);

}  // namespace qzt::report
