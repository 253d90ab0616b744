#include "sheet/zoom.h"

#include <array>
#include <cmath>

namespace qzt::zoom {
namespace {

constexpr std::array<double, 12> kSteps = {0.5, 0.67, 0.75, 0.8, 0.9, 1.0,
                                           1.1, 1.25, 1.5, 1.75, 2.0, 3.0};

}  // namespace

double usable(double factor) {
  if (!std::isfinite(factor) || factor <= 0) return kDefault;
  double best = kSteps.front();
  for (double step : kSteps) {
    if (std::fabs(step - factor) < std::fabs(best - factor)) best = step;
  }
  return best;
}

double zoomedIn(double factor) {
  const double at = usable(factor);
  for (double step : kSteps) {
    if (step > at) return step;
  }
  return kSteps.back();
}

double zoomedOut(double factor) {
  const double at = usable(factor);
  for (auto it = kSteps.rbegin(); it != kSteps.rend(); ++it) {
    if (*it < at) return *it;
  }
  return kSteps.front();
}

}  // namespace qzt::zoom
