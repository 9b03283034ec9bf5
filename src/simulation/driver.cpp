#include "simulation/driver.h"

#include <algorithm>
#include <cmath>

#include "model/checked_math.h"
#include "simulation/analytical_route.h"
#include "simulation/digital_simulation.h"
#include "simulation/measurement_effects.h"
#include "simulation/potential_programme.h"

namespace kivex::simulation {

namespace {

// Stores the run's total current in its slot, with what the run computed. A run that failed
// part-way keeps what it wrote, on its own points; a value that is not finite is kept as 0.
// Returns whether every value was finite.
bool HoldRun(const model::AppState& app, model::CurveSet& curves) {
  const int slot = curves.currentCurve;
  bool finite = true;
  for (int i = 1; i <= curves.pointCount; ++i) {
    const double value = curves.resultTable(i, app.totalColumn);
    finite = finite && std::isfinite(value);
    curves.y(i, slot) = std::isfinite(value) ? value : 0.0;
  }
  curves.firstPoint = 1;
  curves.lastPoint = curves.pointCount;
  curves.resultCurve = curves.currentCurve;
  const int species = app.digital ? std::clamp<int>(app.speciesCount, 0, model::kMaxSpecies) : 0;
  model::HoldCurve(curves, slot, model::CurveOrigin::Simulation, species);
  curves.record(slot).settings = model::RunSettingsOf(app);
  auto& kept = curves.heldConcentration(slot);
  for (int s = 1; s <= species; ++s) {
    const double* from = curves.concentrationTable.Column(s);
    std::copy(from + 1, from + 1 + curves.pointCount, kept.Column(s) + 1);
  }
  return finite;
}

// A run whose programme is built: the faradaic current, the charging current, the extremes for
// the plot and the noise, all in the result table.
void ComputeRun(model::AppState& app, model::CurveSet& curves, model::PlotSettings& plot,
                const StopRequest& stop) {
  const int total = app.totalColumn;
  for (int k = 1; k <= total; ++k) {
    for (int i = 1; i <= curves.pointCount; ++i) curves.resultTable(i, k) = 0.0;
  }
  for (int s = 1; s <= std::min<int>(app.speciesCount, model::kMaxSpecies); ++s) {
    for (int i = 1; i <= curves.pointCount; ++i) curves.concentrationTable(i, s) = 0.0;
  }

  if (app.digital) {
    DigitalSimulation(app, curves, SolveRoute::kPrepared, {}, stop);
  } else {
    ComputeAnalyticalCurrents(app, curves);
  }

  if (app.Cdl > 0) AddChargingCurrent(app, curves);

  // Extremes of the total current, always spanning zero; the signed one scales the noise.
  plot.yMax = 0.0;
  plot.yMin = 0.0;
  for (int i = 1; i <= curves.pointCount; ++i) {
    const double value = curves.resultTable(i, total);
    if (value > plot.yMax) plot.yMax = value;
    if (value < plot.yMin) plot.yMin = value;
  }
  const double extreme = std::fabs(plot.yMin) > std::fabs(plot.yMax) ? plot.yMin : plot.yMax;

  if (app.noise > 0 && !app.fitting) AddNoise(app, curves, extreme);
}

}  // namespace

double CurrentScale(const model::AppState& app) { return app.area * model::kFaraday * 0.001; }

void RunSimulation(model::AppState& app, model::CurveSet& curves, model::PlotSettings& plot,
                   bool overlapTicked, const StopRequest& stop) {
  model::ShowHeldCurves(curves);
  app.totalColumn = model::ToCount(static_cast<long long>(app.chargeCount) + 1);
  RequireQuietTimeSimulated(app);
  // The programme first: a run refused before it (no step, too many points) changes nothing.
  // Curves held on other potentials cannot be overlapped with this run: it starts afresh.
  const bool sameAxis = BuildPotentialProgramme(app, curves);
  model::SelectCurveSlot(curves, app.fitting, overlapTicked && sameAxis);
  try {
    ComputeRun(app, curves, plot, stop);
  } catch (const SimulationCancelled&) {
    throw;  // the user stopped it: nothing of it is worth keeping
  } catch (...) {
    HoldRun(app, curves);
    throw;
  }
  if (!HoldRun(app, curves)) model::ThrowFailure(model::kOverflow);
}

}  // namespace kivex::simulation
