#pragma once
// The quantity shown for the curves, derived afresh each time from what the simulations computed:
//   "current I"                the held curves themselves: currents and measured values
//   "resistance R"             (d / area) / kappa(i) in the place of the current curve
//   "conductance Cond"         (area / d) * kappa(i) in the place of the current curve
//   "surface concentration C"  curves 1..n: the surface concentrations of the n species of the
//                              simulation in the current curve
// with kappa(i) = electrolyteC * electrolyteCond + sum_j c_j(i) * conductivity(j), the
// conductivity of the solution at the electrode, and d the distance between the electrodes.
// Any other text changes nothing. Units follow those the user gave; no factor is applied.
// A quantity other than the current is a view: the held curves are put aside, never overwritten,
// and "current I" shows them again exactly (model::ShowHeldCurves). Only a digital simulation
// computes surface concentrations; for measured data or an analytical run the view is refused
// with a message. While a fit runs the concentrations are not shown: the measurement in curve 1
// stays and the fit compares currents.

#include <optional>
#include <string_view>

#include "model/app_state.h"
#include "model/curve_set.h"

namespace kivex::simulation {

inline constexpr std::string_view kCurrentQuantity = "current I";
inline constexpr std::string_view kResistanceQuantity = "resistance R";
inline constexpr std::string_view kConductanceQuantity = "conductance Cond";
inline constexpr std::string_view kConcentrationQuantity = "surface concentration C";

// The quantity a caption of the plot options names, if any, and back.
std::optional<model::OutputQuantity> QuantityOfText(std::string_view text);
std::string_view QuantityText(model::OutputQuantity quantity);

// Shows the curves as `quantity` (points firstPoint..lastPoint; y, curveCount, currentCurve). A
// view that cannot be formed (no surface concentrations in the current curve, a zero distance or
// area, a zero kappa for the resistance) raises model::InputError with the message for the user,
// before anything is written; a non-finite result raises model::Failure, also before anything
// is written.
void ApplyOutputQuantity(const model::AppState& app, model::CurveSet& curves,
                         std::string_view quantity, double distance);

}  // namespace kivex::simulation
