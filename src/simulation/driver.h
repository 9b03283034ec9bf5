#pragma once
// RunSimulation: turns the committed experiment into a voltammogram in the working curves.
//
// The run shows the held curves again (model::ShowHeldCurves), builds the potential programme,
// chooses the curve slot (a fresh start at curve 1 when the held curves lie on other potentials),
// clears the result table, computes the faradaic current analytically or digitally, adds the
// charging current, takes the extremes for the plot, adds noise (never while fitting) and holds
// the total current in the chosen curve, with the surface concentrations of a digital run.
// An arithmetic or index failure raises model::Failure (the digital route may also raise the
// solver's InputError). A failure before the programme is built changes nothing. A run that
// fails after it keeps the points it had computed and no others: its curve and the axis end at
// the last of them, on an axis of their own, and a run that computed none leaves its slot empty;
// a point the run never reached is never shown as a current of zero. What the other slots held
// is the caller's to keep or drop (`progress` says how far the run came). Converting the held
// total into the chosen output quantity is the caller's last step.

#include "model/app_state.h"
#include "model/curve_set.h"
#include "model/plot_settings.h"
#include "simulation/cancellation.h"

namespace kivex::simulation {

// How far a run came: the points of its programme, those it computed (all of them when it
// ended well) and the potential of the point at which it stopped.
struct RunProgress {
  int planned = 0;
  int computed = 0;
  double stoppedAt = 0;  // V
};

// A digital run asks `stop` as it goes (see DigitalSimulation); a run stopped so throws
// SimulationCancelled and holds nothing of itself, but the axis is already the new run's: the
// caller puts back the curves it started from.
void RunSimulation(model::AppState& app, model::CurveSet& curves, model::PlotSettings& plot,
                   bool overlapTicked, const StopRequest& stop = {},
                   RunProgress* progress = nullptr);

// Amperes per unit of the current functions' n * (cm/s) * (mol/L): area * F * 0.001 (litres to
// cubic centimetres).
double CurrentScale(const model::AppState& app);

}  // namespace kivex::simulation
