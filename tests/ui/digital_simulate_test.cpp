// Simulate in digital mode, through the menu command as a user runs it.

#include <gtest/gtest.h>

#include <cmath>

#include "support/test_platform.h"
#include "ui/commands.h"
#include "ui/interaction.h"
#include "ui/session.h"

namespace kivex::ui {
namespace {

using testing::SessionFixture;

// The scheme A + e = B, as the Mechanism dialog's default boxes give it.
void DefaultScheme(model::AppState& app) {
  app.speciesCount = 2;
  app.chargeCount = 1;
  app.chargeSpecies(1, 1) = 1;
  app.chargeSpecies(1, 2) = 2;
}

TEST(DigitalSimulate, DefaultExperimentGivesAReductionPeak) {
  SessionFixture f;
  DefaultScheme(f.session.app);
  ASSERT_EQ(RunMenuItem(f.session, "mnuSimulate"), MenuOutcome::Ran);
  EXPECT_TRUE(f.platform.messages.empty());
  const model::CurveSet& curves = f.session.curves;
  ASSERT_EQ(curves.pointCount, 121);  // 0.3 V to -0.3 V in 5 mV steps

  int best = 1;
  for (int i = 1; i <= curves.pointCount; ++i) {
    if (curves.y(i, 1) > curves.y(best, 1)) best = i;
  }
  // E0 = 0.1 V: a reversible peak 28.5 mV past it, within the 5 mV staircase.
  EXPECT_NEAR(curves.x(best), 0.1 - 0.0285, 0.005);
  // Randles-Sevcik at 10 mV/s for about 1 mM; the 5 mV staircase sampled at the end of each
  // step reads a few per cent low.
  const double rs =
      0.4463 * model::kFaraday * 1e-6 * std::sqrt(f.session.app.fOverRT * 0.01 * 1e-5);
  EXPECT_NEAR(curves.y(best, 1) / rs, 1.0, 0.05);
  for (int i = 1; i <= curves.pointCount; ++i) {
    EXPECT_NEAR(curves.concentrationTable(i, 1) + curves.concentrationTable(i, 2),
                f.session.app.Cinit(1) + f.session.app.Cinit(2), 1e-12);
  }
}

TEST(DigitalSimulate, FailureShowsTheCvErrorOnceAndTheCommandFinishes) {
  SessionFixture f;
  DefaultScheme(f.session.app);
  f.session.app.electrode = 9;  // thin film
  ASSERT_EQ(RunMenuItem(f.session, "mnuSimulate"), MenuOutcome::Ran);
  // The failed first run left nothing to draw, which the plot says next.
  ASSERT_EQ(f.platform.messages.size(), 2u);
  EXPECT_EQ(f.platform.messages[1], "Error: No data!");
  EXPECT_EQ(f.platform.messages[0],
            "CV Error: The thin-film electrode has no digital simulation! Please try again by "
            "other initial values.");
  EXPECT_TRUE(f.session.menu.Reachable("mnuTime"));
}

TEST(DigitalSimulate, SingularSurfaceShowsTheInverseMatrixMessageOnce) {
  SessionFixture f;
  // A + e = B and B + e = A: a loop of transfers leaves the surface rows singular.
  for (auto [box, text] : {std::pair{3, "B"}, std::pair{4, "A"}}) {
    const ControlAddress address =
        ResolveControl(f.session, "FormMech.charge(" + std::to_string(box) + ")");
    TypeText(f.session, *address.dialog, *address.control, text);
  }
  DefaultScheme(f.session.app);
  f.session.app.chargeCount = 2;
  f.session.app.chargeSpecies(2, 1) = 2;
  f.session.app.chargeSpecies(2, 2) = 1;
  ASSERT_EQ(RunMenuItem(f.session, "mnuSimulate"), MenuOutcome::Ran);
  ASSERT_EQ(f.platform.messages.size(), 2u);
  EXPECT_EQ(f.platform.messages[0], "Error: inverse matrix D=0");
  EXPECT_EQ(f.platform.messages[1], "Error: No data!");
}

}  // namespace
}  // namespace kivex::ui
