#include "simulation/driver.h"

#include <gtest/gtest.h>

#include "simulation/cancellation.h"
#include "simulation/potential_programme.h"
#include "support/experiments.h"

namespace kivex::simulation {
namespace {

using model::AppState;
using model::CurveSet;
using model::Failure;

AppState Sweep(double Estart, double Eend, double Estep, double cycles) {
  AppState app;
  app.Estart = Estart, app.Eend = Eend, app.Estep = Estep, app.cycles = cycles;
  app.chargeCount = 1, app.digital = true;
  return app;
}

// The axis of each scan mode is shown by the potential_programme scenario, the refusals of too
// many points by sim2_point_limits, overlapping runs in the curve slots by sim2_overlap_slots.
TEST(PotentialProgramme, PointCountRoundsHalfStepsToEvenAndAFullCurveFits) {
  EXPECT_EQ(SweepPointCount(0, 0.025, 0.01), 3);  // 2.5 steps -> 2
  EXPECT_EQ(SweepPointCount(0, 0.035, 0.01), 5);  // 3.5 steps -> 4
  EXPECT_EQ(SweepPointCount(0.2, 0.2, 0.005), 1);
  CurveSet curves;
  BuildPotentialProgramme(Sweep(0, 3.999, 0.001, 0.5), curves);
  EXPECT_EQ(curves.pointCount, 4000);  // a single sweep of 4000 points fits
}

TEST(RunSimulation, ClearsOnlyTheColumnsOfTheRunAndTakesTheExtremes) {
  CurveSet curves;
  AppState app = Sweep(0.3, -0.3, 0.005, 1);
  app.chargeCount = 2;
  // The catalytic column (8) is never cleared by a run, the total column (3) is.
  curves.resultTable(5, 8) = curves.resultTable(5, 3) = 9;
  RunProgress progress;
  progress.extremes = CurrentExtremes{-1, 1};
  RunSimulation(app, curves, false, {}, &progress);
  EXPECT_EQ(app.totalColumn, 3);
  EXPECT_EQ(curves.resultTable(5, 8), 9);
  EXPECT_EQ(curves.resultTable(5, 3), 0);
  EXPECT_EQ(curves.lastPoint, 242);
  ASSERT_TRUE(progress.extremes);
  EXPECT_EQ(progress.extremes->high, 0);
}

// The analytical route's long solves (a pulse through an ohmic drop, solved over each point's
// programme) stop when asked, as the digital route does: a refusal changes no number, a yes ends
// the run with nothing of it shown.
TEST(RunSimulation, AnAnalyticalSolveThroughTheDropStopsWhenAsked) {
  AppState app = testing::Experiment(4, 1);
  app.Estep = 0.05, app.Ru = 100;
  std::unique_ptr<CurveSet> curves;
  const std::vector<double> plain = testing::StoppableRun(app, {}, curves);
  ASSERT_EQ(plain.size(), 13u);
  int asked = 0;
  EXPECT_EQ(testing::StoppableRun(
                app, [&] { return ++asked, false; }, curves),
            plain);
  EXPECT_GT(asked, 13);
  asked = 0;
  EXPECT_THROW(testing::StoppableRun(
                   app, [&] { return ++asked == 2; }, curves),
               SimulationCancelled);
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(curves->record(1).origin, model::CurveOrigin::None);
}

}  // namespace
}  // namespace kivex::simulation
