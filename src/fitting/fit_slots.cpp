#include "fitting/fit_slots.h"

#include "model/fixed_table.h"

namespace kivex::fitting {

namespace {

template <typename State>
auto& Field(State& app, int slot) {
  if (slot >= 1 && slot <= 6) return app.Cinit(slot);
  if (slot >= 7 && slot <= 9) return app.ks(slot - 6);
  if (slot >= 10 && slot <= 12) return app.alpha(slot - 9);
  if (slot >= 13 && slot <= 15) return app.E0(slot - 12);
  if (slot >= 16 && slot <= 19) return app.kf(slot - 15);
  if (slot >= 20 && slot <= 23) return app.kb(slot - 19);
  model::ThrowIndexFailure();
}

}  // namespace

std::string SlotName(int slot) {
  struct Group {
    int first;
    const char* name;
  };
  static constexpr Group kGroups[] = {{20, "kb"},    {16, "kf"}, {13, "E0"},
                                      {10, "alpha"}, {7, "ks"},  {1, "C"}};
  if (slot < 1 || slot > kFitSlots) model::ThrowIndexFailure();
  for (const Group& g : kGroups) {
    if (slot >= g.first)
      return std::string(g.name) + "(" + std::to_string(slot - g.first + 1) + ")";
  }
  model::ThrowIndexFailure();
}

double& SlotField(model::AppState& app, int slot) { return Field(app, slot); }

double SlotStartValue(const model::AppState& app, int slot) {
  int present = 0;  // how many of this slot's kind the scheme has
  int index = 0;    // this slot's species or reaction
  if (slot >= 1 && slot <= 6) {
    present = app.speciesCount;
    index = slot;
  } else if (slot >= 7 && slot <= 15) {
    present = app.chargeCount;
    index = (slot - 7) % 3 + 1;
  } else if (slot >= 16 && slot <= 23) {
    // Two-species reactions are numbered after the X = Y ones and have rate constants too.
    present = app.chemCount + app.chem2Count;
    index = (slot - 16) % 4 + 1;
  } else {
    model::ThrowIndexFailure();
  }
  return index <= present ? Field(app, slot) : 0.0;
}

}  // namespace kivex::fitting
