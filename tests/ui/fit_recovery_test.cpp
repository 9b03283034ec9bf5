// Recovery through the program: simulate with known parameters, export the curve and import it
// again, perturb the dialogs, Auto Fit, and get the known values back. And separation of two
// overlapped one-electron waves into components that add up to the fitted total.
//
// Tolerances. Without noise the measured curve is the model at the known values except for the
// concentrations' four digits in the Chemicals dialog's labels, which the simulated curve was
// made from while the fit derives them in full precision (a few 1e-5 relative), so the values
// come back to within what the convergence test leaves: 0.05 % for concentrations and rate
// constants (0.5 % for a homogeneous rate constant, which the curve shows only through the return
// peak), 0.1 mV for standard potentials. With 2 % noise (a standard deviation of 0.5 % of the
// peak current) on the 121 points, the model's derivatives give standard errors of 0.09 % for
// the concentration and 0.1 mV for E0; the bounds, 0.5 % and 0.3 mV, are three or more of those.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "model/number_text.h"
#include "support/temp_dir.h"
#include "support/test_platform.h"
#include "ui/commands.h"
#include "ui/form_expr.h"
#include "ui/form_ins.h"
#include "ui/form_mech.h"
#include "ui/interaction.h"
#include "ui/session.h"

namespace kivex::ui {
namespace {

using testing::SessionFixture;

void Type(Session& session, std::string_view reference, std::string text) {
  const ControlAddress address = ResolveControl(session, reference);
  TypeText(session, *address.dialog, *address.control, std::move(text));
}

void Click(Session& session, std::string_view reference) {
  const ControlAddress address = ResolveControl(session, reference);
  ClickControl(session, *address.dialog, *address.control);
}

void Choose(Session& session, std::string_view reference, std::string_view item) {
  const ControlAddress address = ResolveControl(session, reference);
  ChooseItem(session, *address.dialog, *address.control, item);
}

// Ticks fit slot k; the dialog shows its bound boxes.
void TickFit(Session& session, int k) {
  Click(session, "FormExpr.CheckFitted(" + std::to_string(k) + ")");
  ASSERT_TRUE(session.Expr().CheckFitted(k).value);
  ASSERT_TRUE(session.Expr().TextCmin(k).visible);
}

// Simulates the "measurement" and checks that it is a voltammogram, not a flat line.
void Measure(SessionFixture& f) {
  ASSERT_EQ(RunMenuItem(f.session, "mnuSimulate"), MenuOutcome::Ran);
  ASSERT_TRUE(f.platform.messages.empty()) << f.platform.messages.front();
  double largest = 0;
  for (int i = 1; i <= f.session.curves.pointCount; ++i) {
    largest = std::max(largest, std::fabs(f.session.curves.y(i, 1)));
  }
  ASSERT_GT(largest, 1e-6);  // A: tens of microamperes at 1 mM on 1 cm2
}

// Writes the measured curve to a CSV file and reads it back, as between two sessions; the import
// also sets E start and E step in the Instrument dialog from the file.
void ExportAndImport(SessionFixture& f, const testing::TempDir& dir) {
  const std::string path = dir.File("measured.csv");
  f.platform.fileAnswers.push_back(path);
  ASSERT_EQ(RunMenuItem(f.session, "mnuExport"), MenuOutcome::Ran);
  f.platform.fileAnswers.push_back(path);
  ASSERT_EQ(RunMenuItem(f.session, "mnuImport"), MenuOutcome::Ran);
  ASSERT_TRUE(f.platform.messages.empty()) << f.platform.messages.front();
  ASSERT_EQ(f.session.curves.currentCurve, 1);
}

// The value printed after `label` in the report, as text.
std::string ReportItem(const Session& session, const std::string& label) {
  for (auto line = session.result.lines.rbegin(); line != session.result.lines.rend(); ++line) {
    if (line->rfind(label, 0) == 0) return line->substr(28);
  }
  return "(no line " + label + ")";
}

// The initial and fitted value of report row j.
struct Row {
  double initial = 0;
  double fitted = 0;
};
Row ReportRow(const Session& session, int j) {
  const std::string start = " " + std::to_string(j) + " ";
  for (const std::string& line : session.result.lines) {
    if (line.rfind(start, 0) == 0 && line.size() > 28) {
      return {model::ReadNumber(line.substr(14, 14)), model::ReadNumber(line.substr(28))};
    }
  }
  ADD_FAILURE() << "no report row " << j;
  return {};
}

void AutoFitConverges(SessionFixture& f) {
  ASSERT_EQ(RunMenuItem(f.session, "mnuAutoFit"), MenuOutcome::Ran);
  ASSERT_TRUE(f.platform.messages.empty()) << f.platform.messages.front();
  const std::string flag = ReportItem(f.session, "Convergence flag = ");
  EXPECT_TRUE(flag == "-1 " || flag == "-2 ") << flag;
}

void RecoverDefaultCouple(double noisePercent, double concentrationTolerance,
                          double potentialTolerance) {
  SessionFixture f;
  const testing::TempDir dir;
  if (noisePercent > 0) Type(f.session, "FormIns.Noise", model::ShortestText(noisePercent));
  Measure(f);
  const double initialConcentration = f.session.app.Cinit(1);  // 9.996e-4 after equilibration
  ExportAndImport(f, dir);

  Type(f.session, "FormExpr.C(1)", "1.3e-3");
  Type(f.session, "FormExpr.Eze(1)", "0.07");
  TickFit(f.session, 13);
  AutoFitConverges(f);
  EXPECT_EQ(ReportRow(f.session, 1).initial, 1.3e-3);
  EXPECT_EQ(ReportRow(f.session, 2).initial, 0.07);
  // The fitted concentration is the one the solution is made up with; the experiment holds the
  // initial concentration that follows from it.
  EXPECT_NEAR(ReportRow(f.session, 1).fitted, 1e-3, concentrationTolerance * 1e-3);
  EXPECT_NEAR(f.session.app.Cinit(1), initialConcentration,
              concentrationTolerance * initialConcentration);
  EXPECT_NEAR(f.session.app.E0(1), 0.1, potentialTolerance);
  EXPECT_NEAR(ReportRow(f.session, 2).fitted, f.session.app.E0(1), 1e-12);
}

TEST(FitRecovery, DefaultCoupleConcentrationAndStandardPotential) {
  RecoverDefaultCouple(0, 5e-4, 1e-4);
}

TEST(FitRecovery, DefaultCoupleFromANoisyCurve) { RecoverDefaultCouple(2, 5e-3, 3e-4); }

// A quasi-reversible couple (ks 2e-4 cm/s: Lambda = ks / sqrt(D f v) = 0.1 at 10 mV/s). The fit
// starts from the default 1e4, clamped onto the upper bound 100, where the curve no longer
// depends on ks; the report shows 1e4 as the initial value.
TEST(FitRecovery, QuasiReversibleRateConstantFromTheDefault) {
  SessionFixture f;
  const testing::TempDir dir;
  Type(f.session, "FormExpr.ks(1)", "2e-4");
  Measure(f);
  ExportAndImport(f, dir);

  Type(f.session, "FormExpr.ks(1)", "1e4");
  Type(f.session, "FormExpr.C(1)", "1.3e-3");
  TickFit(f.session, 7);
  AutoFitConverges(f);
  EXPECT_EQ(ReportRow(f.session, 2).initial, 1e4);  // before clamping
  EXPECT_NEAR(f.session.app.ks(1), 2e-4, 5e-4 * 2e-4);
  EXPECT_NEAR(ReportRow(f.session, 1).fitted, 1e-3, 5e-4 * 1e-3);
}

// The initial concentrations are pre-equilibrated at the starting potential. Starting 50 mV
// positive of E0, an eighth of the couple is reduced before the scan begins, so the fit can only
// find the measured curve if every trial of E0 and of the concentration equilibrates the
// solution anew, as the Chemicals dialog does for the values typed in.
TEST(FitRecovery, CoupleEquilibratedNearItsStandardPotential) {
  SessionFixture f;
  const testing::TempDir dir;
  Type(f.session, "FormIns.Estart", "0.15");
  Type(f.session, "FormIns.Eend", "-0.25");
  Measure(f);
  ASSERT_GT(f.session.app.Cinit(2), 0.1e-3);
  ExportAndImport(f, dir);

  Type(f.session, "FormExpr.C(1)", "1.3e-3");
  Type(f.session, "FormExpr.Eze(1)", "0.07");
  TickFit(f.session, 13);
  AutoFitConverges(f);
  EXPECT_NEAR(ReportRow(f.session, 1).fitted, 1e-3, 5e-4 * 1e-3);
  EXPECT_NEAR(f.session.app.E0(1), 0.1, 1e-4);
  const double theta = std::exp(f.session.app.fOverRT * (f.session.app.E0(1) - 0.15));
  EXPECT_NEAR(f.session.app.Cinit(2) / f.session.app.Cinit(1), theta, 1e-9 * theta);
}

// A following chemical step (A + e = B, B = C) on a cyclic scan in 10 mV steps: concentration,
// E0 and kf. The return peak shows how much B has gone on to C.
TEST(FitRecovery, SchemeWithAChemicalStep) {
  SessionFixture f;
  const testing::TempDir dir;
  Type(f.session, "FormMech.chem(1)", "B");
  Type(f.session, "FormMech.chem(2)", "C");
  Choose(f.session, "FormIns.ComboScan", "cycle");
  Type(f.session, "FormIns.Estep", "0.01");
  RunMenuItem(f.session, "mnuExperimental");
  Measure(f);
  ASSERT_EQ(f.session.app.chemCount, 1);
  ExportAndImport(f, dir);

  Type(f.session, "FormExpr.C(1)", "1.2e-3");
  Type(f.session, "FormExpr.Eze(1)", "0.08");
  Type(f.session, "FormExpr.kf(1)", "4");
  TickFit(f.session, 13);
  TickFit(f.session, 16);
  AutoFitConverges(f);
  EXPECT_NEAR(ReportRow(f.session, 1).fitted, 1e-3, 5e-4 * 1e-3);
  EXPECT_NEAR(f.session.app.E0(1), 0.1, 1e-4);
  EXPECT_NEAR(f.session.app.kf(1), 10, 5e-3 * 10);
  EXPECT_DOUBLE_EQ(f.session.app.Keq(1), f.session.app.kf(1) / 0.01);  // follows the fitted kf
}

// Two one-electron waves 70 mV apart, in 10 mV steps. After Auto Separate: measured, fitted total
// and one curve per charge reaction; the components add up to the fitted total (to rounding),
// and the fit finds both standard potentials again.
void SeparateTwoWaves(SessionFixture& f) {
  const testing::TempDir dir;
  Type(f.session, "FormIns.Estep", "0.01");
  RunMenuItem(f.session, "mnuExperimental");  // the Chemicals dialog, laid out for the scheme
  Type(f.session, "FormExpr.C(3)", "1e-3");
  Type(f.session, "FormExpr.Eze(2)", "0.03");
  Measure(f);
  ExportAndImport(f, dir);

  Type(f.session, "FormExpr.Eze(1)", "0.12");
  Type(f.session, "FormExpr.Eze(2)", "0");
  Click(f.session, "FormExpr.CheckFitted(1)");  // untick the concentration
  TickFit(f.session, 13);
  TickFit(f.session, 14);
  ASSERT_EQ(RunMenuItem(f.session, "mnuAutoSeparate"), MenuOutcome::Ran);
  ASSERT_TRUE(f.platform.messages.empty()) << f.platform.messages.front();
  const std::string flag = ReportItem(f.session, "Convergence flag = ");
  EXPECT_TRUE(flag == "-1 " || flag == "-2 ") << flag;
  EXPECT_NEAR(f.session.app.E0(1), 0.1, 1e-4);
  EXPECT_NEAR(f.session.app.E0(2), 0.03, 1e-4);

  const model::CurveSet& curves = f.session.curves;
  ASSERT_EQ(f.session.app.chargeCount, 2);
  ASSERT_EQ(curves.curveCount, 4);
  double largest = 0;
  for (int i = 1; i <= curves.pointCount; ++i) {
    largest = std::max(largest, std::fabs(curves.y(i, 2)));
  }
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
    const double share = (0.5 * peak - curves.y(i - 1, c)) / (curves.y(i, c) - curves.y(i - 1, c));
    const double halfPeak = curves.x(i - 1) + share * (curves.x(i) - curves.x(i - 1));
    EXPECT_NEAR(halfPeak, f.session.app.E0(j) + 1.09 * f.session.app.RToverF, 0.003) << j;
  }
}

TEST(FitSeparation, TwoWavesOfMechanismFourAnalytically) {
  SessionFixture f;
  Click(f.session, "FormMech.CheckDigital");  // analytical simulation
  Click(f.session, "FormMech.mech(4)");       // A + ne = B, C + ne = D
  SeparateTwoWaves(f);
}

TEST(FitSeparation, TwoWavesOfATwoCoupleDigitalScheme) {
  SessionFixture f;
  Type(f.session, "FormMech.charge(3)", "C");
  Type(f.session, "FormMech.charge(4)", "D");
  SeparateTwoWaves(f);
}

}  // namespace
}  // namespace kivex::ui
