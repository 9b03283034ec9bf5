#include "model/sweeps.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <span>
#include <utility>
#include <vector>

#include "model/curve_set.h"
#include "numerics/interpolation.h"

namespace kivex::model {
namespace {

// A cycle as a run writes it: n points out, the vertex repeated, n points back.
std::vector<double> Staircase(double from, double to, double step, int sweeps) {
  const int n = static_cast<int>(std::lround(std::fabs(to - from) / step)) + 1;
  const double direction = to > from ? 1 : -1;
  std::vector<double> x;
  for (int s = 0; s < sweeps; ++s) {
    for (int i = 0; i < n; ++i) {
      const int k = s % 2 == 0 ? i : n - 1 - i;
      x.push_back(from + direction * step * k);
    }
  }
  return x;
}

TEST(Sweeps, AStaircaseTurnsAtTheLastPointOfItsVertex) {
  const std::vector<double> x = Staircase(0.3, -0.3, 0.005, 4);  // 121 points a sweep
  const std::vector<Sweep> sweeps = FindSweeps(x);
  ASSERT_EQ(sweeps.size(), 4u);
  for (int s = 0; s < 4; ++s) {
    // The repeated vertex ends the sweep that reached it.
    EXPECT_EQ(sweeps[s].first, s == 0 ? 0 : 121 * s + 1);
    EXPECT_EQ(sweeps[s].last, s == 3 ? 483 : 121 * s + 121);
    EXPECT_EQ(sweeps[s].direction, s % 2 == 0 ? -1 : 1);
  }
  EXPECT_EQ(FindSweeps(std::vector<double>{}).size(), 0u);
  EXPECT_EQ(FindSweeps(std::vector<double>{0.1}).size(), 1u);
  EXPECT_NEAR(MedianStep(x), 0.005, 1e-15);
}

TEST(Sweeps, JitterAndNoiseOfTheRecordedPotentialMakeNoTurns) {
  std::mt19937 random(7);
  std::normal_distribution<double> jitter(0.0, 0.0004);  // 0.4 mV on a 2 mV grid
  std::vector<double> x = Staircase(0.6, -0.2, 0.002, 6);
  for (double& e : x) e += jitter(random);
  const std::vector<Sweep> sweeps = FindSweeps(x);
  ASSERT_EQ(sweeps.size(), 6u);
  // Each turn within two points of the true vertex, whichever of the noisy points came out
  // furthest.
  for (int s = 0; s < 5; ++s) EXPECT_NEAR(sweeps[s].last, 401 * s + 400, 2) << s;
}

TEST(Sweeps, AnImportedAxisKeepsTheShapeARunWouldGiveIt) {
  CurveSet curves;
  const std::vector<double> x = Staircase(0.3, -0.3, 0.005, 2);
  curves.pointCount = static_cast<Count>(x.size());
  for (std::size_t i = 0; i < x.size(); ++i) curves.x(static_cast<int>(i) + 1) = x[i];
  ReadAxisShape(curves);
  EXPECT_EQ(curves.axisCycles, 1.0);
  EXPECT_EQ(curves.sweepPointCount, 121);  // as the run counts it: the vertex's first point
  EXPECT_EQ(curves.axisStep, std::fabs(x[1] - x[0]));

  // Unevenly spaced: the median spacing, not the first one.
  const double uneven[] = {0.0, 0.0004, 0.003, 0.006, 0.0091, 0.012, 0.0149, 0.018};
  curves.pointCount = 8;
  for (int i = 1; i <= 8; ++i) curves.x(i) = uneven[i - 1];
  ReadAxisShape(curves);
  EXPECT_NEAR(curves.axisStep, 0.0029, 1e-12);
  EXPECT_EQ(curves.axisCycles, 0.5);
}

TEST(Interpolation, LinearOnEitherDirectionAndHeldBeyondTheEnds) {
  const double up[] = {0.0, 0.1, 0.1, 0.3}, values[] = {1.0, 2.0, 4.0, 0.0};
  const std::pair<double, double> cases[] = {{0.05, 1.5}, {0.2, 2.0}, {-1.0, 1.0}, {1.0, 0.0}};
  for (const auto& [at, value] : cases) {
    EXPECT_DOUBLE_EQ(numerics::InterpolateLinear(up, values, at), value) << at;
  }
  const std::vector<double> grid = numerics::EvenGrid(0.3, 0.2, 0.025);
  ASSERT_EQ(grid.size(), 5u);
  EXPECT_DOUBLE_EQ(grid.back(), 0.2);
  EXPECT_TRUE(numerics::EvenGrid(0, 1, 0).empty());
}

// One location serves every curve over a falling axis: the sample and the share of the way to the
// next, a sample itself at a node, at an end beyond it and across a repeated potential.
TEST(Interpolation, OneLocationServesEveryCurveOverTheAxis) {
  const double down[] = {0.3, 0.2, 0.2, 0.0};
  const double a[] = {1.0, 3.0, 5.0, 9.0}, b[] = {-2.0, 0.0, 1.0, 2.0};
  const struct {
    double at, share, value;  // the value of a; NaN: either sample at the repeated potential
  } cases[] = {{0.25, 0.5, 2.0}, {0.05, 0.75, 8.0}, {0.3, 0.0, 1.0},
               {0.5, 0.0, 1.0},  {-0.1, 0.0, 9.0},  {0.2, 0.0, NAN}};
  for (const auto& c : cases) {
    const numerics::LinearPosition p = numerics::LocateLinear(down, c.at);
    EXPECT_DOUBLE_EQ(p.share, c.share) << c.at;
    if (!std::isnan(c.value)) EXPECT_DOUBLE_EQ(numerics::InterpolateAt(a, p), c.value) << c.at;
    for (const double* y : {a, b}) {
      const std::span<const double> values(y, 4);
      EXPECT_EQ(numerics::InterpolateAt(values, p),
                numerics::InterpolateLinear(down, values, c.at));
    }
  }
  EXPECT_TRUE(numerics::LocateLinear({}, 0.1).empty);
}

}  // namespace
}  // namespace kivex::model
