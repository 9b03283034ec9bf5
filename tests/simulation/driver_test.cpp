#include "simulation/driver.h"

#include <gtest/gtest.h>

#include "simulation/cancellation.h"
#include "support/experiments.h"

namespace kivex::simulation {
namespace {

using model::AppState;
using model::CurveSet;

// The axis of each scan mode is shown by the potential_programme scenario, its point count by
// sim_half_steps, the refusals of too many points by sim2_point_limits, overlapping runs in
// the curve slots by sim2_overlap_slots.
TEST(RunSimulation, ClearsOnlyTheColumnsOfTheRunAndTakesTheExtremes) {
  CurveSet curves;
  AppState app;
  app.Estart = 0.3, app.Eend = -0.3, app.Estep = 0.005, app.cycles = 1;
  app.chargeCount = 2, app.digital = true;
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
