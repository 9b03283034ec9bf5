// The dialogs round a computed value once, to the digits their caption shows, and that number is
// what the experiment uses. (The electrode area: the ui_area_as_shown scenario.)

#include <gtest/gtest.h>

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

// The concentrations and Keq Simulate uses read back from their captions exactly, after one
// pre-equilibration step and after two (A + e = B, then C = A).
TEST(ShownValues, SimulateUsesTheInitialConcentrationsAndKeqAsCaptioned) {
  SessionFixture f;
  for (int round = 1; round <= 2; ++round) {
    ASSERT_EQ(RunMenuItem(f.session, "mnuSimulate"), MenuOutcome::Ran);
    const FormExpr& expr = f.session.Expr();
    for (int i = 1; i <= 6; ++i) {
      EXPECT_EQ(f.session.app.Cinit(i), model::ReadNumber(expr.Cinit(i).caption)) << i;
    }
    EXPECT_EQ(f.session.app.Keq(1), model::ReadNumber(expr.LabelKeq(1).caption));
    Type(f.session, "FormMech.chem(1)", "C");
    Type(f.session, "FormMech.chem(2)", "A");
  }
  EXPECT_EQ(f.session.app.chemCount, 1);
  EXPECT_EQ(f.session.Expr().Cinit(3).caption, "9.986e-7");
  EXPECT_EQ(f.session.app.Keq(1), 1000.0);
}

// A fit of the concentration prepares the initial ones as the dialog does, unrounded: fitting the
// default curve ends at the one Simulate used, to the fit's precision, with the same caption.
TEST(ShownValues, AFitOfTheConcentrationEndsAtTheSimulatedInitialConcentration) {
  SessionFixture f;
  ASSERT_EQ(RunMenuItem(f.session, "mnuSimulate"), MenuOutcome::Ran);
  const double simulated = f.session.app.Cinit(1);
  const std::string caption = f.session.Expr().Cinit(1).caption;
  ASSERT_EQ(caption, "9.996e-4");
  ASSERT_TRUE(f.session.Expr().CheckFitted(1).value);

  ASSERT_EQ(RunMenuItem(f.session, "mnuAutoFit"), MenuOutcome::Ran);
  ASSERT_TRUE(f.platform.messages.empty());
  const double fitted = f.session.app.Cinit(1);
  EXPECT_NEAR(fitted, simulated, 1e-7 * simulated);
  EXPECT_EQ(model::FormatPattern(fitted, kConcentrationPattern), caption);
  EXPECT_EQ(ShownConcentration(fitted), simulated);
  // 9.996e-4 M of A at the Nernst ratio 4.16e-4: made up with 1.0000e-3 M.
  EXPECT_EQ(f.session.Expr().CheckFitted(1).caption, "1.e-3");
}

}  // namespace
}  // namespace kivex::ui
