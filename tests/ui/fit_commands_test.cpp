// Manual Fit, Auto Fit and the separations through the session, as a user runs them: the report,
// parameters held by their bounds, the choice of slots, failures, and the routing of the curves.
// (Recovery of known values: fit_recovery_test; fitting with nothing measured and on other
// potentials than the measurement: the fit_failures scenario.)

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "model/number_text.h"
#include "model/print_line.h"
#include "support/test_platform.h"
#include "ui/commands.h"
#include "ui/form_expr.h"
#include "ui/form_option.h"
#include "ui/session_actions.h"

namespace kivex::ui {
namespace {

using testing::Click;
using testing::Curve;
using testing::ReportRow;
using testing::SessionFixture;
using testing::TickFit;
using testing::Type;

const std::string kAdvice = "! Please try again by other initial values.";

// Types the charge and chemical boxes of the Mechanism dialog in order.
void WriteScheme(Session& session, std::vector<const char*> charge,
                 std::vector<const char*> chemical = {}) {
  for (std::size_t b = 0; b < charge.size(); ++b) {
    Type(session, "FormMech.charge(" + std::to_string(b + 1) + ")", charge[b]);
  }
  for (std::size_t b = 0; b < chemical.size(); ++b) {
    Type(session, "FormMech.chem(" + std::to_string(b + 1) + ")", chemical[b]);
  }
}

std::string Row(int j, double initial, double fitted) {
  return model::PrintLine().Integer(j).Zone().Number(initial).Zone().Number(fitted).str();
}

// The measured curve is the simulation itself, so the start reproduces it exactly: one
// iteration, flag -1, and the whole report. (alpha is fitted: a fitted concentration or E0
// derives the initial concentrations in full precision, where the dialog shows four digits.)
TEST(AutoFit, ExactReproductionEndsAtOnceWithTheFullReport) {
  SessionFixture f;
  ASSERT_EQ(RunMenuItem(f.session, "mnuSimulate"), MenuOutcome::Ran);
  const std::vector<double> measured = Curve(f.session, 1);
  TickFit(f.session, 1);
  TickFit(f.session, 10);

  ASSERT_EQ(RunMenuItem(f.session, "mnuAutoFit"), MenuOutcome::Ran);
  EXPECT_TRUE(f.platform.messages.empty());
  const std::vector<std::string>& lines = f.session.result.lines;
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(lines[0].rfind("Least square = ", 0), 0u);
  EXPECT_EQ(lines[1], "No.           Initial value               Fitted value");
  EXPECT_EQ(lines[2], Row(1, 0.5, 0.5));
  EXPECT_EQ(lines[3], "");
  EXPECT_EQ(lines[4].rfind("Least square =               ", 0), 0u);
  EXPECT_EQ(lines[5].rfind("Standard deviation^2 =       ", 0), 0u);
  EXPECT_EQ(lines[6], "Convergence flag =          -1 ");
  EXPECT_EQ(lines[7], "No. of iteration =           1 ");
  EXPECT_EQ(lines[8], "No. of obj. fun. =           1 ");
  EXPECT_EQ(lines[9], "No. of MARQUARDS =           0 ");
  EXPECT_EQ(lines[10].rfind("Computation time (s) =       ", 0), 0u);
  EXPECT_EQ(f.platform.lines, lines);  // each line reached the window as it was written
  EXPECT_TRUE(f.session.result.visible);

  EXPECT_EQ(f.session.Expr().CheckFitted(10).caption, "5.e-1");
  EXPECT_EQ(Curve(f.session, 1), measured);
  EXPECT_EQ(Curve(f.session, 2), measured);
  EXPECT_EQ(f.session.curves.curveCount, 2);
  EXPECT_FALSE(f.session.app.fitting);
  EXPECT_EQ(f.platform.busyChanges.back(), false);

  // With nothing ticked and a curve the start does not reproduce: one iteration, flag -2 and an
  // empty table.
  TickFit(f.session, 10);
  for (int i = 1; i <= f.session.curves.pointCount; ++i) f.session.curves.y(i, 1) *= 2;
  RunMenuItem(f.session, "mnuAutoFit");
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(lines[5], "Convergence flag =          -2 ");
  EXPECT_EQ(lines[6], "No. of iteration =           1 ");
}

// Parameters held by their bounds: the concentration and ks each between two equal bounds, E0
// between two bounds that are no numbers (both read as 0). ks starts at the default 1e4, outside
// its bounds: the report shows the value as it was, the fit works from the bound. The captions
// show the fitted values in the display pattern. The fitted concentration is the one the
// solution is made up with; the initial concentrations follow from it by the Nernst equilibrium
// at E start for the fitted E0.
TEST(AutoFit, BoundsHoldTheParametersAndTheReportShowsTheStartUnclamped) {
  SessionFixture f;
  RunMenuItem(f.session, "mnuSimulate");
  Type(f.session, "FormExpr.TextCmin(1)", "0.0125");
  Type(f.session, "FormExpr.TextCmax(1)", "0.0125 M");
  TickFit(f.session, 7);
  Type(f.session, "FormExpr.TextCmin(7)", "150");
  Type(f.session, "FormExpr.TextCmax(7)", "150");
  TickFit(f.session, 13);
  Type(f.session, "FormExpr.TextCmin(13)", "none");
  Type(f.session, "FormExpr.TextCmax(13)", "");
  RunMenuItem(f.session, "mnuAutoFit");
  EXPECT_TRUE(f.platform.messages.empty());
  EXPECT_EQ(ReportRow(f.session, 2), Row(2, 1e4, 150));
  const double share = 1.0 / (1.0 + std::exp(f.session.app.fOverRT * (0.0 - 0.3)));  // oxidised
  EXPECT_DOUBLE_EQ(f.session.app.Cinit(1), 0.0125 * share);
  EXPECT_NEAR(f.session.app.Cinit(2), 0.0125 * (1 - share), 1e-9 * 0.0125);
  EXPECT_EQ(f.session.app.ks(1), 150);
  EXPECT_EQ(f.session.app.E0(1), 0.0);
  EXPECT_EQ(f.session.Expr().CheckFitted(1).caption, "1.25e-2");
  EXPECT_EQ(f.session.Expr().CheckFitted(7).caption, "1.5e2");
  EXPECT_EQ(f.session.Expr().CheckFitted(13).caption, "0.e0");
  // The dialogs keep what the user typed.
  EXPECT_EQ(f.session.Expr().C(1).text, "1e-3");
  EXPECT_EQ(f.session.Expr().Eze(1).text, "0.1");
}

// ks of a second couple is ticked, then the scheme loses that couple: the dialog hides the row
// with its box still ticked, and the fit leaves the slot out.
TEST(AutoFit, TickedButHiddenSlotIsNotFitted) {
  SessionFixture f;
  WriteScheme(f.session, {"A", "B", "C", "D"});
  RunMenuItem(f.session, "mnuExperimental");
  TickFit(f.session, 8);
  WriteScheme(f.session, {"A", "B", "", ""});
  RunMenuItem(f.session, "mnuSimulate");
  ASSERT_EQ(f.session.app.chargeCount, 1);
  EXPECT_TRUE(f.session.Expr().CheckFitted(8).value);
  EXPECT_FALSE(f.session.Expr().CheckFitted(8).visible);

  RunMenuItem(f.session, "mnuAutoFit");
  EXPECT_EQ(ReportRow(f.session, 1).rfind(" 1 ", 0), 0u);  // the concentration, slot 1
  EXPECT_EQ(ReportRow(f.session, 2), "");                  // and nothing else
  EXPECT_EQ(f.session.app.ks(2), 1e4);
  EXPECT_EQ(f.session.Expr().CheckFitted(8).caption, "");
}

// A fit that cannot run, or whose simulation fails or lies on another grid, ends with the fit's
// message and no report, and the measurement stays as it was, potentials included (the refused
// simulation had written its own axis).
TEST(AutoFit, FailuresEndWithTheirMessageAndLeaveTheMeasurement) {
  struct Case {
    const char* what;
    std::function<void(Session&)> prepare;
    std::string message;
  };
  const Case cases[] = {
      {"21 ticked slots of a full scheme (six species, three charge and four chemical reactions)",
       [](Session& s) {
         WriteScheme(s, {"A", "B", "C", "D", "E", "F"}, {"A", "C", "B", "D", "C", "E", "D", "F"});
         RunMenuItem(s, "mnuExperimental");
         for (int k = 2; k <= 21; ++k) TickFit(s, k);
       },
       "Fit Error: More than 20 parameters are ticked for fitting"},
      {"the simulation fails", [](Session& s) { Type(s, "FormIns.Estep", "0"); },
       "Fit Error: Division by zero"},
      {"another grid", [](Session& s) { Type(s, "FormIns.Estep", "0.01"); },
       "Fit Error: The simulated curve has 61 points and the measured one 121"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SessionFixture f;
    RunMenuItem(f.session, "mnuSimulate");
    const std::vector<double> measured = Curve(f.session, 1);
    const std::vector<double> potentials = Curve(f.session, 0);
    c.prepare(f.session);
    RunMenuItem(f.session, "mnuAutoFit");
    EXPECT_EQ(f.platform.messages, std::vector<std::string>{c.message + kAdvice});
    EXPECT_TRUE(f.session.result.lines.empty());
    EXPECT_FALSE(f.session.app.fitting);
    EXPECT_EQ(f.platform.busyChanges.back(), false);
    EXPECT_EQ(Curve(f.session, 1), measured);
    EXPECT_EQ(Curve(f.session, 0), potentials);
    EXPECT_EQ(f.session.curves.lastPoint, 121);
  }
}

// The overlap box is unticked for good. With the committed overlap setting off, the current curve
// becomes the only stored one first; with it on, the curves are left as they are. Either way the
// fit's simulations go to curve 2 and curve 1 keeps the measurement.
TEST(AutoFit, OverlapIsUntickedAndCurveOneKeepsTheMeasurement) {
  for (bool committedOverlap : {false, true}) {
    SessionFixture f;
    RunMenuItem(f.session, "mnuSimulate");
    for (int i = 1; i <= f.session.curves.pointCount; ++i) f.session.curves.y(i, 1) = 1e-6 * i;
    const std::vector<double> measured = Curve(f.session, 1);
    TickFit(f.session, 1);  // nothing to fit: one simulation
    Click(f.session, "formOption.overlap");
    f.session.plot.overlap = committedOverlap;
    f.session.curves.curveCount = 3;
    RunMenuItem(f.session, "mnuAutoFit");
    EXPECT_FALSE(f.session.Option().overlap.value);
    EXPECT_EQ(Curve(f.session, 1), measured);
    EXPECT_EQ(f.session.curves.curveCount, 2);
    EXPECT_EQ(f.session.curves.currentCurve, 2);
  }
}

// Manual Fit simulates into curve 2 beside the measurement. With surface concentrations chosen
// as the output, the concentrations used to be written over the measurement in curve 1 and
// compared with it. A fit compares currents and keeps the measurement; the concentrations show
// again at the next simulation.
TEST(ManualAndAutoFit, KeepTheMeasurementAndCompareCurrentsWhateverTheOutput) {
  SessionFixture f;
  EXPECT_EQ(RunMenuItem(f.session, "mnuManualFit"), MenuOutcome::Disabled);
  Type(f.session, "FormIns.Estep", "0.01");
  RunMenuItem(f.session, "mnuSimulate");
  const std::vector<double> measured = Curve(f.session, 1);
  testing::Choose(f.session, "formOption.ComboY", "surface concentration C");
  Type(f.session, "FormExpr.C(1)", "1.3e-3");
  ASSERT_EQ(RunMenuItem(f.session, "mnuManualFit"), MenuOutcome::Ran);
  EXPECT_EQ(Curve(f.session, 1), measured);
  EXPECT_EQ(f.session.curves.curveCount, 2);
  for (int i = 1; i <= f.session.curves.pointCount; ++i) {
    EXPECT_EQ(f.session.curves.y(i, 2), f.session.curves.resultTable(i, f.session.app.totalColumn));
  }
  EXPECT_FALSE(f.session.app.fitting);
  RunMenuItem(f.session, "mnuAutoFit");
  EXPECT_TRUE(f.platform.messages.empty());
  EXPECT_EQ(Curve(f.session, 1), measured);
  EXPECT_EQ(f.session.curves.curveCount, 2);
  EXPECT_NEAR(model::ReadNumber(f.session.Expr().CheckFitted(1).caption), 1e-3, 1e-6);
  RunMenuItem(f.session, "mnuSimulate");
  EXPECT_EQ(f.session.curves.curveCount, 2);  // A and B
  EXPECT_EQ(f.session.curves.y(1, 1), f.session.curves.concentrationTable(1, 1));
}

// A scheme with three charge reactions: measured, fitted and three components, the most the plot
// holds; each component is its reaction's current.
TEST(Separate, OneCurvePerChargeReaction) {
  SessionFixture f;
  WriteScheme(f.session, {"A", "B", "B", "C", "C", "D"});
  RunMenuItem(f.session, "mnuSimulate");
  ASSERT_EQ(RunMenuItem(f.session, "mnuManualSeparate"), MenuOutcome::Ran);
  EXPECT_TRUE(f.platform.messages.empty());
  ASSERT_EQ(f.session.app.chargeCount, 3);
  const model::CurveSet& c = f.session.curves;
  EXPECT_EQ(c.curveCount, 5);
  for (int j = 1; j <= 3; ++j) {
    for (int i = 1; i <= c.pointCount; ++i) EXPECT_EQ(c.y(i, 2 + j), c.resultTable(i, j));
  }
}

// A failed fit shows its message; the components still come from the last simulation's result
// table.
TEST(Separate, FailedAutoFitStillShowsTheLastSimulationsComponents) {
  SessionFixture f;
  RunMenuItem(f.session, "mnuSimulate");
  for (int i = 1; i <= f.session.curves.pointCount; ++i) f.session.curves.resultTable(i, 1) = i;
  Type(f.session, "FormIns.Estep", "0");
  RunMenuItem(f.session, "mnuAutoSeparate");
  ASSERT_EQ(f.platform.messages.size(), 1u);
  EXPECT_EQ(f.platform.messages[0].rfind("Fit Error: ", 0), 0u);
  ASSERT_EQ(f.session.curves.curveCount, 2 + f.session.app.chargeCount);
  for (int i = 1; i <= f.session.curves.pointCount; ++i) EXPECT_EQ(f.session.curves.y(i, 3), i);
}

}  // namespace
}  // namespace kivex::ui
