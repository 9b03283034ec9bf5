#include "simulation/driver.h"

#include <gtest/gtest.h>

#include "simulation/potential_programme.h"

namespace kivex::simulation {
namespace {

using model::AppState;
using model::CurveSet;
using model::Failure;
using model::PlotSettings;

AppState Sweep(double Estart, double Eend, double Estep, double cycles) {
  AppState app;
  app.Estart = Estart, app.Eend = Eend, app.Estep = Estep, app.cycles = cycles;
  app.chargeCount = 1, app.digital = true;
  return app;
}

// The axis of each scan mode is shown by the potential_programme scenario.
TEST(PotentialProgramme, PointCountRoundsHalfStepsToEven) {
  EXPECT_EQ(SweepPointCount(0, 0.025, 0.01), 3);  // 2.5 steps -> 2
  EXPECT_EQ(SweepPointCount(0, 0.035, 0.01), 5);  // 3.5 steps -> 4
  EXPECT_EQ(SweepPointCount(0.2, 0.2, 0.005), 1);
}

TEST(PotentialProgramme, RefusesTooManyPointsWithoutTouchingTheCurves) {
  CurveSet curves;
  BuildPotentialProgramme(Sweep(0, 3.999, 0.001, 0.5), curves);
  EXPECT_EQ(curves.pointCount, 4000);  // a single sweep of 4000 points fits

  curves.x(1) = 42;
  EXPECT_THROW(BuildPotentialProgramme(Sweep(0, 2.0, 0.001, 1), curves), Failure);  // 4002
  EXPECT_EQ(curves.pointCount, 4000);
  EXPECT_EQ(curves.x(1), 42);

  EXPECT_THROW(SweepPointCount(0, 100, 0.001), Failure);  // 100001 points: 16-bit overflow
  EXPECT_THROW(SweepPointCount(0, 1, 0), Failure);
}

TEST(RunSimulation, ClearsOnlyTheColumnsOfTheRunAndTakesTheExtremes) {
  CurveSet curves;
  PlotSettings plot;
  AppState app = Sweep(0.3, -0.3, 0.005, 1);
  app.chargeCount = 2;
  curves.resultTable(5, 8) = 9;  // the catalytic column is never cleared by a run
  curves.resultTable(5, 3) = 9;  // the total column is
  plot.yMax = 1;
  RunSimulation(app, curves, plot, false);
  EXPECT_EQ(app.totalColumn, 3);
  EXPECT_EQ(curves.resultTable(5, 8), 9);
  EXPECT_EQ(curves.resultTable(5, 3), 0);
  EXPECT_EQ(curves.lastPoint, 242);
  EXPECT_EQ(plot.yMax, 0);
}

TEST(RunSimulation, OverlapsOnlyRunsOnTheSamePotentialsAndAZeroStepChangesNothing) {
  CurveSet curves;
  PlotSettings plot;
  AppState app = Sweep(0.3, -0.3, 0.005, 0.5);
  RunSimulation(app, curves, plot, true);
  RunSimulation(app, curves, plot, true);
  EXPECT_EQ(curves.curveCount, 2);
  app.Estep = 0.001;  // curves on 5 mV steps cannot be drawn over 1 mV ones
  RunSimulation(app, curves, plot, true);
  EXPECT_EQ(curves.curveCount, 1);
  EXPECT_TRUE(model::ShownCurvesBelongToAxis(curves));
  // A run that cannot start changes nothing and chooses no slot.
  const double lastX = curves.x(601);
  app.Estep = 0;
  EXPECT_THROW(RunSimulation(app, curves, plot, true), Failure);
  EXPECT_EQ(curves.currentCurve, 1);
  EXPECT_EQ(curves.pointCount, 601);
  EXPECT_EQ(curves.x(601), lastX);
}

TEST(CurveSlots, OverlapFillsFiveSlotsThenStartsAgainAndFittingUsesCurveTwo) {
  CurveSet curves;
  for (int run = 1; run <= 6; ++run) {
    model::SelectCurveSlot(curves, false, true);
    EXPECT_EQ(curves.currentCurve, run == 6 ? 1 : run);
    EXPECT_EQ(curves.curveCount, curves.currentCurve);
  }
  model::SelectCurveSlot(curves, true, false);
  EXPECT_EQ(curves.currentCurve, 2);
}

}  // namespace
}  // namespace kivex::simulation
