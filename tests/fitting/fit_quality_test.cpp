#include "fitting/fit_quality.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "fitting/fit_driver.h"

namespace kivex::fitting {
namespace {

// `y` fitted from `start` within the bounds in the driver's loop of at most 51 calls, and the
// uncertainty of the end point.
Uncertainty Fitted(Summary& fit, ModelFunction model, const std::vector<double>& y,
                   const std::vector<double>& start, const std::vector<double>& min,
                   const std::vector<double>& max) {
  const Problem problem{start, min, max, {1, 1}, {}, y, PopulationVariance(y)};
  FitWork work;
  BeginFit(work, problem, fit);
  for (int i = 0; i < 51 && !IsFinished(fit.Flag); ++i)
    MarquardtIteration(work, problem, fit, model);
  JacobianAtX(work, problem, fit, model);
  return EstimateUncertainty(work, problem, fit);
}

// A line y = a + b x through five points against the textbook: s^2 = SSQ / (n - 2),
// SE(b) = s / sqrt(Sxx), SE(a) = s sqrt(1/n + mean^2 / Sxx), corr = -mean / sqrt(Sxx/n + mean^2),
// 95 % intervals with t(3) = 3.1824. The slope's bounds (five decades) put it on a log scale: its
// interval is b 10^(+-t SE(b) / (b ln 10)).
TEST(FitUncertainty, StraightLineMatchesTheTextbook) {
  const std::vector<double> x = {1, 2, 3, 4, 5}, y = {2.9, 5.2, 6.8, 9.1, 11.2};
  auto line = [&x](std::span<const double> p, std::span<double> v) {
    for (std::size_t i = 0; i < v.size(); ++i) v[i] = p[0] + p[1] * x[i];
  };
  Summary fit;
  const Uncertainty u = Fitted(fit, line, y, {0, 1}, {-10, 1e-2}, {10, 1e3});

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

  // Exact data: the fit stops once its sum is below the exactness floor x the data's variance, so
  // that sum stands in for the vanished SSQ and the intervals stay open around the true line.
  std::vector<double> exact(5);
  for (int i = 0; i < 5; ++i) exact[i] = 1 + 2 * x[i];
  const ParameterUncertainty slope =
      Fitted(fit, line, exact, {0, 1}, {-10, -10}, {10, 10}).parameters[1];
  const double seExact =
      std::sqrt(Options{}.exactnessFloor * 8.0 / (n - 2) / sxx);  // variance of y: 8
  EXPECT_NEAR(slope.standardError, seExact, 1e-6 * seExact);
  EXPECT_LT(slope.low, 2.0);
  EXPECT_GT(slope.high, 2.0);

  // Student's t beyond the few degrees of freedom it keeps a table for, against the tables.
  const std::pair<int, double> quantiles[] = {{11, 2.2010}, {30, 2.0423}, {1000, 1.9623}};
  for (const auto& [freedom, quantile] : quantiles) {
    EXPECT_NEAR(StudentT95(freedom), quantile, 1e-4) << freedom;
  }
}

// y = a b x + c: a and b only as their product, so one of them is not determined, and the report
// says the intervals of the others hold only with it fixed where the fit left it.
TEST(FitUncertainty, AParameterTheDataCannotTellApartIsNamedWithTheIntervalsItHolds) {
  const std::vector<double> x = {1, 2, 3, 4, 5}, y = {3.1, 4.9, 7.2, 8.8, 11.1};
  auto product = [&x](std::span<const double> p, std::span<double> v) {
    for (std::size_t i = 0; i < v.size(); ++i) v[i] = p[0] * p[1] * x[i] + p[2];
  };
  Summary fit;
  const Problem problem{{1, 1, 0}, {-10, -10, -10},      {10, 10, 10}, {1, 1, 1}, {},
                        y,         PopulationVariance(y)};
  FitWork work;
  BeginFit(work, problem, fit);
  for (int i = 0; i < 51 && !IsFinished(fit.Flag); ++i)
    MarquardtIteration(work, problem, fit, product);
  JacobianAtX(work, problem, fit, product);
  FitReport report;
  report.slots = {1, 2, 3};
  report.initial = problem.X;
  report.fitted = fit.X;
  report.min = problem.Min;
  report.max = problem.Max;
  report.uncertainty = EstimateUncertainty(work, problem, fit);
  const auto& p = report.uncertainty.parameters;
  ASSERT_EQ(p.size(), 3u);
  EXPECT_TRUE(p[2].determined);
  ASSERT_NE(p[0].determined, p[1].determined);
  const std::string held = "hold only with No. " + std::string(p[0].determined ? "2" : "1");
  int found = 0;
  for (const model::PrintLine& line : ReportLines(report))
    found += line.str().find(held) != std::string::npos;
  EXPECT_EQ(found, 1);
}

// A peak fitted for its height and position on 400 points whose noise is AR(1), e(i) =
// rho e(i-1) + sqrt(1 - rho^2) s z(i): over 300 seeded draws the fitted values spread as the
// reported standard errors say once they are widened for the residuals' correlation, and several
// times more than the unwidened ones say. White noise is left exactly as it was.
TEST(FitUncertainty, CorrelatedResidualsWidenTheStandardErrorsToTheSpreadOverDraws) {
  const int points = 400, draws = 300;
  std::vector<double> x(points);
  for (int i = 0; i < points; ++i) x[i] = i / (points - 1.0);
  auto peak = [&x](std::span<const double> p, std::span<double> v) {
    for (std::size_t i = 0; i < v.size(); ++i) {
      const double z = (x[i] - p[1]) / 0.1;
      v[i] = p[0] * std::exp(-z * z);
    }
  };
  struct Summary {
    double spread[2], error[2], unwidened[2], sum[2], squares[2];
    int widened = 0;
  };
  std::vector<double> clean(points);
  peak(std::vector<double>{1, 0.5}, clean);
  auto run = [&](double rho, unsigned seed) {
    std::mt19937 random(seed);
    std::normal_distribution<double> gauss;
    Summary summary{};
    for (int d = 0; d < draws; ++d) {
      std::vector<double> y(clean);
      double e = gauss(random) * 0.02;
      for (int i = 0; i < points; ++i) {
        if (i > 0) e = rho * e + std::sqrt(1 - rho * rho) * 0.02 * gauss(random);
        y[i] += e;
      }
      fitting::Summary fit;
      const Uncertainty u = Fitted(fit, peak, y, {0.8, 0.45}, {0.1, 0.2}, {10, 0.8});
      summary.widened += u.widening > 1;
      for (int j = 0; j < 2; ++j) {
        summary.sum[j] += fit.X[j], summary.squares[j] += fit.X[j] * fit.X[j];
        summary.error[j] += u.parameters[j].standardError / draws;
        summary.unwidened[j] += u.parameters[j].standardError / u.widening / draws;
      }
    }
    for (int j = 0; j < 2; ++j) {
      const double sum = summary.sum[j];
      summary.spread[j] = std::sqrt((summary.squares[j] - sum * sum / draws) / (draws - 1));
    }
    return summary;
  };

  for (const double rho : {0.6, 0.85}) {
    const Summary s = run(rho, 7);
    EXPECT_EQ(s.widened, draws) << rho;
    for (int j = 0; j < 2; ++j) {
      SCOPED_TRACE(testing::Message() << "rho " << rho << ", parameter " << j);
      EXPECT_GT(s.spread[j] / s.error[j], 0.75);
      EXPECT_LT(s.spread[j] / s.error[j], 1.35);
      // sqrt((1 + rho) / (1 - rho)) = 2 and 3.5: the unwidened errors are far too small.
      EXPECT_GT(s.spread[j] / s.unwidened[j], 1.6);
    }
  }
  const Summary white = run(0.0, 8);
  EXPECT_EQ(white.widened, 0);
  for (int j = 0; j < 2; ++j) {
    EXPECT_EQ(white.error[j], white.unwidened[j]);
    EXPECT_NEAR(white.spread[j] / white.error[j], 1.0, 0.15) << j;
  }
}

// The widening and the interval of one fit, from its residuals' lag-1 correlation written out:
// a line through 200 points with a slow sine on top, which leaves residuals that run together.
// (The report's sentence on the widening: the fit_failures scenario.)
TEST(FitUncertainty, WideningAndIntervalFollowTheLagOneCorrelation) {
  const int points = 200;
  std::vector<double> x(points), y(points);
  for (int i = 0; i < points; ++i) {
    x[i] = i;
    y[i] = 1 + 0.01 * i + 0.05 * std::sin(i / 7.0) + 0.02 * std::cos(i * 2.1);
  }
  auto line = [&x](std::span<const double> p, std::span<double> v) {
    for (std::size_t i = 0; i < v.size(); ++i) v[i] = p[0] + p[1] * x[i];
  };
  Summary fit;
  const Uncertainty u = Fitted(fit, line, y, {0, 0}, {-10, -1}, {10, 1});

  // The residuals' lag-1 correlation by hand.
  std::vector<double> r(points);
  double mean = 0;
  for (int i = 0; i < points; ++i) mean += (r[i] = y[i] - fit.X[0] - fit.X[1] * x[i]) / points;
  double spread = 0, neighbours = 0, ssq = 0;
  for (int i = 0; i < points; ++i) {
    spread += (r[i] - mean) * (r[i] - mean);
    ssq += r[i] * r[i];
    if (i > 0) neighbours += (r[i] - mean) * (r[i - 1] - mean);
  }
  const double lag1 = neighbours / spread;
  ASSERT_GT(lag1, 0.5);
  const double widening = std::sqrt((1 + lag1) / (1 - lag1));
  const double independent = points * (1 - lag1) / (1 + lag1);
  EXPECT_NEAR(u.lag1, lag1, 1e-9);
  EXPECT_NEAR(u.widening, widening, 1e-9);
  EXPECT_NEAR(u.independentPoints, independent, 1e-7);
  EXPECT_EQ(u.points, points);
  // The slope's error: s / sqrt(Sxx), s^2 = SSQ / (N - 2), widened; its interval with Student's t
  // of the independent points less the two parameters.
  double sxx = 0;
  for (int i = 0; i < points; ++i) sxx += (x[i] - 99.5) * (x[i] - 99.5);
  const double se = widening * std::sqrt(ssq / (points - 2) / sxx);
  EXPECT_NEAR(u.parameters[1].standardError, se, 1e-6 * se);
  const double t = StudentT95(static_cast<int>(std::lround(independent)) - 2);
  EXPECT_NEAR(u.parameters[1].high - fit.X[1], t * se, 1e-5 * se);
}

}  // namespace
}  // namespace kivex::fitting
