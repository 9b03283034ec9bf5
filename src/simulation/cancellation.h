#pragma once
// A long run asks, every so many time steps, whether the user wants it stopped. The front end's
// answer is a flag it sets from another thread; the run reads it through this callable, which
// holds no more than a reference to it (kept inline: no allocation), and stops by throwing.

#include <functional>

#include "model/failure.h"

namespace kivex::simulation {

// True when the run is to stop. An empty one never stops it.
using StopRequest = std::function<bool()>;

// Thrown by a run that was asked to stop: its tables are half-written and must not be shown.
struct SimulationCancelled : model::Cancelled {};

}  // namespace kivex::simulation
