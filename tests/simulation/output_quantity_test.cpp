#include "simulation/output_quantity.h"

#include <gtest/gtest.h>

#include "model/failure.h"

namespace kivex::simulation {
namespace {

using model::AppState;
using model::CurveSet;
using Quantity = model::OutputQuantity;

// Three points: a measurement in curve 1 and, in curve 2, a two-species digital run.
struct Fixture {
  AppState app;
  CurveSet curves;
  Fixture() {
    app.area = 2;
    app.electrolyteC = 0.1;
    app.electrolyteCond = 100;  // kappa of the electrolyte alone: 10
    app.conductivity(1) = 1000;
    app.conductivity(2) = 2000;
    curves.axis = 1;
    curves.pointCount = 3;
    curves.firstPoint = 1;
    curves.lastPoint = 3;
    curves.curveCount = curves.storedCurveCount = curves.currentCurve = 2;
    model::HoldCurve(curves, 1, model::CurveOrigin::Measurement, 0);
    model::HoldCurve(curves, 2, model::CurveOrigin::Simulation, 2);
    for (int i = 1; i <= 3; ++i) {
      curves.y(i, 1) = 5 * i;
      curves.y(i, 2) = -7 * i;
      curves.heldConcentration(2)(i, 1) = 0.001 * i;  // adds 1, 2, 3
      curves.heldConcentration(2)(i, 2) = 0.002;      // adds 4
    }
  }
};

// The views themselves are shown by the sim_quantity_views and quantity_keeps_curves scenarios.
TEST(OutputQuantity, AViewThatCannotBeFormedIsRefusedBeforeAnythingIsWritten) {
  auto unchanged = [](const Fixture& f) {
    for (int i = 1; i <= 3; ++i) {
      if (f.curves.y(i, 1) != 5 * i || f.curves.y(i, 2) != -7 * i) return false;
    }
    return f.curves.shown == model::OutputQuantity::Current;
  };
  for (const Quantity quantity : {Quantity::Concentration, Quantity::Resistance}) {
    Fixture measured;
    measured.curves.currentCurve = 1;
    EXPECT_THROW(ApplyOutputQuantity(measured.app, measured.curves, quantity, 1),
                 model::InputError);
    EXPECT_TRUE(unchanged(measured)) << static_cast<int>(quantity);
    Fixture analytical;
    model::HoldCurve(analytical.curves, 2, model::CurveOrigin::Simulation, 0);
    EXPECT_THROW(ApplyOutputQuantity(analytical.app, analytical.curves, quantity, 1),
                 model::InputError);
    EXPECT_TRUE(unchanged(analytical)) << static_cast<int>(quantity);
  }
  Fixture f;
  EXPECT_THROW(ApplyOutputQuantity(f.app, f.curves, Quantity::Conductance, 0), model::InputError);
  EXPECT_THROW(ApplyOutputQuantity(f.app, f.curves, Quantity::Resistance, 0), model::InputError);
  f.app.electrolyteC = 0;
  f.curves.heldConcentration(2)(3, 1) = 0;  // no ions at the last point: kappa 0 there only
  f.curves.heldConcentration(2)(3, 2) = 0;
  EXPECT_THROW(ApplyOutputQuantity(f.app, f.curves, Quantity::Resistance, 1), model::InputError);
  EXPECT_TRUE(unchanged(f));
  ApplyOutputQuantity(f.app, f.curves, Quantity::Conductance, 1);  // a zero conductance is fine
  EXPECT_EQ(f.curves.y(3, 2), 0.0);
}

}  // namespace
}  // namespace kivex::simulation
