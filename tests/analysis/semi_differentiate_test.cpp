#include "numerics/semi_differentiate.h"

#include <gtest/gtest.h>

#include <cmath>

#include "numerics/calculus.h"

namespace kivex::numerics {
namespace {

struct Curve {
  XAxis x;
  model::Table2<double, model::kMaxPoints, 6> y;
  std::span<double> f() { return ColumnOf(y, 1); }
};

Curve Sampled(int n, double h, double (*f)(double)) {
  Curve c;
  for (int i = 1; i <= n; ++i) {
    c.x(i) = 0.3 - h * (i - 1);  // recorded towards negative potentials
    c.y(i, 1) = f(i * h);
  }
  return c;
}

TEST(SemiDifferentiate, IsExactForAStraightLineWithTheTextbookFactor) {
  // d^(1/2) t / dt^(1/2) = 2 sqrt(t / pi); L1 is exact for piecewise-linear data starting at 0
  // one step before the first point, with the factor 2 / sqrt(pi dt).
  const double dt = 0.01;
  Curve c = Sampled(50, dt, [](double t) { return t; });
  SemiDifferentiateL1(c.f(), 50, 2 / std::sqrt(M_PI * dt));
  for (int i = 3; i <= 49; ++i) {
    EXPECT_NEAR(c.y(i, 1), 2 * std::sqrt(i * dt / M_PI), 1e-12) << i;
  }
  // Ends continue the neighbouring slopes.
  EXPECT_NEAR(c.y(50, 1), 2 * c.y(49, 1) - c.y(48, 1), 1e-12);
  EXPECT_NEAR(c.y(2, 1), c.y(3, 1) - (c.y(4, 1) - c.y(3, 1)), 1e-12);
  EXPECT_NEAR(c.y(1, 1), c.y(2, 1) - (c.y(4, 1) - c.y(3, 1)), 1e-12);
}

TEST(SemiDifferentiate, CommandUsesAQuarterOverRootPiHWhicheverWayTheSweepRan) {
  // A constant telescopes to factor (sqrt(i) - sqrt(i - 1)), provided every term reads the curve
  // as it was and not the values already written back.
  const double h = 0.005;
  const double factor = 0.25 * std::sqrt(1 / (3.141592654 * h));
  for (double direction : {1.0, -1.0}) {
    Curve c = Sampled(20, h, [](double) { return 1.0; });
    for (int i = 1; i <= 20; ++i) c.x(i) *= direction;
    SemiDifferentiate(c.x, c.f(), 20);
    for (int i = 3; i <= 19; ++i) {
      EXPECT_NEAR(c.y(i, 1), factor * (std::sqrt(i) - std::sqrt(i - 1.0)), 1e-12) << i;
    }
    EXPECT_EQ(c.y(21, 1), 0.0);  // nothing beyond the curve is touched
  }
}

}  // namespace
}  // namespace kivex::numerics
