#pragma once
// The digital route of a simulation: an implicit finite-difference solution of diffusion and
// kinetics for the whole reaction scheme, filling the result table and the surface
// concentrations.

#include "model/app_state.h"
#include "model/curve_set.h"

namespace kivex::simulation {

void DigitalSimulation(model::AppState& app, model::CurveSet& curves);

}  // namespace kivex::simulation
