#include "simulation/measurement_effects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "simulation/driver.h"
#include "support/experiments.h"

namespace kivex::simulation {
namespace {

using model::AppState;
using model::CurveSet;

std::vector<double> NoiseOn(int points, double noise, double extreme) {
  AppState app;
  app.totalColumn = 1, app.noise = noise;
  CurveSet curves;
  curves.pointCount = static_cast<model::Count>(points);
  AddNoise(app, curves, extreme);
  std::vector<double> added;
  for (int i = 1; i <= points; ++i) added.push_back(curves.resultTable(i, 1));
  return added;
}

TEST(Noise, SpreadIsTheRequestedShareOfAQuarterOfTheExtremeAndRepeatsForAPointCount) {
  // noise 5 %, extreme -2e-6 A: sigma = 0.05 * 2e-6 / 4 = 2.5e-8 A. The sample standard
  // deviation of n normal draws scatters by sigma / sqrt(2n): 5 % is over four of those at
  // n = 1000, and the mean stays within four standard errors of zero.
  for (int points : {1000, 2000, 4000}) {
    const std::vector<double> added = NoiseOn(points, 5, -2e-6);
    double mean = 0, squares = 0;
    for (double value : added) mean += value / points;
    for (double value : added) squares += (value - mean) * (value - mean);
    EXPECT_NEAR(std::sqrt(squares / (points - 1)) / 2.5e-8, 1.0, 0.05) << points;
    EXPECT_NEAR(mean, 0.0, 4 * 2.5e-8 / std::sqrt(points)) << points;
    // The same point count gives the same noise, its sign follows the extreme's; another point
    // count, another sequence.
    EXPECT_EQ(NoiseOn(points, 5, -2e-6), added);
    const std::vector<double> mirrored = NoiseOn(points, 5, 2e-6);
    for (int i = 0; i < points; ++i) ASSERT_EQ(mirrored[i], -added[i]) << i;
    EXPECT_NE(NoiseOn(points - 1, 5, -2e-6)[0], added[0]);
  }
}

TEST(Noise, LeavesTheExtremesAloneAndIsNeverAddedWhileFitting) {
  AppState app = testing::With(testing::Experiment(2, 1), [&](AppState& a) { a.noise = 10; });
  CurveSet curves;
  RunProgress progress;
  RunSimulation(app, curves, false, {}, &progress);
  const testing::Voltammogram reference(testing::Experiment(2, 1));
  ASSERT_TRUE(progress.extremes && reference.progress.extremes);
  EXPECT_EQ(progress.extremes->high, reference.progress.extremes->high);
  EXPECT_NE(curves.y(60, 1), reference.y(60));

  app.fitting = true;
  RunSimulation(app, curves, false);
  EXPECT_EQ(curves.currentCurve, 2);
  for (int i = 1; i <= reference.count(); ++i) EXPECT_EQ(curves.y(i, 2), reference.y(i));
}

}  // namespace
}  // namespace kivex::simulation
