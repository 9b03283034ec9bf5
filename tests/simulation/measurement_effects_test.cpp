#include "simulation/measurement_effects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "simulation/analytical_experiment.h"
#include "simulation/driver.h"

namespace kivex::simulation {
namespace {

using model::AppState;
using model::CurveSet;

// A programme with no faradaic current (a normal pulse at a rotating disk has no current
// function), so the total is the instrument effect alone.
AppState Blank(int technique, double cycles, double Estart = 0.3, double Eend = -0.3) {
  AppState app = physics::Experiment(technique, 8);
  if (technique == 1 || technique == 2) app.caseCode = static_cast<model::Count>(10 * technique);
  app.cycles = cycles;
  app.Estart = Estart;
  app.Eend = Eend;
  return app;
}

std::vector<double> Total(AppState& app) {
  CurveSet curves;
  model::PlotSettings plot;
  RunSimulation(app, curves, plot, false);
  std::vector<double> total;
  for (int i = 1; i <= curves.pointCount; ++i) total.push_back(curves.y(i, 1));
  return total;
}

TEST(ChargingCurrent, SingleSweepChargesInTheScanDirection) {
  // C = Cdl A v; a negative-going sweep charges cathodically, which is positive here.
  for (double direction : {-1.0, 1.0}) {
    AppState app = Blank(1, 0.5, 0.3, 0.3 + 0.6 * direction);
    app.Cdl = 2e-5;
    app.area = 0.5;
    const double C = 2e-5 * 0.5 * 0.01;
    for (double value : Total(app)) EXPECT_DOUBLE_EQ(value, -direction * C);
  }
}

TEST(ChargingCurrent, OtherTechniquesOfASingleSweepGrowWithTheDistanceFromTheStart) {
  for (int technique = 2; technique <= 5; ++technique) {
    AppState app = Blank(technique, 0.5);
    app.Cdl = 1e-5;
    const std::vector<double> total = Total(app);
    for (std::size_t i = 0; i < total.size(); ++i) {
      const double x = 0.3 - 0.005 * static_cast<double>(i);
      EXPECT_NEAR(total[i], (0.3 - x) * 1e-5 * 0.01, 1e-20) << technique;
    }
  }
}

TEST(ChargingCurrent, CyclesChangeSignWithEverySweep) {
  for (double cycles : {1.0, 2.0}) {
    for (int technique : {1, 3}) {
      AppState app = Blank(technique, cycles);
      app.Cdl = 1e-5;
      const double C = 1e-5 * 0.01;
      const std::vector<double> total = Total(app);
      ASSERT_EQ(total.size(), static_cast<std::size_t>(242 * cycles));
      for (std::size_t i = 0; i < total.size(); ++i) {
        // Negative-going first sweep: +C forward, -C back, repeated.
        const double expected = (i / 121) % 2 == 0 ? C : -C;
        EXPECT_DOUBLE_EQ(total[i], expected) << "cycles " << cycles << " point " << i + 1;
      }
    }
  }
}

TEST(ChargingCurrent, NoneWithoutCapacitance) {
  AppState app = Blank(1, 1);
  app.Cdl = -1e-5;
  for (double value : Total(app)) EXPECT_EQ(value, 0.0);
}

double Mean(const std::vector<double>& v) {
  double sum = 0;
  for (double value : v) sum += value;
  return sum / static_cast<double>(v.size());
}

double StandardDeviation(const std::vector<double>& v) {
  const double mean = Mean(v);
  double sum = 0;
  for (double value : v) sum += (value - mean) * (value - mean);
  return std::sqrt(sum / static_cast<double>(v.size() - 1));
}

std::vector<double> NoiseOn(int points, double noise, double extreme) {
  AppState app;
  app.totalColumn = 1;
  app.noise = noise;
  CurveSet curves;
  curves.pointCount = static_cast<model::Count>(points);
  AddNoise(app, curves, extreme);
  std::vector<double> added;
  for (int i = 1; i <= points; ++i) added.push_back(curves.resultTable(i, 1));
  return added;
}

TEST(Noise, StandardDeviationIsTheRequestedShareOfAQuarterOfTheExtreme) {
  // noise 5 %, extreme -2e-6 A: sigma = 0.05 * 2e-6 / 4 = 2.5e-8 A. The sample standard
  // deviation of n normal draws scatters by sigma / sqrt(2n): 5 % is over four of those at
  // n = 1000, and the mean stays within four standard errors of zero.
  for (int points : {1000, 2000, 4000}) {
    const std::vector<double> added = NoiseOn(points, 5, -2e-6);
    EXPECT_NEAR(StandardDeviation(added) / 2.5e-8, 1.0, 0.05) << points;
    EXPECT_NEAR(Mean(added), 0.0, 4 * 2.5e-8 / std::sqrt(points)) << points;
  }
}

TEST(Noise, SamePointCountGivesTheSameNoiseAndTheSignFollowsTheExtreme) {
  const std::vector<double> a = NoiseOn(500, 3, 1e-6);
  EXPECT_EQ(NoiseOn(500, 3, 1e-6), a);
  const std::vector<double> mirrored = NoiseOn(500, 3, -1e-6);
  for (std::size_t i = 0; i < a.size(); ++i) EXPECT_EQ(mirrored[i], -a[i]);
  EXPECT_NE(NoiseOn(501, 3, 1e-6)[0], a[0]);  // another point count, another sequence
}

TEST(Noise, GeneratorStaysInItsRangeSoTheLogarithmIsDefined) {
  NoiseGenerator generator(4000);
  for (int i = 0; i < 2 * 199017; ++i) {
    const double u = generator.Draw();
    ASSERT_GE(u, 1.0);
    ASSERT_LE(u, NoiseGenerator::kModulus);
    ASSERT_EQ(u, std::floor(u));
  }
}

TEST(Noise, LeavesTheExtremesAloneAndIsNeverAddedWhileFitting) {
  AppState app = physics::Experiment(2, 1);
  app.noise = 10;
  CurveSet curves;
  model::PlotSettings plot;
  RunSimulation(app, curves, plot, false);
  AppState clean = physics::Experiment(2, 1);
  CurveSet reference;
  model::PlotSettings referencePlot;
  RunSimulation(clean, reference, referencePlot, false);
  EXPECT_EQ(plot.yMax, referencePlot.yMax);
  EXPECT_NE(curves.y(60, 1), reference.y(60, 1));

  app.fitting = true;
  RunSimulation(app, curves, plot, false);
  EXPECT_EQ(curves.currentCurve, 2);
  for (int i = 1; i <= reference.pointCount; ++i) EXPECT_EQ(curves.y(i, 2), reference.y(i, 1));
}

}  // namespace
}  // namespace kivex::simulation
