#pragma once
// The quantity shown for the curves, derived afresh each time from what the simulations computed:
//   Current        the held curves themselves: currents and measured values
//   Resistance     (d / area) / kappa(i) in the place of the current curve
//   Conductance    (area / d) * kappa(i) in the place of the current curve
//   Concentration  curves 1..n: the surface concentrations of the n species of the simulation in
//                  the current curve
// with kappa(i) = electrolyteC * electrolyteCond + sum_j c_j(i) * conductivity(j), the
// conductivity of the solution at the electrode, and d the distance between the electrodes.
// Units follow those the user gave; no factor is applied.
// A quantity other than the current is a view: the held curves are put aside, never overwritten,
// and Current shows them again exactly (model::ShowHeldCurves). Only a digital simulation
// computes surface concentrations; for measured data or an analytical run the view is refused
// with a message. While a fit runs the concentrations are not shown: the measurement in curve 1
// stays and the fit compares currents. The list's captions belong to the plot options dialog.

#include "model/app_state.h"
#include "model/curve_set.h"
#include "model/failure.h"

namespace kivex::simulation {

// The refusal of a view whose curve holds no surface concentrations. The message continues a
// sentence that begins with the quantity as the user named it: "\"resistance R\" " + message().
class NoSurfaceConcentrations : public model::InputError {
 public:
  using model::InputError::InputError;
};

// Shows the curves as `quantity` (points firstPoint..lastPoint; y, curveCount, currentCurve). A
// view that cannot be formed (no surface concentrations in the current curve, a zero distance or
// area, a zero kappa for the resistance) raises model::InputError with the message for the user
// (NoSurfaceConcentrations for the first), before anything is written; a non-finite result raises
// model::Failure, also before anything is written.
void ApplyOutputQuantity(const model::AppState& app, model::CurveSet& curves,
                         model::OutputQuantity quantity, double distance);

}  // namespace kivex::simulation
