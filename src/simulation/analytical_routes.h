#pragma once
// Which analytical route computes a technique at an electrode, in one table, and what each
// technique and electrode bring to it: the closed form of one point, the convolution that takes
// over when a closed form cannot serve, and the electrode's diffusion fields.
//
//   closed form            a current function at every point (DC; the pulses; the rotating disk)
//   half-order derivative  the Nernstian step responses, then their half-order time derivative
//                          (a fast couple's sweep at the plane and the spherical forms)
//   convolution            the diffusion convolution equation over the programme (the other
//                          sweeps; slow couples and an ohmic drop)
//   superposition          the square wave's half-period steps superposed
//
//   RouteOf({Technique::Sweep, Electrode::Band});  // Route::Convolution

#include "model/app_state.h"
#include "model/curve_set.h"
#include "model/selections.h"
#include "simulation/current_functions.h"
#include "simulation/diffusion_field.h"

namespace kivex::simulation {

enum class Route { None, ClosedForm, HalfOrderDerivative, Convolution, Superposition };

// The convolution a technique's closed form gives way to (a slow couple, an ohmic drop): over the
// whole sweep, over each normal pulse, over each differential pulse's period; none for DC, which
// solves the drop point by point, and the square wave, whose superposition carries it.
enum class ConvolutionKind { None, Sweep, NormalPulse, DifferentialPulse };

// The route of the pair, before a slow couple or an ohmic drop turns a closed form or a
// half-order derivative into a convolution; Route::None for a pair without a current function.
Route RouteOf(model::AnalyticalCase c);

ConvolutionKind ConvolutionOf(model::Technique technique);

// The differential-pulse step follows the sweep direction: +Epulse on the sweeps that run like
// the first one, -Epulse on the returning ones.
double PulseStep(const model::AppState& app, const model::CurveSet& curves, int i);

// The closed form of technique c.technique at point i for `in` at its potential, before the
// current scale; `E0eUsed` receives the standard potential it was evaluated with (a normal pulse
// lowers it by the pulse instead of raising the potential).
double PointCurrent(const model::AppState& app, model::AnalyticalCase c, Geometry geometry,
                    CurrentInputs in, const model::CurveSet& curves, int i,
                    const CellConstants& cell, double& E0eUsed);

// The diffusion fields of the committed electrode (cylinder: side and flat end; band of its
// width; film of thickness length; the plane and the spherical forms). Raises model::Failure for
// a size of zero.
ElectrodeFields ElectrodeFieldsOf(const model::AppState& app);

}  // namespace kivex::simulation
