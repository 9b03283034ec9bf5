#pragma once
// RunSimulation: turns the committed experiment into a voltammogram in the working curves.
//
// The run shows the held curves again (model::ShowHeldCurves), builds the potential programme,
// chooses the curve slot (a fresh start at curve 1 when the held curves lie on other potentials),
// clears the result table, computes the faradaic current analytically or digitally, adds the
// charging current, takes the extremes of the total current, adds noise (never while fitting)
// and holds the total current in the chosen curve, with the surface concentrations of a digital
// run. The extremes are returned, not drawn: the display makes them the plot's Y limits.
// An arithmetic or index failure raises model::Failure (the digital route may also raise the
// solver's InputError). A failure before the programme is built changes nothing. A run that
// fails after it keeps the points it had computed and no others: its curve and the axis end at
// the last of them, on an axis of their own, and a run that computed none leaves its slot empty;
// a point the run never reached is never shown as a current of zero. What the other slots held
// is the caller's to keep or drop (`progress` says how far the run came). Converting the held
// total into the chosen output quantity is the caller's last step.

#include <optional>

#include "model/app_state.h"
#include "model/curve_set.h"
#include "simulation/cancellation.h"
#include "simulation/digital_workspace.h"

namespace kivex::simulation {

// The smallest and largest total current of the points a run holds, always spanning zero.
struct CurrentExtremes {
  double low = 0;   // A, <= 0
  double high = 0;  // A, >= 0
};

// How far a run came: the points of its programme, those it computed (all of them when it
// ended well) and the potential of the point at which it stopped.
struct RunProgress {
  int planned = 0;
  int computed = 0;
  double stoppedAt = 0;  // V
  // The extremes of the total current, taken once the charging current is in (before the noise);
  // a run that failed after that keeps them, one that failed before has none.
  std::optional<CurrentExtremes> extremes;
};

// A digital run asks `stop` as it goes (see DigitalSimulation); a run stopped so throws
// SimulationCancelled and holds nothing of itself, but the axis is already the new run's: the
// caller puts back the curves it started from. A digital run works in `workspace`, which nothing
// else may use until the run returns.
void RunSimulation(model::AppState& app, model::CurveSet& curves, DigitalWorkspace& workspace,
                   bool overlapTicked, const StopRequest& stop = {},
                   RunProgress* progress = nullptr);

// The same in a workspace of its own, allocated for a digital run alone.
void RunSimulation(model::AppState& app, model::CurveSet& curves, bool overlapTicked,
                   const StopRequest& stop = {}, RunProgress* progress = nullptr);

// Amperes per unit of the current functions' n * (cm/s) * (mol/L): area * F * 0.001 (litres to
// cubic centimetres).
double CurrentScale(const model::AppState& app);

}  // namespace kivex::simulation
