#include "fitting/fit_quality.h"

#include <gtest/gtest.h>

#include <cmath>
#include <span>
#include <vector>

namespace kivex::fitting {
namespace {

// A line y = a + b x through five points against the textbook: s^2 = SSQ / (n - 2),
// SE(b) = s / sqrt(Sxx), SE(a) = s sqrt(1/n + mean^2 / Sxx), corr = -mean / sqrt(Sxx/n + mean^2),
// 95 % intervals with t(3) = 3.1824. The slope's bounds (five decades) put it on a log scale: its
// interval is b 10^(+-t SE(b) / (b ln 10)).
TEST(FitUncertainty, StraightLineMatchesTheTextbook) {
  const std::vector<double> x = {1, 2, 3, 4, 5}, y = {2.9, 5.2, 6.8, 9.1, 11.2};
  auto line = [&x](std::span<const double> p, std::span<double> v) {
    for (std::size_t i = 0; i < v.size(); ++i) v[i] = p[0] + p[1] * x[i];
  };
  FitState fit{{0, 1}, {-10, 1e-2}, {10, 1e3}, {-1, -1}, {}, y, {}, PopulationVariance(y)};
  FitWork work;
  BeginFit(work, fit);
  for (int i = 0; i < 51 && !IsFinished(fit.Flag); ++i) MarquardtIteration(work, fit, line);
  ASSERT_TRUE(work.logScale[1] && !work.logScale[0]);
  JacobianAtX(work, fit, line);
  const Uncertainty u = EstimateUncertainty(work, fit);

  const double n = 5, mean = 3, sxx = 10;
  double sxy = 0, ssq = 0;
  for (int i = 0; i < 5; ++i) sxy += (x[i] - mean) * (y[i] - 7.04);
  const double b = sxy / sxx, a = 7.04 - b * mean;
  for (int i = 0; i < 5; ++i) ssq += std::pow(y[i] - a - b * x[i], 2);
  const double s = std::sqrt(ssq / (n - 2));
  const double seA = s * std::sqrt(1 / n + mean * mean / sxx), seB = s / std::sqrt(sxx);
  const double t = 3.1824;

  ASSERT_NEAR(fit.X[1], b, 1e-6);
  ASSERT_EQ(u.parameters.size(), 2u);
  EXPECT_NEAR(u.parameters[0].standardError, seA, 1e-4 * seA);
  EXPECT_NEAR(u.parameters[1].standardError, seB, 1e-4 * seB);
  EXPECT_NEAR(u.parameters[0].low, a - t * seA, 1e-3 * seA);
  EXPECT_NEAR(u.parameters[0].high, a + t * seA, 1e-3 * seA);
  const double ratio = std::pow(10.0, t * seB / (b * std::log(10.0)));
  EXPECT_NEAR(u.parameters[1].low, b / ratio, 1e-3 * seB);
  EXPECT_NEAR(u.parameters[1].high, b * ratio, 1e-3 * seB);
  EXPECT_NEAR(u.largestCorrelation, -mean / std::sqrt(sxx / n + mean * mean), 1e-4);
  EXPECT_EQ(u.first + u.second, 1);

  // Student's t beyond the few degrees of freedom it keeps a table for, against the tables.
  const std::pair<int, double> quantiles[] = {{11, 2.2010}, {30, 2.0423}, {1000, 1.9623}};
  for (const auto& [freedom, quantile] : quantiles) {
    EXPECT_NEAR(StudentT95(freedom), quantile, 1e-4) << freedom;
  }
}

}  // namespace
}  // namespace kivex::fitting
