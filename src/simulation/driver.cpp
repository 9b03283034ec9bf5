#include "simulation/driver.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "model/checked_math.h"
#include "simulation/analytical_route.h"
#include "simulation/digital_simulation.h"
#include "simulation/measurement_effects.h"
#include "simulation/potential_programme.h"

namespace kivex::simulation {

namespace {

// Stores the run's total current in its slot, with what the run computed, over the points of its
// axis.
void HoldRun(const model::AppState& app, model::CurveSet& curves) {
  const int slot = curves.currentCurve;
  for (int i = 1; i <= curves.pointCount; ++i) {
    curves.y(i, slot) = curves.resultTable(i, app.totalColumn);
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
}

// The charging current (unless the route charged the double layer through Ru), the extremes of
// the total current and the noise, over the run's points. The extremes are in `extremes` before
// the noise, which may fail.
void CompleteRun(model::AppState& app, model::CurveSet& curves,
                 std::optional<CurrentExtremes>& extremes) {
  const int total = app.totalColumn;
  if (app.Cdl > 0 && !ChargingThroughDrop(app)) AddChargingCurrent(app, curves);

  // Extremes of the total current, always spanning zero; the signed one scales the noise.
  CurrentExtremes& taken = extremes.emplace();
  for (int i = 1; i <= curves.pointCount; ++i) {
    const double value = curves.resultTable(i, total);
    if (value > taken.high) taken.high = value;
    if (value < taken.low) taken.low = value;
  }
  const double extreme = std::fabs(taken.low) > std::fabs(taken.high) ? taken.low : taken.high;

  if (app.noise > 0 && !app.fitting) AddNoise(app, curves, extreme);
}

// A run whose programme is built: the faradaic current, then CompleteRun, all in the result table.
// `computed` counts the points whose faradaic current is in the table, also when a failure stops
// the run: the digital route finishes one point after the other, the analytical route all at
// once.
void ComputeRun(model::AppState& app, model::CurveSet& curves, DigitalWorkspace& workspace,
                const StopRequest& stop, int& computed, std::optional<CurrentExtremes>& extremes) {
  const int total = app.totalColumn;
  for (int k = 1; k <= total; ++k) {
    for (int i = 1; i <= curves.pointCount; ++i) curves.resultTable(i, k) = 0.0;
  }
  for (int s = 1; s <= std::min<int>(app.speciesCount, model::kMaxSpecies); ++s) {
    for (int i = 1; i <= curves.pointCount; ++i) curves.concentrationTable(i, s) = 0.0;
  }

  if (app.digital) {
    DigitalSimulation(app, curves, workspace, SolveRoute::kPrepared,
                      ResolutionOf(model::AccuracyOf(app)), stop, &computed);
  } else {
    ComputeAnalyticalCurrents(app, curves, stop);
    computed = curves.pointCount;
  }
  CompleteRun(app, curves, extremes);
}

// A run that stopped keeps the points it computed before and no others: its axis ends with them
// (a new axis, on which no other curve lies), and a run that computed none holds nothing in its
// slot. Points the run never reached are not shown as a current of zero.
void HoldStoppedRun(model::AppState& app, model::CurveSet& curves, int computed, bool completed,
                    std::optional<CurrentExtremes>& extremes) {
  const int slot = curves.currentCurve;
  ++curves.axis;
  curves.pointCount = static_cast<model::Count>(computed);
  curves.firstPoint = 1;
  curves.lastPoint = curves.pointCount;
  if (computed == 0) {
    curves.record(slot) = {};
    curves.resultCurve = 0;
    return;
  }
  if (curves.sweepPointCount >= computed) {
    curves.sweepPointCount = static_cast<model::Count>(computed);
    curves.axisCycles = 0.5;
  } else {
    curves.axisCycles = 0;  // part of a cycle: no cycle's own analyses
  }
  if (!completed) CompleteRun(app, curves, extremes);
  HoldRun(app, curves);
}

}  // namespace

double CurrentScale(const model::AppState& app) { return app.area * model::kFaraday * 0.001; }

void RunSimulation(model::AppState& app, model::CurveSet& curves, DigitalWorkspace& workspace,
                   bool overlapTicked, const StopRequest& stopRequest, RunProgress* progress) {
  model::ShowHeldCurves(curves);
  app.totalColumn = model::ToCount(static_cast<long long>(app.chargeCount) + 1);
  RequireQuietTimeSimulated(app);
  // The programme first: a run refused before it (no step, too many points) changes nothing.
  // Curves held on other potentials cannot be overlapped with this run: it starts afresh.
  const bool sameAxis = BuildPotentialProgramme(app, curves);
  model::SelectCurveSlot(curves, app.fitting, overlapTicked && sameAxis);
  const int planned = curves.pointCount;
  RunProgress reached{planned, 0, 0.0, {}};
  auto stop = [&](int computed, bool completed) {
    reached.computed = computed;
    reached.stoppedAt = curves.x(computed + 1);
    if (progress != nullptr) *progress = reached;
    // The stopped run's extremes go straight to the caller, also when its completion fails.
    HoldStoppedRun(app, curves, computed, completed,
                   progress != nullptr ? progress->extremes : reached.extremes);
  };
  int computed = 0;
  try {
    ComputeRun(app, curves, workspace, stopRequest, computed, reached.extremes);
  } catch (const SimulationCancelled&) {
    throw;  // the user stopped it: nothing of it is worth keeping
  } catch (...) {
    // Points whose faradaic current was computed lack the completion steps when those failed.
    stop(computed < planned ? computed : 0, false);
    throw;
  }
  // A value that is not finite ends the run's curve before it.
  const int total = app.totalColumn;
  int finite = 0;
  while (finite < planned && std::isfinite(curves.resultTable(finite + 1, total))) ++finite;
  if (finite < planned) {
    stop(finite, true);
    model::ThrowFailure(model::kOverflow);
  }
  reached.computed = planned;
  if (progress != nullptr) *progress = reached;
  HoldRun(app, curves);
}

void RunSimulation(model::AppState& app, model::CurveSet& curves, bool overlapTicked,
                   const StopRequest& stop, RunProgress* progress) {
  DigitalWorkspace workspace;
  RunSimulation(app, curves, workspace, overlapTicked, stop, progress);
}

}  // namespace kivex::simulation
