#include "fitting/fit_slots.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>

#include "model/failure.h"

namespace kivex::fitting {
namespace {

// Every slot 1..29 names exactly one field, and its name is the field it writes: a slot that
// wrote the wrong field would fit one quantity and report another. Numbers outside are refused.
TEST(FitSlots, EachSlotWritesTheFieldItIsNamedFor) {
  model::AppState app;
  std::set<double*> fields;
  for (int slot = 1; slot <= kFitSlots; ++slot) {
    const Slot s = SlotOf(slot);
    EXPECT_EQ(SlotNumber(s.kind, s.index), slot);
    double* field = &SlotField(app, slot);
    EXPECT_TRUE(fields.insert(field).second) << "slot " << slot << " shares a field";
    const std::string name = SlotName(slot), index = "(" + std::to_string(s.index) + ")";
    const int i = s.index;
    double* named = name == "C" + index       ? &app.Cinit(i)
                    : name == "ks" + index    ? &app.ks(i)
                    : name == "alpha" + index ? &app.alpha(i)
                    : name == "E0" + index    ? &app.E0(i)
                    : name == "kf" + index    ? &app.kf(i)
                    : name == "kb" + index    ? &app.kb(i)
                    : name == "D" + index     ? &app.D(i)
                                              : nullptr;
    EXPECT_EQ(field, named) << "slot " << slot << " " << name;
    // The rate constants and D go on a log scale; nothing else does.
    const bool logScaled = name[0] == 'k' || name[0] == 'D';
    EXPECT_EQ(IsLogScaledSlot(slot), logScaled) << name;
  }
  for (int slot : {0, -1, kFitSlots + 1}) {
    EXPECT_THROW(SlotOf(slot), model::Failure) << slot;
    EXPECT_THROW(SlotField(app, slot), model::Failure) << slot;
    EXPECT_FALSE(IsLogScaledSlot(slot) || IsConcentrationSlot(slot)) << slot;
  }
}

// A fit starts from the dialog's value only for the species and reactions the scheme has; the
// two-species reactions count after the X = Y ones.
TEST(FitSlots, StartValueIsZeroBeyondTheScheme) {
  model::AppState app;
  app.speciesCount = 2;
  app.chargeCount = app.chemCount = app.chem2Count = 1;
  for (int slot = 1; slot <= kFitSlots; ++slot) SlotField(app, slot) = 0.5;
  using enum SlotKind;
  const std::tuple<SlotKind, int, double> cases[] = {{Concentration, 2, 0.5},
                                                     {Concentration, 3, 0},
                                                     {E0, 1, 0.5},
                                                     {Alpha, 2, 0},
                                                     {Kb, 2, 0.5},
                                                     {Kf, 3, 0},
                                                     {D, 2, 0.5},
                                                     {D, 3, 0}};
  for (const auto& [kind, index, start] : cases) {
    EXPECT_EQ(SlotStartValue(app, SlotNumber(kind, index)), start) << index;
  }
}

}  // namespace
}  // namespace kivex::fitting
