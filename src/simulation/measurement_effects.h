#pragma once
// Instrument effects added to a simulated total current: double-layer charging and noise.

#include "model/app_state.h"
#include "model/curve_set.h"

namespace kivex::simulation {

// Adds the double-layer charging current to the total column (run when Cdl > 0).
void AddChargingCurrent(const model::AppState& app, model::CurveSet& curves);

// Adds Gaussian noise scaled by the signed extreme total current (run when noise > 0 and no fit
// is running).
void AddNoise(const model::AppState& app, model::CurveSet& curves, double extreme);

}  // namespace kivex::simulation
