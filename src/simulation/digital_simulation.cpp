#include "simulation/digital_simulation.h"

namespace kivex::simulation {

// The finite-difference solver is not in this build yet: the faradaic current stays zero.
void DigitalSimulation(model::AppState& app, model::CurveSet&) { app.maxIterations = 0; }

}  // namespace kivex::simulation
