#include "simulation/output_quantity.h"

#include <vector>

#include "model/checked_math.h"
#include "model/failure.h"

namespace kivex::simulation {

namespace {

double SolutionConductivity(const model::AppState& app, const model::CurveSet& curves, int i) {
  double kappa = app.electrolyteC * app.electrolyteCond;
  for (int j = 1; j <= app.speciesCount; ++j) {
    kappa += curves.concentrationTable(i, j) * app.conductivity(j);
  }
  return model::Finite(kappa);
}

// The resistance or conductance of every point, refused as a whole when one cannot be formed.
std::vector<double> CellValues(const model::AppState& app, const model::CurveSet& curves,
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
    const double kappa = SolutionConductivity(app, curves, i);
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
                         std::string_view quantity, double distance) {
  const int first = curves.firstPoint;
  const int last = curves.lastPoint;
  // Only a simulated curve is rewritten from the simulation's results: an imported curve, or
  // another curve made current, keeps its data.
  if (curves.resultCurve == 0) return;
  const bool simulatedCurrent = curves.currentCurve == curves.resultCurve;
  if (quantity == kCurrentQuantity) {
    if (!simulatedCurrent) return;
    curves.curveCount = curves.storedCurveCount;
    for (int i = first; i <= last; ++i) {
      curves.y(i, curves.currentCurve) = curves.resultTable(i, app.totalColumn);
    }
  } else if (quantity == kResistanceQuantity || quantity == kConductanceQuantity) {
    if (!simulatedCurrent) return;
    const std::vector<double> values =
        CellValues(app, curves, quantity == kResistanceQuantity, distance);
    curves.curveCount = curves.storedCurveCount;
    for (int i = first; i <= last; ++i) curves.y(i, curves.currentCurve) = values[i - first];
  } else if (quantity == kConcentrationQuantity) {
    // While a fit runs, curve 1 holds the measurement and curve 2 the simulated current it is
    // compared with; the concentrations would be drawn over both.
    if (app.fitting) return;
    curves.curveCount = app.speciesCount;
    for (int j = 1; j <= app.speciesCount; ++j) {
      for (int i = first; i <= last; ++i) curves.y(i, j) = curves.concentrationTable(i, j);
    }
  }
}

}  // namespace kivex::simulation
