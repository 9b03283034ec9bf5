#include "fitting/fit_slots.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "model/failure.h"

namespace kivex::fitting {
namespace {

// Every slot 1..23 names exactly one field, and its name is the field it writes: a slot that
// wrote the wrong field would fit one quantity and report another.
TEST(FitSlots, EachSlotWritesTheFieldItIsNamedFor) {
  model::AppState app;
  std::set<double*> fields;
  for (int slot = 1; slot <= kFitSlots; ++slot) {
    const Slot s = SlotOf(slot);
    EXPECT_EQ(SlotNumber(s.kind, s.index), slot);
    double* field = &SlotField(app, slot);
    EXPECT_TRUE(fields.insert(field).second) << "slot " << slot << " shares a field";
    const std::string name = SlotName(slot);
    const std::string index = std::to_string(s.index);
    double* expected = nullptr;
    if (name == "C(" + index + ")") expected = &app.Cinit(s.index);
    if (name == "ks(" + index + ")") expected = &app.ks(s.index);
    if (name == "alpha(" + index + ")") expected = &app.alpha(s.index);
    if (name == "E0(" + index + ")") expected = &app.E0(s.index);
    if (name == "kf(" + index + ")") expected = &app.kf(s.index);
    if (name == "kb(" + index + ")") expected = &app.kb(s.index);
    EXPECT_EQ(field, expected) << "slot " << slot << " " << name;
  }
}

TEST(FitSlots, NumbersOutsideTheTableAreRefused) {
  model::AppState app;
  for (int slot : {0, -1, kFitSlots + 1}) {
    EXPECT_THROW(SlotOf(slot), model::Failure) << slot;
    EXPECT_THROW(SlotField(app, slot), model::Failure) << slot;
    EXPECT_FALSE(IsRateConstantSlot(slot));
    EXPECT_FALSE(IsConcentrationSlot(slot));
  }
}

// A fit starts from the dialog's value only for the species and reactions the scheme has; the
// two-species reactions count after the X = Y ones.
TEST(FitSlots, StartValueIsZeroBeyondTheScheme) {
  model::AppState app;
  app.speciesCount = 2;
  app.chargeCount = 1;
  app.chemCount = 1;
  app.chem2Count = 1;
  for (int slot = 1; slot <= kFitSlots; ++slot) SlotField(app, slot) = 0.5;
  EXPECT_EQ(SlotStartValue(app, SlotNumber(SlotKind::Concentration, 2)), 0.5);
  EXPECT_EQ(SlotStartValue(app, SlotNumber(SlotKind::Concentration, 3)), 0.0);
  EXPECT_EQ(SlotStartValue(app, SlotNumber(SlotKind::E0, 1)), 0.5);
  EXPECT_EQ(SlotStartValue(app, SlotNumber(SlotKind::Alpha, 2)), 0.0);
  EXPECT_EQ(SlotStartValue(app, SlotNumber(SlotKind::Kb, 2)), 0.5);
  EXPECT_EQ(SlotStartValue(app, SlotNumber(SlotKind::Kf, 3)), 0.0);
}

}  // namespace
}  // namespace kivex::fitting
