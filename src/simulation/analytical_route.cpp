#include "simulation/analytical_route.h"

namespace kivex::simulation {

// The closed-form current functions are not in this build yet: the faradaic current stays zero.
void ComputeAnalyticalCurrents(model::AppState&, model::CurveSet&) {}

}  // namespace kivex::simulation
