#pragma once
// The digital route of a simulation: an implicit finite-difference solution of diffusion and
// kinetics for the whole reaction scheme on an expanding box grid, filling the result table
// (reduction currents positive) and the surface concentrations.
//
// Every species diffuses; every electron transfer follows Butler-Volmer kinetics at the
// electrode; first-order chemistry couples the species inside the blocks of the solver and
// second-order chemistry is solved by Newton iteration around it. Linear sweep and square wave
// carry the diffusion layer from point to point; DC, normal pulse and differential pulse start
// every point from the initial solution. An uncompensated resistance is part of every step: the
// electrode sees the applied potential plus that step's own current times Ru; in a sweep with a
// double layer that current includes the layer's charging, solved in the same step.
//
// Time: a sweep takes one backward Euler step a point. The pulse techniques cut every stretch
// from a potential jump to its sample (a DC drop, a pulse, a differential pulse's base and pulse,
// a square-wave half-period) into equal sub-steps, the first backward Euler and the others the
// second-order backward formula, whose error after a jump falls with the square of the
// sub-steps instead of their number. Space: the first box follows the shortest sub-step and the
// grid reaches six diffusion lengths of the longest time a layer grows.
//
// A failure ends the run with the "CV Error: " prefix and leaves what was written; a singular
// block raises model::InputError("Error: inverse matrix D=0").

#include "model/app_state.h"
#include "model/curve_set.h"
#include "model/selections.h"
#include "simulation/cancellation.h"
#include "simulation/digital_workspace.h"
#include "simulation/step_solver.h"

namespace kivex::simulation {

// How finely a run resolves time and space. The program runs with the defaults; the validation
// tables refine them to show that the results converge.
struct DigitalResolution {
  // Sub-steps from each potential jump of a pulse technique (DC, normal and differential pulse,
  // square wave) to the sample: a backward Euler step, then the second-order backward formula.
  // Ten keep the current within 0.2 % of a potential step's exact decay.
  int stepsAfterJump = 10;
  // Boxes grow by e^expansion: for pulses, and for sweeps at curved electrodes. A sweep at a
  // plane takes planeSweepExpansion. When the node limit does not allow the finer grid, boxes grow faster.
  double expansion = 0.5;
  double sweepExpansion = 0.2;
  // A sweep point: one backward Euler step at the point's potential (a staircase), or sub-steps
  // with the potential ramped linearly from the point before (a linear sweep): the run's first
  // backward Euler, then the second-order backward formula from point to point: at least
  // stepsPerSweepPoint, and as many as keep each within sweepSubStepPotential (V).
  int stepsPerSweepPoint = 1;
  double sweepSubStepPotential = 0;
  // Boxes of a sweep at a plane grow by e^planeSweepExpansion.
  double planeSweepExpansion = 1.0;
  // The electrodes whose row has an exact field (microdisc, band) in two dimensions, not as the
  // sphere or half cylinder of the same steady state.
  bool exactDisc = false;
};

// What each accuracy setting refines: standard is the written grid, a staircase of one step a
// point on boxes growing by e; fine and finest ramp sweeps through sub-steps of the second-order
// formula on finer boxes, settle pulses in more sub-steps, and simulate the disc in two
// dimensions.
DigitalResolution ResolutionOf(model::Accuracy accuracy);

// Time steps between two looks at a StopRequest: a few milliseconds of the fastest runs, and a
// fraction of a per cent of a step's own cost.
inline constexpr int kStepsBetweenStopChecks = 64;

// `route` chooses how each time step is solved (see step_solver.h): the prepared route, or the
// reference route that solves every step from scratch, kept to check the other against. `stop`
// is asked every kStepsBetweenStopChecks time steps; when it says so the run throws
// SimulationCancelled. `completed`, when given, counts the points finished so far, so that after
// a failure it says how many of the result rows hold the run's values. The run works in
// `workspace`, which nothing else may use until it returns.
void DigitalSimulation(model::AppState& app, model::CurveSet& curves, DigitalWorkspace& workspace,
                       SolveRoute route = SolveRoute::kPrepared,
                       const DigitalResolution& resolution = {}, const StopRequest& stop = {},
                       int* completed = nullptr);

// The same in a workspace of its own, allocated for this run alone: for a single run, or for
// checks that need no speed.
void DigitalSimulation(model::AppState& app, model::CurveSet& curves,
                       SolveRoute route = SolveRoute::kPrepared,
                       const DigitalResolution& resolution = {}, const StopRequest& stop = {},
                       int* completed = nullptr);

}  // namespace kivex::simulation
