#include "numerics/even_resampling.h"

#include <gtest/gtest.h>

#include <vector>

namespace kivex::numerics {
namespace {

TEST(EvenResampling, StepsAreEvenWithinAMillionthAndARepeatedVertexIsNoStep) {
  const struct {
    std::vector<double> x;
    double least, most;
    bool even;
  } cases[] = {{{3, 2, 1, 1 + 1e-15, 2, 3}, 1, 1, true},  // a run's cycle, vertex held
               {{0, 1, 2 + 1e-7, 3}, 1 - 1e-7, 1 + 1e-7, true},
               {{0, 1, 2 + 1e-6, 3}, 1 - 1e-6, 1 + 1e-6, false},
               {{0.1, 0.1, 0.1}, 0, 0, true}};
  for (const auto& c : cases) {
    const StepSpread spread = SpreadOfSteps(c.x);
    EXPECT_NEAR(spread.least, c.least, 1e-14);
    EXPECT_NEAR(spread.most, c.most, 1e-14);
    EXPECT_EQ(spread.Even(), c.even) << c.x[2];
  }
  // (The median as the typical step: the uneven_axis_analysis scenario's E step.)
}

TEST(EvenResampling, TheDistanceRunsOnThroughTheTurnAndTheGridHasItsLimit) {
  // Down with the vertex held, then up: the return starts one step past the vertex. A point that
  // falls back behind the one before it lies behind it.
  EXPECT_EQ(SweptDistance(std::vector{3.0, 2.0, 1.0, 0.0, 0.0, 1.0, 2.0}),
            (std::vector{0.0, 1.0, 2.0, 3.0, 3.0, 4.0, 5.0}));
  EXPECT_EQ(SweptDistance(std::vector{0.0, 0.5, 0.4, 1.0, 1.5, 2.0}),
            (std::vector{0.0, 0.5, 0.4, 1.0, 1.5, 2.0}));

  // (Onto the grid and back: TransformCurve's line and running sum, and Find Peak's area.)
  EXPECT_EQ(EvenResampling(std::vector{0.0, 1.0}, 1.0 / (kMaxGridPoints + 1)).size(), 0);
  EXPECT_EQ(EvenResampling(std::vector{0.0, 1.0}, 1.0 / (kMaxGridPoints - 2)).size(),
            kMaxGridPoints - 1);
}

}  // namespace
}  // namespace kivex::numerics
