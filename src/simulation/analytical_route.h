#pragma once
// The analytical route of a simulation: closed-form currents for every point and charge reaction,
// stored (in amperes) in the result table columns 1..chargeCount and summed into the total column,
// followed by the completion steps.
//
// The current function is chosen by caseCode = 10 * technique + electrode:
//   sweep (11..17)      step response at tDrop, then the half-order time derivative;
//                       curved electrodes add their steady state afterwards
//   sweep, film (19)    the film's charge at each potential, then its derivative
//   DC (21..27, 29)     step response at tDrop, planar or spherical
//   rotating disk (18, 28)  the Levich steady state, stored as it is
//   normal pulse (31..37), differential pulse (41..47), square wave (51..56)
// Any other caseCode gives no faradaic current. Each point sees the programmed potential shifted
// by the ohmic drop of the previous point's total current.

#include "model/app_state.h"
#include "model/curve_set.h"

namespace kivex::simulation {

void ComputeAnalyticalCurrents(model::AppState& app, model::CurveSet& curves);

// Whether caseCode has a current function (otherwise the faradaic current is zero).
bool HasCurrentFunction(int caseCode);

// The radius the spherical forms use for the electrode of caseCode: a microdisc (electrode 4)
// behaves as a sphere of radius pi r / 4, which gives its steady state 4 n F D C r; every other
// electrode uses `radius` as committed.
double SphericalRadius(const model::AppState& app);

// The factor that turns the L1 sum of the stored step responses into the sweep current: the
// response at tDrop of a fast couple is its semi-integral over sqrt(pi tDrop) (Cottrell), and the
// L1 half-order time derivative over steps dt = Estep / scanRate carries 2 / sqrt(pi dt); together
// 2 sqrt(tDrop scanRate / Estep), which is 2 when the drop time is the step time.
double SweepFactor(const model::AppState& app);

}  // namespace kivex::simulation
