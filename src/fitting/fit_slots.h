#pragma once
// The 23 fittable quantities ("fit slots") of the Chemicals dialog and the experiment field each
// one stands for:
//   1..6    Cinit(k)        initial concentration of species k
//   7..9    ks(k - 6)       standard rate constant of charge reaction k - 6
//   10..12  alpha(k - 9)    transfer coefficient
//   13..15  E0(k - 12)      standard potential
//   16..19  kf(k - 15)      forward rate constant of chemical reaction k - 15
//   20..23  kb(k - 19)      backward rate constant
// A fit takes a concentration slot for the concentration the species is made up with and derives
// Cinit from it (FitModel, fit_driver.h).

#include <string>

#include "model/app_state.h"

namespace kivex::fitting {

inline constexpr int kFitSlots = 23;

// Slots 1..6: the concentrations of species 1..6.
inline constexpr bool IsConcentrationSlot(int slot) { return slot >= 1 && slot <= 6; }

// Slots 7..9 and 16..23: ks, kf and kb, which a fit varies on a log scale (their effect on a
// curve follows their logarithm over the decades a voltammogram can tell apart).
inline constexpr bool IsRateConstantSlot(int slot) {
  return (slot >= 7 && slot <= 9) || (slot >= 16 && slot <= kFitSlots);
}

// The slot's quantity as the report names it: "C(1)", "ks(2)", "alpha(1)", "E0(3)", "kf(4)".
std::string SlotName(int slot);

// The field of slot k (1..23); another k raises the index failure.
double& SlotField(model::AppState& app, int slot);

// The value a fit of slot k starts from: the field when the scheme has that species or reaction,
// otherwise 0.
double SlotStartValue(const model::AppState& app, int slot);

}  // namespace kivex::fitting
