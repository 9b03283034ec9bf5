#include "analysis/transforms.h"

#include <gtest/gtest.h>

#include <limits>

#include "model/failure.h"
#include "numerics/calculus.h"

namespace kivex::analysis {
namespace {

using numerics::ColumnOf;
using numerics::Differentiate;
using numerics::Integrate;
using numerics::XAxis;

struct Curve {
  XAxis x;
  model::Table2<double, model::kMaxPoints, 6> y;
  std::span<double> f() { return ColumnOf(y, 1); }
};

TEST(Transforms, DerivativeIsPerVoltAndTheIntegralARunningRectangleSum) {
  Curve c;
  for (int i = 1; i <= 10; ++i) {
    c.x(i) = 0.3 - 0.01 * (i - 1);  // towards negative potentials
    c.y(i, 1) = 2.0 + 3.0 * i;      // rises by 3 per point
  }
  Differentiate(c.x, c.f(), 10);
  for (int i = 1; i <= 10; ++i) EXPECT_NEAR(c.y(i, 1), 300.0, 1e-9) << i;  // both ends too
  Integrate(c.x, c.f(), 5);
  for (int i = 1; i <= 5; ++i) EXPECT_NEAR(c.y(i, 1), 3.0 * i, 1e-12) << i;  // from the first
  EXPECT_NEAR(c.y(6, 1), 300.0, 1e-9);  // nothing beyond the count is touched
}

TEST(Transforms, TooShortOrUnspacedCurvesAreRefusedUnchanged) {
  Curve c;
  c.x(1) = c.x(2) = 0.1;
  c.y(1, 1) = 4;
  c.y(2, 1) = 5;
  for (int count : {1, 2}) {  // one point; two at zero spacing
    EXPECT_THROW(Differentiate(c.x, c.f(), count), model::Failure) << count;
    EXPECT_THROW(Integrate(c.x, c.f(), count), model::Failure) << count;
  }
  EXPECT_EQ(c.y(1, 1), 4);
  EXPECT_EQ(c.y(2, 1), 5);
}

TEST(ScaleAndSign, AScaleThatWouldOverflowChangesNothing) {
  Curve c;
  for (int i = 1; i <= 3; ++i) c.y(i, 1) = 1e-6 * i;
  c.y(2, 1) = std::numeric_limits<double>::max() / 10;
  EXPECT_THROW(ScaleY(c.f(), 3, 1000), model::Failure);
  EXPECT_EQ(c.y(1, 1), 1e-6);  // all or nothing
  ScaleY(c.f(), 3, -1);
  EXPECT_EQ(c.y(3, 1), -3e-6);
}

}  // namespace
}  // namespace kivex::analysis
