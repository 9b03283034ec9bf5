#pragma once
// The quantity shown for a simulation, computed afresh from the stored results each time:
//   "current I"                the total current of the last run in the current curve
//   "resistance R"             (d / area) / kappa(i) in the current curve
//   "conductance Cond"         (area / d) * kappa(i) in the current curve
//   "surface concentration C"  curves 1..speciesCount from the surface concentrations
// with kappa(i) = electrolyteC * electrolyteCond + sum_j c_j(i) * conductivity(j), the
// conductivity of the solution at the electrode, and d the distance between the electrodes.
// Any other text changes nothing. Units follow those the user gave; no factor is applied.
// Nothing is rewritten unless the curves hold a simulation's results: after an import, or for a
// current curve other than the simulated one, the curves stay as they are. While a fit runs the
// concentrations are not shown: the measurement in curve 1 stays and the fit compares currents.

#include <string_view>

#include "model/app_state.h"
#include "model/curve_set.h"

namespace kivex::simulation {

inline constexpr std::string_view kCurrentQuantity = "current I";
inline constexpr std::string_view kResistanceQuantity = "resistance R";
inline constexpr std::string_view kConductanceQuantity = "conductance Cond";
inline constexpr std::string_view kConcentrationQuantity = "surface concentration C";

// Writes y (points firstPoint..lastPoint) and curveCount. A resistance or conductance that cannot
// be formed (a zero distance or area, a zero kappa for the resistance) raises model::InputError
// with the message for the user, before anything is written; a non-finite result raises
// model::Failure, also before anything is written.
void ApplyOutputQuantity(const model::AppState& app, model::CurveSet& curves,
                         std::string_view quantity, double distance);

}  // namespace kivex::simulation
