#include "simulation/output_quantity.h"

#include <gtest/gtest.h>

#include "model/failure.h"

namespace kivex::simulation {
namespace {

using model::AppState;
using model::CurveSet;

// Three points of a two-species run with known surface concentrations.
struct Fixture {
  AppState app;
  CurveSet curves;
  Fixture() {
    app.speciesCount = 2;
    app.totalColumn = 2;
    app.area = 2;
    app.electrolyteC = 0.1;
    app.electrolyteCond = 100;  // kappa of the electrolyte alone: 10
    app.conductivity(1) = 1000;
    app.conductivity(2) = 2000;
    curves.pointCount = 3;
    curves.firstPoint = 1;
    curves.lastPoint = 3;
    curves.currentCurve = 2;
    curves.resultCurve = 2;  // curve 2 holds the run's total
    curves.storedCurveCount = 2;
    curves.curveCount = 2;
    for (int i = 1; i <= 3; ++i) {
      curves.resultTable(i, 2) = 1e-6 * i;
      curves.concentrationTable(i, 1) = 0.001 * i;  // adds 1, 2, 3
      curves.concentrationTable(i, 2) = 0.002;      // adds 4
      curves.y(i, 2) = -7;
    }
  }
};

TEST(OutputQuantity, MeasuredOrOtherCurvesAreNeverOverwritten) {
  for (const char* quantity : {"current I", "resistance R", "conductance Cond"}) {
    Fixture f;
    f.curves.currentCurve = 1;  // Next Curve moved on to curve 1
    f.curves.y(2, 1) = 5;
    ApplyOutputQuantity(f.app, f.curves, quantity, 1);
    EXPECT_EQ(f.curves.y(2, 1), 5) << quantity;
    EXPECT_EQ(f.curves.y(2, 2), -7) << quantity;
  }
  for (const char* quantity : {"current I", "surface concentration C"}) {
    Fixture f;
    f.curves.resultCurve = 0;  // an import replaced the axis
    ApplyOutputQuantity(f.app, f.curves, quantity, 1);
    EXPECT_EQ(f.curves.y(2, 2), -7) << quantity;
    EXPECT_EQ(f.curves.y(2, 1), 0) << quantity;
  }
}

// The conductance kappa A / d itself is checked through the command (OutputQuantityCommand).
TEST(OutputQuantity, ResistanceIsTheReciprocalOfTheConductance) {
  Fixture conductance, resistance;
  ApplyOutputQuantity(conductance.app, conductance.curves, "conductance Cond", 0.5);
  ApplyOutputQuantity(resistance.app, resistance.curves, "resistance R", 0.5);
  for (int i = 1; i <= 3; ++i) {
    EXPECT_GT(conductance.curves.y(i, 2), 0);
    EXPECT_DOUBLE_EQ(conductance.curves.y(i, 2) * resistance.curves.y(i, 2), 1.0);
  }
}

TEST(OutputQuantity, SurfaceConcentrationsShowOneCurvePerSpeciesUntilTheCurrentIsBack) {
  Fixture f;
  f.curves.curveCount = 1;
  ApplyOutputQuantity(f.app, f.curves, "surface concentration C", 1);
  EXPECT_EQ(f.curves.curveCount, 2);
  EXPECT_EQ(f.curves.y(3, 1), 0.003);
  EXPECT_EQ(f.curves.y(3, 2), 0.002);
  ApplyOutputQuantity(f.app, f.curves, "current I", 1);
  EXPECT_EQ(f.curves.curveCount, 2);  // back to the stored curves, with the stored total
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(f.curves.y(i, 2), 1e-6 * i);
}

TEST(OutputQuantity, ImpossibleCellValuesAreRefusedBeforeAnythingIsWritten) {
  Fixture f;
  EXPECT_THROW(ApplyOutputQuantity(f.app, f.curves, "conductance Cond", 0), model::InputError);
  EXPECT_THROW(ApplyOutputQuantity(f.app, f.curves, "resistance R", 0), model::InputError);
  f.app.electrolyteC = 0;
  f.curves.concentrationTable(3, 1) = 0;  // no ions at the last point: kappa 0 there only
  f.curves.concentrationTable(3, 2) = 0;
  EXPECT_THROW(ApplyOutputQuantity(f.app, f.curves, "resistance R", 1), model::InputError);
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(f.curves.y(i, 2), -7);
  ApplyOutputQuantity(f.app, f.curves, "conductance Cond", 1);  // a zero conductance is fine
  EXPECT_EQ(f.curves.y(3, 2), 0.0);
}

}  // namespace
}  // namespace kivex::simulation
