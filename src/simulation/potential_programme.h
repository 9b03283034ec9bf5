#pragma once
// The potential axis shared by every technique: an equally spaced staircase from E start towards
// E end, swept back for a cycle and repeated for two cycles.

#include "model/app_state.h"
#include "model/curve_set.h"
#include "model/technique_table.h"

namespace kivex::simulation {

// Points of one sweep: |E end - E start| / E step rounded half to even, plus 1, as a 16-bit count.
// Raises "Division by zero" for a zero step and "Overflow" beyond the 16-bit range.
model::Count SweepPointCount(double Estart, double Eend, double Estep);

// Fills x(1..pointCount) and sets `sweepPointCount` and `pointCount` (N, 2N or 4N), and the
// axis's number and shape (step, cycles, technique). A programme longer than a curve can hold is
// refused before anything is written, so the curves and their counts stay as they were. Returns
// whether the held curves still lie on the new axis (model::IsSameAxis).
bool BuildPotentialProgramme(const model::AppState& app, model::CurveSet& curves);

// A quiet time (the electrode held at E start before the programme) is simulated by the digital
// route for the techniques that carry their diffusion layer from point to point: linear sweep,
// cyclic and square wave; the analytical route takes it where the solution starts in equilibrium
// at E start, which the quiet time leaves as it is. Anything else raises model::InputError saying
// what to change, before any curve is touched.
void RequireQuietTimeSimulated(const model::AppState& app);

// How long a stretch of a technique's programme lasts, s.
double DurationOf(const model::AppState& app, model::Span span);

// The potential a stretch applies at the programme's potential `programme`; `sign` turns a pulse
// with the sweep's direction (forward +1, return -1).
double AppliedPotential(const model::AppState& app, model::Level level, double programme,
                        double sign);

}  // namespace kivex::simulation
