#pragma once
// The analytical route of a simulation: closed-form currents for every point and charge reaction,
// stored (in amperes) in the result table columns 1..chargeCount and summed into the total column,
// followed by the completion steps.

#include "model/app_state.h"
#include "model/curve_set.h"

namespace kivex::simulation {

void ComputeAnalyticalCurrents(model::AppState& app, model::CurveSet& curves);

}  // namespace kivex::simulation
