#include "fitting/fit_slots.h"

#include "model/fixed_table.h"

namespace kivex::fitting {

namespace {

template <typename State>
auto& Field(State& app, int slot) {
  const Slot s = SlotOf(slot);
  switch (s.kind) {
    case SlotKind::Concentration: return app.Cinit(s.index);
    case SlotKind::Ks: return app.ks(s.index);
    case SlotKind::Alpha: return app.alpha(s.index);
    case SlotKind::E0: return app.E0(s.index);
    case SlotKind::Kf: return app.kf(s.index);
    case SlotKind::Kb: return app.kb(s.index);
    case SlotKind::D: return app.D(s.index);
  }
  model::ThrowIndexFailure();
}

// How many species or reactions of the slot's kind the scheme has.
int PresentOfKind(const model::AppState& app, SlotKind kind) {
  switch (kind) {
    case SlotKind::Concentration:
    case SlotKind::D: return app.speciesCount;
    case SlotKind::Ks:
    case SlotKind::Alpha:
    case SlotKind::E0: return app.chargeCount;
    case SlotKind::Kf:
    case SlotKind::Kb:
      // Two-species reactions are numbered after the X = Y ones and have rate constants too.
      return app.chemCount + app.chem2Count;
  }
  return 0;
}

}  // namespace

Slot SlotOf(int slot) {
  for (const SlotGroup& g : kSlotGroups) {
    if (slot >= g.first && slot < g.first + g.count) return {g.kind, slot - g.first + 1};
  }
  model::ThrowIndexFailure();
}

bool IsRateConstantSlot(int slot) {
  if (slot < 1 || slot > kFitSlots) return false;
  const SlotKind kind = SlotOf(slot).kind;
  return kind == SlotKind::Ks || kind == SlotKind::Kf || kind == SlotKind::Kb;
}

bool IsLogScaledSlot(int slot) {
  return IsRateConstantSlot(slot) ||
         (slot >= 1 && slot <= kFitSlots && SlotOf(slot).kind == SlotKind::D);
}

std::string SlotName(int slot) {
  const Slot s = SlotOf(slot);
  return std::string(kSlotGroups[static_cast<int>(s.kind)].name) + "(" + std::to_string(s.index) +
         ")";
}

double& SlotField(model::AppState& app, int slot) { return Field(app, slot); }

double SlotStartValue(const model::AppState& app, int slot) {
  const Slot s = SlotOf(slot);
  return s.index <= PresentOfKind(app, s.kind) ? Field(app, slot) : 0.0;
}

}  // namespace kivex::fitting
