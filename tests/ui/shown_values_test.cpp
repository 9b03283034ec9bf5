// The dialogs show computed values rounded to their captions' digits; the experiment uses the
// initial concentrations and a computed area at full precision, Keq as its label shows it. (The
// electrode area: the ui_area_computed scenario; a fit of the concentration, which prepares the
// initial ones as Simulate does, ending at the one made up: ui_fit_slots.)

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "model/number_format.h"
#include "model/number_text.h"
#include "support/test_platform.h"
#include "ui/commands.h"
#include "ui/form_expr.h"
#include "ui/session_actions.h"

namespace kivex::ui {
namespace {

using testing::SessionFixture;
using testing::Type;

// A + e = B (E0 0.1 V) at E start 0.3 V, then C = A with Keq 1000 as well: the concentrations
// Simulate uses are the exact equilibria, solved here, whatever the captions round them to.
TEST(ShownValues, SimulateUsesExactInitialConcentrationsAndKeqAsCaptioned) {
  SessionFixture f;
  for (int round = 1; round <= 2; ++round) {
    ASSERT_EQ(RunMenuItem(f.session, "mnuSimulate"), MenuOutcome::Ran);
    const model::AppState& app = f.session.app;
    const double theta = std::exp(app.fOverRT * (0.1 - 0.3));            // [B] / [A]
    const double A = 1e-3 / (1 + theta), K = round == 1 ? 0.0 : 1000.0;  // C = A: [A] / [C]
    EXPECT_NEAR(app.Cinit(1), A * K / (K + 1) + (round == 1 ? A : 0.0), 1e-15);
    EXPECT_NEAR(app.Cinit(2), theta * A, 1e-18);
    EXPECT_NEAR(app.Cinit(3), round == 1 ? 0.0 : A / (K + 1), 1e-18);
    EXPECT_EQ(f.session.Expr().Cinit(1).caption, round == 1 ? "9.996e-4" : "9.986e-4");
    EXPECT_EQ(app.Keq(1), model::ReadNumber(f.session.Expr().LabelKeq(1).caption));
    Type(f.session, "FormMech.chem(1)", "C");
    Type(f.session, "FormMech.chem(2)", "A");
  }
  EXPECT_EQ(f.session.app.chemCount, 1);
  EXPECT_EQ(f.session.Expr().Cinit(3).caption, "9.986e-7");
}

}  // namespace
}  // namespace kivex::ui
