#pragma once
// The analytical route of a simulation: closed-form currents for every point and charge reaction,
// stored (in amperes) in the result table columns 1..chargeCount and summed into the total column,
// followed by the completion steps.
//
// The route is chosen by the committed technique and electrode (model::CaseOf) in one table
// (analytical_routes.h):
//   sweep at the plane and the spherical forms, a fast couple without ohmic drop: the Nernstian
//                       step response at tDrop, then the half-order time derivative, the curved
//                       electrodes adding their steady state; every other sweep (cylinders,
//                       band, film, slow couples, ohmic drop): the diffusion convolution equation
//                       (convolution_sweep.h)
//   DC, any electrode but the rotating disk   the step response at tDrop of its diffusion field
//   rotating disk (sweep or DC)   the Levich steady state, stored as it is
//   normal pulse, differential pulse (up to the band): step responses at tPulse and tDrop; a
//                       slow couple's differential pulse, and either with an ohmic drop: the
//                       convolution equation over each point's pulse (differential_pulse.h)
//   square wave (up to the half cylinder): the superposition of the half-period steps
//                       (square_wave.h)
// Any other pair gives no faradaic current. The ohmic drop: the sweeps, square wave and the pulses
// solve it at every node of the convolution, as the current runs its course; DC and the rotating
// disk at each sampled point from the current it produces. A differential pulse whose period is
// too long for the convolution is refused unless its couples are fast and undropped.
// The catalytic mechanism 7: the sweep, differential pulse and square wave run over diffusion
// kernels with the regeneration (diffusion_field.h); DC and the normal pulse add Delahay and
// Stiehl's catalytic column; the rotating disk takes the reaction layer as its transport.

#include "model/app_state.h"
#include "model/curve_set.h"
#include "simulation/cancellation.h"
#include "simulation/diffusion_field.h"

namespace kivex::simulation {

// Throws SimulationCancelled when `stop` answers true during a long solve.
void ComputeAnalyticalCurrents(model::AppState& app, model::CurveSet& curves,
                               const StopRequest& stop = {});

// The factor that turns the L1 sum of the stored step responses into the sweep current: the
// response at tDrop of a fast couple is its semi-integral over sqrt(pi tDrop) (Cottrell), and the
// L1 half-order time derivative over steps dt = Estep / scanRate carries 2 / sqrt(pi dt); together
// 2 sqrt(tDrop scanRate / Estep), which is 2 when the drop time is the step time.
double SweepFactor(const model::AppState& app);

}  // namespace kivex::simulation
