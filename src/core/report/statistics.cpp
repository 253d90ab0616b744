#include "report/statistics.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace qzt::report {
namespace {

double mean(const std::vector<double>& v) {
  return std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size());
}

// Decided on the values themselves: a mean of equal values can be off by
// rounding and would leave a tiny false spread.
bool allEqual(const std::vector<double>& v) {
  return std::all_of(v.begin(), v.end(), [&](double x) { return x == v.front(); });
}

double variance(const std::vector<double>& v) {
  if (allEqual(v)) return 0;
  const double m = mean(v);
  double squares = 0;
  for (double x : v) squares += (x - m) * (x - m);
  return squares / static_cast<double>(v.size());
}

}  // namespace

ScoreStats scoreStats(std::vector<double> scores) {
  ScoreStats s;
  // Marks from a damaged paper can make a score NaN; it sorts last rather
  // than break the ordering.
  std::sort(scores.begin(), scores.end(),
            [](double a, double b) { return !std::isnan(a) && (std::isnan(b) || a < b); });
  const std::size_t n = scores.size();
  s.min = scores.front();
  s.max = scores.back();
  s.median = n % 2 ? scores[n / 2] : (scores[n / 2 - 1] + scores[n / 2]) / 2;
  s.mean = mean(scores);
  double squares = 0;
  for (double x : scores) squares += (x - s.mean) * (x - s.mean);
  s.stdev = allEqual(scores) ? 0 : std::sqrt(squares / static_cast<double>(n));
  if (n > 1) s.sampleStdev = allEqual(scores) ? 0 : std::sqrt(squares / static_cast<double>(n - 1));
  return s;
}

Histogram histogram(const std::vector<double>& scores, double total) {
  Histogram bands{};
  if (total == 0) return bands;
  for (double score : scores) {
    // Tenths first: exact for whole and half marks, so 60 of 100 is band 6.
    const double tenths = std::floor(score * kHistogramBands / total);
    if (std::isnan(tenths)) continue;
    const double band = std::clamp(tenths, 0.0, static_cast<double>(kHistogramBands - 1));
    ++bands[static_cast<std::size_t>(band)];
  }
  return bands;
}

std::optional<double> pearson(const std::vector<double>& x, const std::vector<double>& y) {
  if (x.size() < 2 || allEqual(x) || allEqual(y)) return std::nullopt;
  const double mx = mean(x);
  const double my = mean(y);
  double sxy = 0, sxx = 0, syy = 0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    sxy += (x[i] - mx) * (y[i] - my);
    sxx += (x[i] - mx) * (x[i] - mx);
    syy += (y[i] - my) * (y[i] - my);
  }
  return std::clamp(sxy / std::sqrt(sxx * syy), -1.0, 1.0);
}

std::optional<double> cronbachAlpha(const std::vector<std::vector<double>>& items) {
  const std::size_t k = items.size();
  if (k < 2 || items.front().size() < 2) return std::nullopt;
  std::vector<double> totals(items.front().size(), 0.0);
  double itemVariances = 0;
  for (const std::vector<double>& item : items) {
    for (std::size_t f = 0; f < totals.size(); ++f) totals[f] += item[f];
    itemVariances += variance(item);
  }
  const double totalVariance = variance(totals);
  if (totalVariance == 0 || std::isnan(totalVariance)) return std::nullopt;
  const double kk = static_cast<double>(k);
  return kk / (kk - 1) * (1 - itemVariances / totalVariance);
}

std::optional<Rates> rates(const std::vector<double>& scores, double total, const RateCutoffs& cutoffs) {
  if (scores.empty() || !(total > 0)) return std::nullopt;
  int pass = 0, excellent = 0, low = 0;
  for (double score : scores) {
    // Compared in hundreds so that 60 of 100 passes at 60 exactly.
    const double hundreds = score * 100;
    pass += hundreds >= cutoffs.pass * total ? 1 : 0;
    excellent += hundreds >= cutoffs.excellent * total ? 1 : 0;
    low += hundreds < cutoffs.low * total ? 1 : 0;
  }
  const double n = static_cast<double>(scores.size());
  return Rates{pass / n, excellent / n, low / n};
}

}  // namespace qzt::report
