#include "simulation/measurement_effects.h"

namespace kivex::simulation {

// Charging current and noise are not in this build yet.
void AddChargingCurrent(const model::AppState&, model::CurveSet&) {}
void AddNoise(const model::AppState&, model::CurveSet&, double) {}

}  // namespace kivex::simulation
