#pragma once
// The digital route of a simulation: an implicit (backward Euler) finite-difference solution of
// diffusion and kinetics for the whole reaction scheme on an expanding box grid, filling the
// result table (reduction currents positive) and the surface concentrations.
//
// Every species diffuses; every electron transfer follows Butler-Volmer kinetics at the
// electrode; first-order chemistry couples the species inside the blocks of the solver and
// second-order chemistry is solved by Newton iteration around it. Linear sweep and square wave
// carry the diffusion layer from point to point; DC, normal pulse and differential pulse start
// every point from the initial solution. An uncompensated resistance is part of every step: the
// electrode sees the applied potential plus that step's own current times Ru.
//
// A failure ends the run with the "CV Error: " prefix and leaves what was written; a singular
// block raises model::InputError("Error: inverse matrix D=0").

#include "model/app_state.h"
#include "model/curve_set.h"
#include "simulation/step_solver.h"

namespace kivex::simulation {

// `route` chooses how each time step is solved (see step_solver.h): the prepared route, or the
// reference route that solves every step from scratch, kept to check the other against.

void DigitalSimulation(model::AppState& app, model::CurveSet& curves,
                       SolveRoute route = SolveRoute::kPrepared);

}  // namespace kivex::simulation
