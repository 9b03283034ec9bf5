#pragma once
// The analytical route of a simulation: closed-form currents for every point and charge reaction,
// stored (in amperes) in the result table columns 1..chargeCount and summed into the total column,
// followed by the completion steps.
//
// The current function is chosen by caseCode = 10 * technique + electrode:
//   sweep (11..17, 19)  a fast couple at the plane, sphere, hemisphere or microdisc without ohmic
//                       drop: the Nernstian step response at tDrop, then the half-order time
//                       derivative, the curved electrodes adding their steady state; every other
//                       sweep (cylinder, band, film, slow couples, ohmic drop): the solution of
//                       the diffusion convolution equation (convolution_sweep.h)
//   DC (21..27, 29)     the step response at tDrop of the electrode's diffusion field
//   rotating disk (18, 28)  the Levich steady state, stored as it is
//   normal pulse (31..37), differential pulse (41..47): step responses at tPulse and tDrop
//   square wave (51..56)  the superposition of the half-period steps (square_wave.h)
// Any other caseCode gives no faradaic current. DC, normal pulse, the rotating disk, the sweeps
// and square wave solve the ohmic drop at each point from the current it produces; differential
// pulse shifts each point by the drop of the previous point's stored current.

#include "model/app_state.h"
#include "model/curve_set.h"
#include "simulation/diffusion_field.h"

namespace kivex::simulation {

void ComputeAnalyticalCurrents(model::AppState& app, model::CurveSet& curves);

// Whether caseCode has a current function (otherwise the faradaic current is zero).
bool HasCurrentFunction(int caseCode);

// The diffusion fields of the committed electrode (cylinder: side and flat end; band of width
// 4 radius; film of thickness length; the plane and the spherical forms). Raises model::Failure
// for a size of zero.
ElectrodeFields ElectrodeFieldsOf(const model::AppState& app);

// The factor that turns the L1 sum of the stored step responses into the sweep current: the
// response at tDrop of a fast couple is its semi-integral over sqrt(pi tDrop) (Cottrell), and the
// L1 half-order time derivative over steps dt = Estep / scanRate carries 2 / sqrt(pi dt); together
// 2 sqrt(tDrop scanRate / Estep), which is 2 when the drop time is the step time.
double SweepFactor(const model::AppState& app);

}  // namespace kivex::simulation
