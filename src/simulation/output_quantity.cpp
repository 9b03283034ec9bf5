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
void RequireSurfaceConcentrations(const model::CurveSet& curves, int slot,
                                  std::string_view quantity) {
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
  throw model::InputError("Error: \"" + std::string(quantity) +
                          "\" is formed from the surface concentrations of a digital simulation, "
                          "and curve " +
                          std::to_string(slot) + " holds " + holds +
                          ". The curves are left unchanged.");
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

std::optional<OutputQuantity> QuantityOfText(std::string_view text) {
  if (text == kCurrentQuantity) return OutputQuantity::Current;
  if (text == kResistanceQuantity) return OutputQuantity::Resistance;
  if (text == kConductanceQuantity) return OutputQuantity::Conductance;
  if (text == kConcentrationQuantity) return OutputQuantity::Concentration;
  return std::nullopt;
}

std::string_view QuantityText(OutputQuantity quantity) {
  switch (quantity) {
    case OutputQuantity::Resistance: return kResistanceQuantity;
    case OutputQuantity::Conductance: return kConductanceQuantity;
    case OutputQuantity::Concentration: return kConcentrationQuantity;
    case OutputQuantity::Current: break;
  }
  return kCurrentQuantity;
}

void ApplyOutputQuantity(const model::AppState& app, model::CurveSet& curves,
                         std::string_view quantity, double distance) {
  const std::optional<OutputQuantity> chosen = QuantityOfText(quantity);
  if (!chosen) return;
  if (*chosen == OutputQuantity::Current) {
    model::ShowHeldCurves(curves);
    return;
  }
  // While a fit runs, curve 1 holds the measurement and curve 2 the simulated current it is
  // compared with; the concentrations would be drawn over both.
  if (*chosen == OutputQuantity::Concentration && app.fitting) return;

  const int slot = ViewedSlot(curves);
  RequireSurfaceConcentrations(curves, slot, quantity);
  const int first = curves.firstPoint;
  const int last = curves.lastPoint;
  if (*chosen == OutputQuantity::Concentration) {
    const int species = curves.record(slot).species;
    model::ShowHeldCurves(curves);
    model::BeginView(curves, *chosen);
    const auto& concentration = curves.heldConcentration(slot);
    for (int j = 1; j <= species; ++j) {
      for (int i = first; i <= last; ++i) curves.y(i, j) = concentration(i, j);
    }
    curves.curveCount = static_cast<model::Count>(species);
    if (curves.currentCurve > species) curves.currentCurve = 1;
    return;
  }
  const std::vector<double> values =
      CellValues(app, curves, slot, *chosen == OutputQuantity::Resistance, distance);
  model::ShowHeldCurves(curves);
  model::BeginView(curves, *chosen);
  for (int i = first; i <= last; ++i) curves.y(i, slot) = values[i - first];
}

}  // namespace kivex::simulation
