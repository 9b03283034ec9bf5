// Recovery through the program: simulate with known parameters, export and import the curve,
// perturb the dialogs, Auto Fit, and get the known values back. And separation of two overlapped
// one-electron waves into components that add up to the fitted total.
//
// These need simulations that compute currents. A build whose simulations still give a flat zero
// curve skips them (detected from the simulated curve, at run time), so they run by themselves as
// soon as the simulations are in. Likewise the CSV round trip is made when the build has the
// import and export commands; otherwise the simulated curve stays in place as the measurement.
//
// Tolerances: a curve simulated without noise is reproduced exactly at the known values, so they
// come back as closely as the fit's convergence test allows (concentrations to 0.5 %, potentials
// to 1 mV, rate constants to 3 %; the species the fit does not adjust are pre-equilibrated at the
// perturbed potentials, which moves them by less than 1e-6 M). With 2 % noise the bounds are
// about three standard errors: 3 % and 3 mV.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "model/number_text.h"
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

// Ticks or unticks fit slot k; a ticked slot's bound boxes are shown (the Chemicals dialog does
// this itself once its behaviour is in the build).
void TickFit(Session& session, int k) {
  Click(session, "FormExpr.CheckFitted(" + std::to_string(k) + ")");
  session.Expr().TextCmin(k).visible = session.Expr().CheckFitted(k).value;
  session.Expr().TextCmax(k).visible = session.Expr().CheckFitted(k).value;
}

bool HasCurrent(const Session& session) {
  for (int i = 1; i <= session.curves.pointCount; ++i) {
    if (session.curves.y(i, 1) != 0) return true;
  }
  return false;
}

#define SKIP_WITHOUT_CURRENT(session)                                                       \
  if (!HasCurrent(session))                                                                 \
  GTEST_SKIP() << "the simulations of this build give no current yet (a flat zero curve); " \
                  "this test runs once they compute one"

// Writes the measured curve to a CSV file and reads it back, as between two sessions.
void ExportAndImport(SessionFixture& f) {
  if (FindCommand("mnuExport") == nullptr || FindCommand("mnuImport") == nullptr) return;
  const std::string path = ::testing::TempDir() + "kivex_fit_recovery.csv";
  f.platform.fileAnswers.push_back(path);
  ASSERT_EQ(RunMenuItem(f.session, "mnuExport"), MenuOutcome::Ran);
  f.platform.fileAnswers.push_back(path);
  ASSERT_EQ(RunMenuItem(f.session, "mnuImport"), MenuOutcome::Ran);
  ASSERT_TRUE(f.platform.messages.empty()) << f.platform.messages.front();
}

// The value printed after `label` in the report, as text.
std::string ReportItem(const Session& session, const std::string& label) {
  for (auto line = session.result.lines.rbegin(); line != session.result.lines.rend(); ++line) {
    if (line->rfind(label, 0) == 0) return line->substr(28);
  }
  return "(no line " + label + ")";
}

void ExpectConverged(const SessionFixture& f) {
  EXPECT_TRUE(f.platform.messages.empty()) << f.platform.messages.front();
  const std::string flag = ReportItem(f.session, "Convergence flag = ");
  EXPECT_TRUE(flag == "-1 " || flag == "-2 ") << flag;
}

void RecoverDefaultCouple(double noisePercent, double concentrationTolerance,
                          double potentialTolerance) {
  SessionFixture f;
  if (noisePercent > 0) Type(f.session, "FormIns.Noise", model::ShortestText(noisePercent));
  RunMenuItem(f.session, "mnuSimulate");
  SKIP_WITHOUT_CURRENT(f.session);
  const double concentration = f.session.app.Cinit(1);
  const double potential = f.session.app.E0(1);
  ExportAndImport(f);

  Type(f.session, "FormExpr.C(1)", "1.3e-3");
  Type(f.session, "FormExpr.Eze(1)", "0.07");
  TickFit(f.session, 13);
  ASSERT_EQ(RunMenuItem(f.session, "mnuAutoFit"), MenuOutcome::Ran);
  ExpectConverged(f);
  EXPECT_NEAR(f.session.app.Cinit(1), concentration, concentrationTolerance * concentration);
  EXPECT_NEAR(f.session.app.E0(1), potential, potentialTolerance);
}

TEST(FitRecovery, DefaultCoupleConcentrationAndStandardPotential) {
  RecoverDefaultCouple(0, 0.005, 0.001);
}

TEST(FitRecovery, DefaultCoupleFromANoisyCurve) { RecoverDefaultCouple(2, 0.03, 0.003); }

// A quasi-reversible couple (ks 2e-4 cm/s: Lambda = ks / sqrt(D f v) = 0.1 at 10 mV/s). The fit
// starts from the default 1e4, clamped onto the upper bound 100, where the curve no longer
// depends on ks; the report shows 1e4 as the initial value.
TEST(FitRecovery, QuasiReversibleRateConstantFromTheDefault) {
  SessionFixture f;
  Type(f.session, "FormExpr.ks(1)", "2e-4");
  RunMenuItem(f.session, "mnuSimulate");
  SKIP_WITHOUT_CURRENT(f.session);
  ExportAndImport(f);

  Type(f.session, "FormExpr.ks(1)", "1e4");
  TickFit(f.session, 1);
  TickFit(f.session, 7);
  ASSERT_EQ(RunMenuItem(f.session, "mnuAutoFit"), MenuOutcome::Ran);
  ExpectConverged(f);
  const auto row = std::find_if(f.session.result.lines.begin(), f.session.result.lines.end(),
                                [](const std::string& line) { return line.rfind(" 1 ", 0) == 0; });
  ASSERT_NE(row, f.session.result.lines.end());
  EXPECT_EQ(row->substr(14, 7), " 10000 ");  // the initial value, before clamping
  EXPECT_NEAR(f.session.app.ks(1), 2e-4, 0.03 * 2e-4);
}

// A following chemical step (A + e = B, B = C) on a cyclic scan: concentration and kf.
TEST(FitRecovery, SchemeWithAChemicalStep) {
  SessionFixture f;
  Type(f.session, "FormMech.chem(1)", "B");
  Type(f.session, "FormMech.chem(2)", "C");
  Choose(f.session, "FormIns.ComboScan", "cycle");
  RunMenuItem(f.session, "mnuExperimental");
  RunMenuItem(f.session, "mnuSimulate");
  SKIP_WITHOUT_CURRENT(f.session);
  const double concentration = f.session.app.Cinit(1);
  ExportAndImport(f);

  Type(f.session, "FormExpr.C(1)", "1.2e-3");
  Type(f.session, "FormExpr.kf(1)", "4");
  TickFit(f.session, 16);
  ASSERT_EQ(RunMenuItem(f.session, "mnuAutoFit"), MenuOutcome::Ran);
  ExpectConverged(f);
  EXPECT_NEAR(f.session.app.Cinit(1), concentration, 0.005 * concentration);
  EXPECT_NEAR(f.session.app.kf(1), 10, 0.3);
}

// Two one-electron waves 70 mV apart. After Auto Separate: measured, fitted total and one curve
// per charge reaction; the components add up to the fitted total (to rounding), and the fit
// finds both standard potentials again.
void SeparateTwoWaves(SessionFixture& f) {
  RunMenuItem(f.session, "mnuExperimental");  // the Chemicals dialog, laid out for the scheme
  Type(f.session, "FormExpr.C(3)", "1e-3");
  Type(f.session, "FormExpr.Eze(2)", "0.03");
  RunMenuItem(f.session, "mnuSimulate");
  SKIP_WITHOUT_CURRENT(f.session);
  ExportAndImport(f);

  Type(f.session, "FormExpr.Eze(1)", "0.12");
  Type(f.session, "FormExpr.Eze(2)", "0");
  TickFit(f.session, 13);
  TickFit(f.session, 14);
  ASSERT_EQ(RunMenuItem(f.session, "mnuAutoSeparate"), MenuOutcome::Ran);
  ExpectConverged(f);
  EXPECT_NEAR(f.session.app.E0(1), 0.1, 0.001);
  EXPECT_NEAR(f.session.app.E0(2), 0.03, 0.001);

  const model::CurveSet& curves = f.session.curves;
  ASSERT_EQ(f.session.app.chargeCount, 2);
  ASSERT_EQ(curves.curveCount, 4);
  double largest = 0;
  for (int i = 1; i <= curves.pointCount; ++i)
    largest = std::max(largest, std::fabs(curves.y(i, 2)));
  for (int i = 1; i <= curves.pointCount; ++i) {
    EXPECT_NEAR(curves.y(i, 3) + curves.y(i, 4), curves.y(i, 2), 1e-9 * largest) << i;
    EXPECT_NEAR(curves.y(i, 2), curves.y(i, 1), 1e-3 * largest) << i;  // the fit matches
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
