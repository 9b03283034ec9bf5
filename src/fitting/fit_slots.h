#pragma once
// The 29 fittable quantities ("fit slots") of the Chemicals dialog and the experiment field each
// one stands for. Slots are numbered by kind, in the dialog's order:
//   1..6    C(i)      initial concentration of species i
//   7..9    ks(j)     standard rate constant of charge reaction j
//   10..12  alpha(j)  transfer coefficient
//   13..15  E0(j)     standard potential
//   16..19  kf(k)     forward rate constant of chemical reaction k
//   20..23  kb(k)     backward rate constant
//   24..29  D(i)      diffusion coefficient of species i
// The numbers are what the dialog's fit boxes and the fit's memory hold; code asks SlotOf and
// SlotNumber instead of doing arithmetic on them:
//
//   SlotOf(18)                     // {SlotKind::Kf, 3}
//   SlotNumber(SlotKind::E0, 2)    // 14
//
// A fit takes a concentration slot for the concentration the species is made up with and derives
// Cinit from it (FitModel, fit_driver.h).

#include <string>

#include "model/app_state.h"

namespace kivex::fitting {

inline constexpr int kFitSlots = 29;

enum class SlotKind { Concentration, Ks, Alpha, E0, Kf, Kb, D };

// One kind's run of slots: its first number, how many (species or reactions) and the report's
// name for it.
struct SlotGroup {
  SlotKind kind;
  int first;
  int count;
  const char* name;
};

inline constexpr SlotGroup kSlotGroups[] = {
    {SlotKind::Concentration, 1, model::kMaxSpecies, "C"},
    {SlotKind::Ks, 7, model::kMaxCharge, "ks"},
    {SlotKind::Alpha, 10, model::kMaxCharge, "alpha"},
    {SlotKind::E0, 13, model::kMaxCharge, "E0"},
    {SlotKind::Kf, 16, model::kMaxChem, "kf"},
    {SlotKind::Kb, 20, model::kMaxChem, "kb"},
    {SlotKind::D, 24, model::kMaxSpecies, "D"},
};

// What a slot stands for: the kind and the species or reaction (1-based).
struct Slot {
  SlotKind kind = SlotKind::Concentration;
  int index = 0;
};

// The slot numbered `slot` (1..29); another number raises the index failure.
Slot SlotOf(int slot);

// The number of the slot of `kind` for species or reaction `index` (1 .. the kind's count).
inline constexpr int SlotNumber(SlotKind kind, int index) {
  return kSlotGroups[static_cast<int>(kind)].first + index - 1;
}

// Slots 1..6: the concentrations of species 1..6.
inline constexpr bool IsConcentrationSlot(int slot) {
  return slot >= 1 && slot <= SlotNumber(SlotKind::Concentration, model::kMaxSpecies);
}

// ks, kf and kb.
bool IsRateConstantSlot(int slot);

// The rate constants and the diffusion coefficients, which a fit varies on a log scale: their
// effect on a curve follows their logarithm over the decades a voltammogram can tell apart (a
// current follows the square root of D, the kinetics the ratio of ks to it).
bool IsLogScaledSlot(int slot);

// The slot's quantity as the report names it: "C(1)", "ks(2)", "alpha(1)", "E0(3)", "kf(4)",
// "D(2)".
std::string SlotName(int slot);

// The field of slot k (1..29); another k raises the index failure.
double& SlotField(model::AppState& app, int slot);

// The value a fit of slot k starts from: the field when the scheme has that species or reaction,
// otherwise 0.
double SlotStartValue(const model::AppState& app, int slot);

}  // namespace kivex::fitting
