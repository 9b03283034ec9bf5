#pragma once
// RunSimulation: turns the committed experiment into a voltammogram in the working curves.
//
// The run chooses the curve slot, builds the potential programme, clears the result table,
// computes the faradaic current analytically or digitally, adds the charging current, takes the
// extremes for the plot, adds noise (never while fitting) and stores the total current in the
// chosen curve. An arithmetic or index failure raises model::Failure; whatever was written before
// it stays. Converting the stored total into the chosen output quantity is the caller's last step.

#include "model/app_state.h"
#include "model/curve_set.h"
#include "model/plot_settings.h"

namespace kivex::simulation {

void RunSimulation(model::AppState& app, model::CurveSet& curves, model::PlotSettings& plot,
                   bool overlapTicked);

// Amperes per unit of the current functions' n * (cm/s) * (mol/L): area * F * 0.001 (litres to
// cubic centimetres).
double CurrentScale(const model::AppState& app);

}  // namespace kivex::simulation
