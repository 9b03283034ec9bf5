// Manual Fit, Auto Fit and the separations through the session, as a user runs them: the report,
// parameters held by their bounds, the choice of slots, failures, the routing of the curves, and
// the recovery of known values. (Fitting with nothing measured and on other potentials than the
// measurement: the fit_failures scenario.)

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "model/number_text.h"
#include "model/print_line.h"
#include "support/temp_dir.h"
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
  ASSERT_GT(lines.size(), 11u);  // then how sure the fit is (fit_rate_constants_test.cpp)
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
  EXPECT_EQ(lines[11], "");
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

// Recovery through the program: simulate, export, import, perturb, Auto Fit, and get the known
// values back. Without noise only the four digits the Chemicals dialog shows separate the
// measurement from the model (0.05 %, 0.1 mV); with 2 % noise the bounds are three standard
// errors (0.5 %, 0.3 mV).

// Simulates the "measurement", checks that it is a voltammogram and not a flat line, writes it to
// a CSV file and reads it back, as between two sessions (the import also sets E start and E step
// in the Instrument dialog from the file).
void MeasureExportAndImport(SessionFixture& f) {
  ASSERT_EQ(RunMenuItem(f.session, "mnuSimulate"), MenuOutcome::Ran);
  ASSERT_TRUE(f.platform.messages.empty()) << f.platform.messages.front();
  double largest = 0;
  for (double y : testing::Curve(f.session, 1)) largest = std::max(largest, std::fabs(y));
  ASSERT_GT(largest, 1e-6);  // A: tens of microamperes at 1 mM on 1 cm2

  const testing::TempDir dir;
  f.platform.fileAnswers = {dir.File("measured.csv"), dir.File("measured.csv")};
  ASSERT_EQ(RunMenuItem(f.session, "mnuExport"), MenuOutcome::Ran);
  ASSERT_EQ(RunMenuItem(f.session, "mnuImport"), MenuOutcome::Ran);
  ASSERT_TRUE(f.platform.messages.empty()) << f.platform.messages.front();
  ASSERT_EQ(f.session.curves.currentCurve, 1);
}

// Runs the fit command and expects it to end converged (flag -1 or -2).
void FitConverges(SessionFixture& f, const char* item) {
  ASSERT_EQ(RunMenuItem(f.session, item), MenuOutcome::Ran);
  ASSERT_TRUE(f.platform.messages.empty()) << f.platform.messages.front();
  const std::vector<std::string>& lines = f.session.result.lines;
  const auto flag = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
    return line.rfind("Convergence flag =", 0) == 0;
  });
  ASSERT_NE(flag, lines.end());
  EXPECT_TRUE(flag->ends_with(" -1 ") || flag->ends_with(" -2 ")) << *flag;
}

struct Recovery {
  const char* what;
  std::function<void(Session&)> measure;  // the known experiment, where not the default
  std::vector<std::pair<const char*, const char*>> perturb;  // typed before fitting
  std::vector<int> ticks;                       // slots ticked besides the concentration's
  std::vector<std::pair<double, double>> rows;  // each report row's known value and tolerance
};

TEST(FitRecovery, KnownValuesComeBackThroughExportImportAndAutoFit) {
  const std::vector<std::pair<const char*, const char*>> offCouple = {{"FormExpr.C(1)", "1.3e-3"},
                                                                      {"FormExpr.Eze(1)", "0.07"}};
  const Recovery cases[] = {
      {"default couple: concentration and E0",
       [](Session&) {},
       offCouple,
       {13},
       {{1e-3, 5e-4 * 1e-3}, {0.1, 1e-4}}},
      {"the same from a noisy curve",
       [](Session& s) { Type(s, "FormIns.Noise", "2"); },
       offCouple,
       {13},
       {{1e-3, 5e-3 * 1e-3}, {0.1, 3e-4}}},
      // ks 2e-4 cm/s: Lambda = ks / sqrt(D f v) = 0.1 at 10 mV/s. The fit starts from the
      // default 1e4, clamped onto the upper bound 100, where the curve no longer depends on ks.
      {"quasi-reversible ks from the default",
       [](Session& s) { Type(s, "FormExpr.ks(1)", "2e-4"); },
       {{"FormExpr.ks(1)", "1e4"}, {"FormExpr.C(1)", "1.3e-3"}},
       {7},
       {{1e-3, 5e-4 * 1e-3}, {2e-4, 5e-4 * 2e-4}}},
      // Starting 50 mV positive of E0 an eighth of the couple is reduced before the scan begins,
      // so the fit finds the curve only if every trial of E0 and of the concentration
      // equilibrates the solution anew, as the Chemicals dialog does for the values typed in.
      {"couple equilibrated near its E0",
       [](Session& s) {
         Type(s, "FormIns.Estart", "0.15");
         Type(s, "FormIns.Eend", "-0.25");
       },
       offCouple,
       {13},
       {{1e-3, 5e-4 * 1e-3}, {0.1, 1e-4}}},
      // A + e = B, B = C on a cyclic scan in 10 mV steps: the return peak shows how much B has
      // gone on to C.
      {"scheme with a following chemical step",
       [](Session& s) {
         Type(s, "FormMech.chem(1)", "B");
         Type(s, "FormMech.chem(2)", "C");
         testing::Choose(s, "FormIns.ComboScan", "cycle");
         Type(s, "FormIns.Estep", "0.01");
         RunMenuItem(s, "mnuExperimental");
       },
       {{"FormExpr.C(1)", "1.2e-3"}, {"FormExpr.Eze(1)", "0.08"}, {"FormExpr.kf(1)", "4"}},
       {13, 16},
       {{1e-3, 5e-4 * 1e-3}, {0.1, 1e-4}, {10, 5e-3 * 10}}},
  };
  for (const Recovery& c : cases) {
    SCOPED_TRACE(c.what);
    SessionFixture f;
    c.measure(f.session);
    MeasureExportAndImport(f);
    for (const auto& [reference, text] : c.perturb) Type(f.session, reference, text);
    for (int k : c.ticks) TickFit(f.session, k);
    FitConverges(f, "mnuAutoFit");
    for (std::size_t j = 1; j <= c.rows.size(); ++j) {
      const std::string row = testing::ReportRow(f.session, static_cast<int>(j));
      ASSERT_GT(row.size(), 28u) << row;
      EXPECT_NEAR(model::ReadNumber(row.substr(28)), c.rows[j - 1].first, c.rows[j - 1].second)
          << row;
    }
  }
}

// Two one-electron waves 70 mV apart, in 10 mV steps. After Auto Separate: measured, fitted total
// and one curve per charge reaction; the components add up to the fitted total (to rounding),
// and the fit finds both standard potentials again.
TEST(FitSeparation, TwoOverlappedWavesComeApartIntoTheirComponents) {
  const std::pair<const char*, std::function<void(Session&)>> schemes[] = {
      {"mechanism 4 (A + ne = B, C + ne = D), analytically",
       [](Session& s) {
         Click(s, "FormMech.CheckDigital");
         Click(s, "FormMech.mech(4)");
       }},
      {"a two-couple digital scheme",
       [](Session& s) {
         Type(s, "FormMech.charge(3)", "C");
         Type(s, "FormMech.charge(4)", "D");
       }},
  };
  for (const auto& [what, scheme] : schemes) {
    SCOPED_TRACE(what);
    SessionFixture f;
    scheme(f.session);
    Type(f.session, "FormIns.Estep", "0.01");
    RunMenuItem(f.session, "mnuExperimental");  // the Chemicals dialog, laid out for the scheme
    Type(f.session, "FormExpr.C(3)", "1e-3");
    Type(f.session, "FormExpr.Eze(2)", "0.03");
    MeasureExportAndImport(f);

    Type(f.session, "FormExpr.Eze(1)", "0.12");
    Type(f.session, "FormExpr.Eze(2)", "0");
    TickFit(f.session, 1);  // untick the concentration
    TickFit(f.session, 13);
    TickFit(f.session, 14);
    FitConverges(f, "mnuAutoSeparate");
    EXPECT_NEAR(f.session.app.E0(1), 0.1, 1e-4);
    EXPECT_NEAR(f.session.app.E0(2), 0.03, 1e-4);

    const model::CurveSet& curves = f.session.curves;
    ASSERT_EQ(f.session.app.chargeCount, 2);
    ASSERT_EQ(curves.curveCount, 4);
    double largest = 0;
    for (double y : testing::Curve(f.session, 2)) largest = std::max(largest, std::fabs(y));
    for (int i = 1; i <= curves.pointCount; ++i) {
      EXPECT_NEAR(curves.y(i, 3) + curves.y(i, 4), curves.y(i, 2), 1e-9 * largest) << i;
      EXPECT_NEAR(curves.y(i, 2), curves.y(i, 1), 1e-3 * largest) << i;  // the fit matches
    }
    // Each component is one wave: a reversible one-electron sweep reaches half its peak current
    // 1.09 RT/F (28 mV) positive of E0 (Nicholson and Shain). Read off the 10 mV grid, whose
    // largest point can miss the peak and whose chords cut the curve, to 3 mV.
    for (int j = 1; j <= 2; ++j) {
      const int c = 2 + j;
      double peak = 0;
      for (int i = 1; i <= curves.pointCount; ++i) peak = std::max(peak, curves.y(i, c));
      int i = 2;
      while (i < curves.pointCount && curves.y(i, c) < 0.5 * peak) ++i;
      const double share =
          (0.5 * peak - curves.y(i - 1, c)) / (curves.y(i, c) - curves.y(i - 1, c));
      const double halfPeak = curves.x(i - 1) + share * (curves.x(i) - curves.x(i - 1));
      EXPECT_NEAR(halfPeak, f.session.app.E0(j) + 1.09 * f.session.app.RToverF, 0.003) << j;
    }
  }
}

}  // namespace
}  // namespace kivex::ui
