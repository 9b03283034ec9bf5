#pragma once
// RunSimulation: turns the committed experiment into a voltammogram in the working curves.
//
// The run shows the held curves again (model::ShowHeldCurves), builds the potential programme,
// chooses the curve slot (a fresh start at curve 1 when the held curves lie on other potentials),
// clears the result table, computes the faradaic current analytically or digitally, adds the
// charging current, takes the extremes for the plot, adds noise (never while fitting) and holds
// the total current in the chosen curve, with the surface concentrations of a digital run.
// An arithmetic or index failure raises model::Failure (the digital route may also raise the
// solver's InputError). A failure before the programme is built changes nothing; after it, the
// curve keeps what the run wrote, over the run's own points, never another run's values.
// Converting the held total into the chosen output quantity is the caller's last step.

#include "model/app_state.h"
#include "model/curve_set.h"
#include "model/plot_settings.h"
#include "simulation/cancellation.h"

namespace kivex::simulation {

// A digital run asks `stop` as it goes (see DigitalSimulation); a run stopped so throws
// SimulationCancelled and holds nothing of itself, but the axis is already the new run's: the
// caller puts back the curves it started from.
void RunSimulation(model::AppState& app, model::CurveSet& curves, model::PlotSettings& plot,
                   bool overlapTicked, const StopRequest& stop = {});

// Amperes per unit of the current functions' n * (cm/s) * (mol/L): area * F * 0.001 (litres to
// cubic centimetres).
double CurrentScale(const model::AppState& app);

}  // namespace kivex::simulation
