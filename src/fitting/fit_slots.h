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

#include "model/app_state.h"

namespace kivex::fitting {

inline constexpr int kFitSlots = 23;

// Slots 1..6: the concentrations of species 1..6.
inline constexpr bool IsConcentrationSlot(int slot) { return slot >= 1 && slot <= 6; }

// The field of slot k (1..23); another k raises the index failure.
double& SlotField(model::AppState& app, int slot);

// The value a fit of slot k starts from: the field when the scheme has that species or reaction,
// otherwise 0.
double SlotStartValue(const model::AppState& app, int slot);

}  // namespace kivex::fitting
