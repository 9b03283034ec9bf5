#include "simulation/output_quantity.h"

#include <string>
#include <vector>

#include "model/checked_math.h"
#include "model/failure.h"

namespace kivex::simulation {

namespace {

using model::CurveOrigin;
using model::OutputQuantity;

// The slot whose simulation a view shows: the current curve among the held ones.
int ViewedSlot(const model::CurveSet& curves) {
  return curves.shown == OutputQuantity::Current ? curves.currentCurve : curves.heldCurrentCurve;
}

// Every quantity but the current is formed from the surface concentrations of one simulation.
void RequireSurfaceConcentrations(const model::CurveSet& curves, int slot) {
  const bool held = slot >= 1 && slot <= model::kMaxCurves;
  const model::HeldCurve record = held ? curves.record(slot) : model::HeldCurve{};
  const bool onAxis = record.axis == curves.axis && record.points == curves.pointCount;
  if (record.origin == CurveOrigin::Simulation && onAxis && record.species > 0) return;
  std::string holds;
  if (record.origin == CurveOrigin::Measurement && onAxis) {
    holds = "measured data";
  } else if (record.origin == CurveOrigin::Simulation && onAxis) {
    holds = "an analytical simulation, which computes none";
  } else {
    holds = "no simulation on these potentials";
  }
  throw NoSurfaceConcentrations(
      "is formed from the surface concentrations of a digital simulation, and curve " +
      std::to_string(slot) + " holds " + holds + ". The curves are left unchanged.");
}

double SolutionConductivity(const model::AppState& app, const model::CurveSet& curves, int slot,
                            int i) {
  const auto& concentration = curves.heldConcentration(slot);
  double kappa = app.electrolyteC * app.electrolyteCond;
  for (int j = 1; j <= curves.record(slot).species; ++j) {
    kappa += concentration(i, j) * app.conductivity(j);
  }
  return model::Finite(kappa);
}

// The resistance or conductance of every point, refused as a whole when one cannot be formed.
std::vector<double> CellValues(const model::AppState& app, const model::CurveSet& curves, int slot,
                               bool resistance, double distance) {
  if (distance == 0.0) {
    throw model::InputError(
        "Error: the distance between the electrodes (Dis) is zero, so the cell cannot have a "
        "resistance or conductance. Please enter it in the Instrument dialog; the curves are "
        "left unchanged.");
  }
  if (app.area == 0.0) {
    throw model::InputError(
        "Error: the electrode area is zero, so the cell cannot have a resistance or conductance. "
        "The curves are left unchanged.");
  }
  std::vector<double> values;
  for (int i = curves.firstPoint; i <= curves.lastPoint; ++i) {
    const double kappa = SolutionConductivity(app, curves, slot, i);
    if (resistance && kappa == 0.0) {
      throw model::InputError(
          "Error: the conductivity of the solution (electrolyte and species) is zero, so the "
          "resistance is infinite. The curves are left unchanged.");
    }
    values.push_back(resistance ? model::Div(distance / app.area, kappa)
                                : model::Finite(app.area / distance * kappa));
  }
  return values;
}

}  // namespace

void ApplyOutputQuantity(const model::AppState& app, model::CurveSet& curves,
                         OutputQuantity quantity, double distance) {
  if (quantity == OutputQuantity::Current) {
    model::ShowHeldCurves(curves);
    return;
  }
  // While a fit runs, curve 1 holds the measurement and curve 2 the simulated current it is
  // compared with; the concentrations would be drawn over both.
  if (quantity == OutputQuantity::Concentration && app.fitting) return;

  const int slot = ViewedSlot(curves);
  RequireSurfaceConcentrations(curves, slot);
  const int first = curves.firstPoint;
  const int last = curves.lastPoint;
  if (quantity == OutputQuantity::Concentration) {
    const int species = curves.record(slot).species;
    model::ShowHeldCurves(curves);
    model::BeginView(curves, quantity);
    const auto& concentration = curves.heldConcentration(slot);
    for (int j = 1; j <= species; ++j) {
      for (int i = first; i <= last; ++i) curves.y(i, j) = concentration(i, j);
    }
    curves.curveCount = static_cast<model::Count>(species);
    if (curves.currentCurve > species) curves.currentCurve = 1;
    return;
  }
  const std::vector<double> values =
      CellValues(app, curves, slot, quantity == OutputQuantity::Resistance, distance);
  model::ShowHeldCurves(curves);
  model::BeginView(curves, quantity);
  for (int i = first; i <= last; ++i) curves.y(i, slot) = values[i - first];
}

}  // namespace kivex::simulation
