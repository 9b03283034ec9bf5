#include "numerics/even_resampling.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace kivex::numerics {
namespace {

TEST(StepSpread, RepeatedPotentialsAreNoStepAndAnySpreadAboveAMillionthIsUneven) {
  const struct {
    const char* name;
    std::vector<double> x;
    double least, most;
    bool even;
  } cases[] = {
      // A cycle as a run writes it: the vertex twice, no zero step counted.
      {"run's cycle", {0.3, 0.2, 0.1, 0.1, 0.2, 0.3}, 0.1, 0.1, true},
      {"two sizes", {0, 0.0019, 0.006, 0.0079, 0.012}, 0.0019, 0.0041, false},
      {"spread of 1e-7", {0, 1, 2 + 1e-7, 3}, 1 - 1e-7, 1 + 1e-7, true},
      {"spread of 2e-6", {0, 1, 2 + 1e-6, 3}, 1 - 1e-6, 1 + 1e-6, false},
      {"one potential", {0.1, 0.1, 0.1}, 0, 0, true},
  };
  for (const auto& c : cases) {
    const StepSpread spread = SpreadOfSteps(c.x);
    EXPECT_NEAR(spread.least, c.least, 1e-15) << c.name;
    EXPECT_NEAR(spread.most, c.most, 1e-15) << c.name;
    EXPECT_EQ(spread.Even(), c.even) << c.name;
  }
  // The typical step is the median: 1.9, 3.07, 4.1 and 3.07 mV.
  EXPECT_NEAR(SpreadOfSteps(std::vector{0.0, 0.0019, 0.00497, 0.00907, 0.01214}).typical, 0.00307,
              1e-15);
}

TEST(SweptDistance, RunsOnThroughEveryTurnAndFollowsAJitteringPoint) {
  // Down 0.3 V with the vertex held, then up: the second sweep starts one step past the vertex.
  const std::vector<double> cycle = {0.3, 0.2, 0.1, 0.0, 0.0, 0.1, 0.2};
  const std::vector<double> expected = {0, 0.1, 0.2, 0.3, 0.3, 0.4, 0.5};
  const std::vector<double> distance = SweptDistance(cycle);
  ASSERT_EQ(distance.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(distance[i], expected[i], 1e-15);
  // One sweep up whose third point falls back behind the second.
  const std::vector<double> jitter = {0.0, 0.010, 0.009, 0.030, 0.041, 0.050};
  const std::vector<double> along = SweptDistance(jitter);
  for (std::size_t i = 0; i < jitter.size(); ++i) EXPECT_NEAR(along[i], jitter[i], 1e-15);
}

TEST(EvenResampling, CarriesAStraightLineToTheGridAndBackExactly) {
  // Uneven steps up to 0.5 V and down again: a value linear in the distance swept stays linear.
  std::vector<double> x = {0.0, 0.05, 0.08, 0.2, 0.23, 0.35, 0.5, 0.44, 0.3, 0.27, 0.1};
  const std::vector<double> d = SweptDistance(x);
  std::vector<double> y;
  for (const double v : d) y.push_back(2 + 3 * v);
  const EvenResampling even(x, 0.04);
  // The turn comes at 0.5 V, the return sweep one 0.06 V step later: 0.9 V swept in all, so the
  // grid runs 0, 0.04, ..., 0.88 and one past the last point, 0.92.
  ASSERT_NEAR(d.back(), 0.9, 1e-15);
  ASSERT_EQ(even.size(), 24);
  EXPECT_EQ(even.step(), 0.04);
  std::vector<double> onGrid(24);
  even.ToGrid(y, onGrid);
  for (int k = 0; k < 23; ++k) EXPECT_NEAR(onGrid[k], 2 + 3 * 0.04 * k, 1e-12) << k;
  ASSERT_LT(d.back(), 0.92);
  EXPECT_NEAR(onGrid[23], 2 + 3 * 0.92, 1e-12);  // past the last point the line continues

  for (int k = 0; k < 24; ++k) onGrid[k] = -1 + 0.5 * 0.04 * k;
  std::vector<double> back(x.size());
  even.FromGrid(onGrid, back);
  for (std::size_t i = 0; i < x.size(); ++i) EXPECT_NEAR(back[i], -1 + 0.5 * d[i], 1e-12) << i;

  // The rectangle terms from point 2 (0.08 V) to point 8 (0.3 V on the way back, 0.7 swept).
  const std::vector<double> terms = even.Between(y, 2, 8);
  ASSERT_EQ(terms.size(), 16u);  // 0.08, 0.12, ..., 0.68
  for (std::size_t k = 0; k < terms.size(); ++k) {
    EXPECT_NEAR(terms[k], 2 + 3 * (0.08 + 0.04 * static_cast<double>(k)), 1e-12) << k;
  }
}

TEST(EvenResampling, RefusesAGridBeyondItsLimit) {
  EXPECT_EQ(EvenResampling(std::vector{0.0, 1.0}, 1.0 / (kMaxGridPoints + 1)).size(), 0);
  EXPECT_EQ(EvenResampling(std::vector{0.0, 1.0}, 1.0 / (kMaxGridPoints - 2)).size(),
            kMaxGridPoints - 1);
  EXPECT_EQ(EvenResampling(std::vector{0.0, 1.0}, 0.0).size(), 0);
}

}  // namespace
}  // namespace kivex::numerics
