#include "sheet/zoom.h"

#include <gtest/gtest.h>

#include <limits>

namespace qzt::zoom {
namespace {

TEST(Zoom, StepsUpAndDownAndStopsAtTheEnds) {
  EXPECT_EQ(zoomedIn(1.0), 1.1);
  EXPECT_EQ(zoomedIn(zoomedIn(zoomedIn(1.0))), 1.5);
  EXPECT_EQ(zoomedOut(1.5), 1.25);
  EXPECT_EQ(zoomedOut(zoomedIn(1.0)), 1.0);
  EXPECT_EQ(zoomedIn(3.0), 3.0);
  EXPECT_EQ(zoomedOut(0.5), 0.5);
}

TEST(Zoom, KeptFactorsAreMadeUsable) {
  EXPECT_EQ(usable(1.5), 1.5);
  EXPECT_EQ(usable(1.49), 1.5);
  EXPECT_EQ(usable(100.0), 3.0);
  EXPECT_EQ(usable(0.1), 0.5);
  EXPECT_EQ(usable(0.0), kDefault);
  EXPECT_EQ(usable(-3.0), kDefault);
  EXPECT_EQ(usable(std::numeric_limits<double>::quiet_NaN()), kDefault);
  EXPECT_EQ(usable(std::numeric_limits<double>::infinity()), kDefault);
}

}  // namespace
}  // namespace qzt::zoom
