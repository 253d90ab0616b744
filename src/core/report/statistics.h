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

}  // namespace qzt::report
