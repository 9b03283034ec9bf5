// Manual Fit, Auto Fit and the separations through the session, as a user runs them: an exact
// reproduction, parameters held by their bounds, the choice of slots, failures before or at the
// first simulation, and the routing of the curves. (Recovery of known values: fit_recovery_test.)

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "model/number_format.h"
#include "model/number_text.h"
#include "support/test_platform.h"
#include "ui/commands.h"
#include "ui/commit_chain.h"
#include "ui/form_expr.h"
#include "ui/form_ins.h"
#include "ui/form_mech.h"
#include "ui/form_option.h"
#include "ui/interaction.h"
#include "ui/session.h"

namespace kivex::ui {
namespace {

using testing::SessionFixture;

void Type(Session& session, std::string_view reference, std::string text) {
  const ControlAddress address = ResolveControl(session, reference);
  TypeText(session, *address.dialog, *address.control, std::move(text));
}

void Choose(Session& session, std::string_view reference, std::string_view item) {
  const ControlAddress address = ResolveControl(session, reference);
  ChooseItem(session, *address.dialog, *address.control, item);
}

void Click(Session& session, std::string_view reference) {
  const ControlAddress address = ResolveControl(session, reference);
  ClickControl(session, *address.dialog, *address.control);
}

// Clicks the tick box of fit slot k (slot 1 is ticked by default, so this unticks it). The
// dialog shows the bound boxes of a ticked slot and hides them again when it is unticked.
void TickFit(Session& session, int k) {
  Click(session, "FormExpr.CheckFitted(" + std::to_string(k) + ")");
  const FormExpr& expr = session.Expr();
  EXPECT_EQ(expr.TextCmin(k).visible, expr.CheckFitted(k).value) << k;
  EXPECT_EQ(expr.TextCmax(k).visible, expr.CheckFitted(k).value) << k;
}

// The index of the report's table header in the result window.
std::size_t HeaderLine(const Session& session) {
  const std::vector<std::string>& lines = session.result.lines;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].rfind("No.           Initial value", 0) == 0) return i;
  }
  ADD_FAILURE() << "no report";
  return lines.size();
}

// Nernst at the starting potential 0.3 V: the share of a couple's total that stays oxidised.
double OxidisedShare(const Session& session, double E0) {
  return 1.0 / (1.0 + std::exp(session.app.fOverRT * (E0 - 0.3)));
}

std::vector<double> Curve(const Session& session, int k) {
  std::vector<double> y;
  for (int i = 1; i <= session.curves.pointCount; ++i) y.push_back(session.curves.y(i, k));
  return y;
}

const std::string kAdvice = "! Please try again by other initial values.";

// The measured curve is the simulation itself, so the start reproduces it exactly: one
// iteration, flag -1, and the whole report. (alpha is fitted: a fitted concentration or E0
// derives the initial concentrations in full precision, where the dialog shows four digits.)
TEST(AutoFit, ExactReproductionEndsAtOnceWithTheFullReport) {
  SessionFixture f;
  ASSERT_EQ(RunMenuItem(f.session, "mnuSimulate"), MenuOutcome::Ran);
  const std::vector<double> measured = Curve(f.session, 1);
  TickFit(f.session, 1);
  TickFit(f.session, 10);
  const double start = f.session.app.alpha(1);

  ASSERT_EQ(RunMenuItem(f.session, "mnuAutoFit"), MenuOutcome::Ran);
  EXPECT_TRUE(f.platform.messages.empty());
  const std::vector<std::string>& lines = f.session.result.lines;
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(lines[0].rfind("Least square = ", 0), 0u);
  EXPECT_EQ(lines[1], "No.           Initial value               Fitted value");
  const std::string value = model::PrintLine().Number(start).str();
  EXPECT_EQ(lines[2], model::PrintLine().Integer(1).Zone().Text(value).Zone().Text(value).str());
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
}

TEST(AutoFit, NoSlotTickedRunsOneIterationWithAnEmptyTable) {
  SessionFixture f;
  RunMenuItem(f.session, "mnuSimulate");
  for (int i = 1; i <= f.session.curves.pointCount; ++i) {
    f.session.curves.y(i, 1) = 2 * f.session.curves.y(i, 1) + 1e-6;
  }
  TickFit(f.session, 1);
  RunMenuItem(f.session, "mnuAutoFit");
  const std::vector<std::string>& lines = f.session.result.lines;
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(lines[1].rfind("No.", 0), 0u);
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(lines[5], "Convergence flag =          -2 ");
  EXPECT_EQ(lines[6], "No. of iteration =           1 ");
}

// ks starts at the default 1e4, above its upper bound: the report shows the value as it was, the
// fit works from the bound. Bounds 100..100 hold it there. The caption shows the fitted value.
TEST(AutoFit, StartOutsideTheBoundsIsClampedAndReportedUnclamped) {
  SessionFixture f;
  RunMenuItem(f.session, "mnuSimulate");
  TickFit(f.session, 1);
  TickFit(f.session, 7);
  Type(f.session, "FormExpr.TextCmin(7)", "100");
  RunMenuItem(f.session, "mnuAutoFit");
  ASSERT_GE(f.session.result.lines.size(), 3u);
  EXPECT_EQ(f.session.result.lines[2],
            model::PrintLine().Integer(1).Zone().Number(1e4).Zone().Number(100).str());
  EXPECT_EQ(f.session.app.ks(1), 100);
  EXPECT_EQ(f.session.Expr().CheckFitted(7).caption, "1.e2");
}

// Parameters held by their bounds: E0 between two bounds that are no numbers (both read as 0),
// the concentration and ks each between two equal bounds. The captions show the fitted values in
// the display pattern. The fitted concentration is the one the solution is made up with; the
// initial concentrations follow from it by the Nernst equilibrium at E start for the fitted E0.
TEST(AutoFit, BoundsThatAreNoNumbersReadAsZeroAndCaptionsUseTheDisplayPattern) {
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
  const double share = OxidisedShare(f.session, 0.0);
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
  Type(f.session, "FormMech.charge(3)", "C");
  Type(f.session, "FormMech.charge(4)", "D");
  RunMenuItem(f.session, "mnuExperimental");
  TickFit(f.session, 8);
  Type(f.session, "FormMech.charge(3)", "");
  Type(f.session, "FormMech.charge(4)", "");
  RunMenuItem(f.session, "mnuSimulate");
  ASSERT_EQ(f.session.app.chargeCount, 1);
  EXPECT_TRUE(f.session.Expr().CheckFitted(8).value);
  EXPECT_FALSE(f.session.Expr().CheckFitted(8).visible);

  RunMenuItem(f.session, "mnuAutoFit");
  const std::vector<std::string>& lines = f.session.result.lines;
  const std::size_t header = HeaderLine(f.session);
  ASSERT_LT(header + 2, lines.size());
  EXPECT_EQ(lines[header + 1].rfind(" 1 ", 0), 0u);  // the concentration, slot 1
  EXPECT_EQ(lines[header + 2], "");                  // and nothing else
  EXPECT_EQ(f.session.app.ks(2), 1e4);
  EXPECT_EQ(f.session.Expr().CheckFitted(8).caption, "");
}

// Every box of a full scheme (six species, three charge and four chemical reactions) can be
// shown; 21 ticked ones are more than a fit takes.
TEST(AutoFit, MoreThanTwentyTickedSlotsIsAFitError) {
  SessionFixture f;
  const char* boxes[] = {"A", "B", "C", "D", "E", "F"};
  for (int b = 1; b <= 6; ++b)
    Type(f.session, "FormMech.charge(" + std::to_string(b) + ")", boxes[b - 1]);
  const char* chemical[] = {"A", "C", "B", "D", "C", "E", "D", "F"};
  for (int b = 1; b <= 8; ++b)
    Type(f.session, "FormMech.chem(" + std::to_string(b) + ")", chemical[b - 1]);
  ChemicalsOK(f.session);
  for (int k = 2; k <= 21; ++k) TickFit(f.session, k);
  RunMenuItem(f.session, "mnuAutoFit");
  // Nothing was ever simulated or imported, so the plot the command ends with has no data.
  ASSERT_EQ(f.platform.messages.size(), 2u);
  EXPECT_EQ(f.platform.messages[0],
            "Fit Error: More than 20 parameters are ticked for fitting" + kAdvice);
  EXPECT_EQ(f.platform.messages[1], "Error: No data!");
  EXPECT_TRUE(f.session.result.lines.empty());  // no report
  EXPECT_FALSE(f.session.app.fitting);
  EXPECT_EQ(f.platform.busyChanges.back(), false);
}

TEST(AutoFit, SimulationFailureEndsTheFitWithItsMessage) {
  SessionFixture f;
  RunMenuItem(f.session, "mnuSimulate");
  Type(f.session, "FormIns.Estep", "0");
  RunMenuItem(f.session, "mnuAutoFit");
  ASSERT_EQ(f.platform.messages.size(), 1u);
  EXPECT_EQ(f.platform.messages[0], "Fit Error: Division by zero" + kAdvice);
  EXPECT_TRUE(f.session.result.lines.empty());
  EXPECT_FALSE(f.session.app.fitting);
}

// A simulation on another grid than the measurement is refused, and the measurement keeps its
// potentials and points although that simulation wrote its own axis: only it is shown.
TEST(AutoFit, MeasuredCurveOnAnotherGridIsAFitError) {
  SessionFixture f;
  RunMenuItem(f.session, "mnuSimulate");
  const std::vector<double> measured = Curve(f.session, 1);
  std::vector<double> potentials;
  for (int i = 1; i <= f.session.curves.pointCount; ++i)
    potentials.push_back(f.session.curves.x(i));
  Type(f.session, "FormIns.Estep", "0.01");
  RunMenuItem(f.session, "mnuAutoFit");
  ASSERT_EQ(f.platform.messages.size(), 1u);
  EXPECT_EQ(f.platform.messages[0],
            "Fit Error: The simulated curve has 61 points and the measured one 121" + kAdvice);
  EXPECT_EQ(Curve(f.session, 1), measured);
  for (int i = 1; i <= f.session.curves.pointCount; ++i) {
    EXPECT_EQ(f.session.curves.x(i), potentials[i - 1]);
  }
  EXPECT_EQ(f.session.curves.curveCount, 1);
  EXPECT_EQ(f.session.curves.lastPoint, 121);
}

TEST(AutoFit, WithoutAMeasuredCurveIsAFitError) {
  SessionFixture f;
  RunMenuItem(f.session, "mnuAutoFit");
  ASSERT_EQ(f.platform.messages.size(), 2u);
  EXPECT_EQ(f.platform.messages[0], "Fit Error: Division by zero" + kAdvice);
  EXPECT_EQ(f.platform.messages[1], "Error: No data!");
  EXPECT_TRUE(f.session.result.lines.empty());
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

// With surface concentrations chosen as the output, the concentrations used to be written over
// the measurement in curve 1 and compared with it. A fit compares currents and keeps the
// measurement; the concentrations show again at the next simulation.
TEST(AutoFit, ConcentrationOutputKeepsTheMeasurementAndFitsTheCurrent) {
  SessionFixture f;
  Type(f.session, "FormIns.Estep", "0.01");
  RunMenuItem(f.session, "mnuSimulate");
  const std::vector<double> measured = Curve(f.session, 1);
  Choose(f.session, "formOption.ComboY", "surface concentration C");
  Type(f.session, "FormExpr.C(1)", "1.3e-3");
  RunMenuItem(f.session, "mnuManualFit");
  EXPECT_EQ(Curve(f.session, 1), measured);
  RunMenuItem(f.session, "mnuAutoFit");
  EXPECT_TRUE(f.platform.messages.empty());
  EXPECT_EQ(Curve(f.session, 1), measured);
  EXPECT_EQ(f.session.curves.curveCount, 2);
  EXPECT_NEAR(model::ReadNumber(f.session.Expr().CheckFitted(1).caption), 1e-3, 1e-6);
  RunMenuItem(f.session, "mnuSimulate");
  EXPECT_EQ(f.session.curves.curveCount, 2);  // A and B
  EXPECT_EQ(f.session.curves.y(1, 1), f.session.curves.concentrationTable(1, 1));
}

TEST(ManualFit, SimulatesIntoCurveTwoBesideTheMeasurement) {
  SessionFixture f;
  EXPECT_EQ(RunMenuItem(f.session, "mnuManualFit"), MenuOutcome::Disabled);
  RunMenuItem(f.session, "mnuSimulate");
  for (int i = 1; i <= f.session.curves.pointCount; ++i) f.session.curves.y(i, 1) = 1e-6 * i;
  const std::vector<double> measured = Curve(f.session, 1);
  ASSERT_EQ(RunMenuItem(f.session, "mnuManualFit"), MenuOutcome::Ran);
  EXPECT_EQ(Curve(f.session, 1), measured);
  EXPECT_EQ(f.session.curves.curveCount, 2);
  const int total = f.session.app.totalColumn;
  for (int i = 1; i <= f.session.curves.pointCount; ++i) {
    EXPECT_EQ(f.session.curves.y(i, 2), f.session.curves.resultTable(i, total));
  }
  EXPECT_FALSE(f.session.app.fitting);
  EXPECT_TRUE(f.platform.messages.empty());
}

// A scheme with three charge reactions: measured, fitted and three components, the most the plot
// holds; the components add up to the fitted total.
TEST(Separate, OneCurvePerChargeReaction) {
  SessionFixture f;
  const char* boxes[] = {"A", "B", "B", "C", "C", "D"};
  for (int b = 1; b <= 6; ++b)
    Type(f.session, "FormMech.charge(" + std::to_string(b) + ")", boxes[b - 1]);
  RunMenuItem(f.session, "mnuSimulate");
  ASSERT_EQ(RunMenuItem(f.session, "mnuManualSeparate"), MenuOutcome::Ran);
  EXPECT_TRUE(f.platform.messages.empty());
  const int reactions = f.session.app.chargeCount;
  ASSERT_EQ(reactions, 3);
  EXPECT_EQ(f.session.curves.curveCount, 2 + reactions);
  const model::CurveSet& c = f.session.curves;
  double largest = 0;
  for (int i = 1; i <= c.pointCount; ++i) largest = std::max(largest, std::fabs(c.y(i, 2)));
  ASSERT_GT(largest, 0);
  for (int i = 1; i <= c.pointCount; ++i) {
    EXPECT_NEAR(c.y(i, 3) + c.y(i, 4) + c.y(i, 5), c.y(i, 2), 1e-12 * largest) << i;
  }
  for (int j = 1; j <= reactions; ++j) {
    for (int i = 1; i <= f.session.curves.pointCount; ++i) {
      EXPECT_EQ(f.session.curves.y(i, 2 + j), f.session.curves.resultTable(i, j));
    }
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
