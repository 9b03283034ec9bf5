// Auto Fit and the separations through the session. (The report, refused bounds, hidden slots,
// failures and the overlap box, and the currents compared whatever the output: the fit_failures,
// fit_grid_refusal, ui_*fit* and ui_fit_* scenarios.)

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "model/number_text.h"
#include "model/print_line.h"
#include "support/temp_dir.h"
#include "support/test_platform.h"
#include "ui/commands.h"
#include "ui/form_expr.h"
#include "ui/session_actions.h"

namespace kivex::ui {
namespace {

using testing::ReportRow;
using testing::SessionFixture;
using testing::TickFit;
using testing::Type;

std::string Row(int j, double initial, double fitted) {
  return model::PrintLine().Integer(j).Zone().Number(initial).Zone().Number(fitted).str();
}

// Equal bounds hold the concentration and ks, bounds that are no numbers (read as 0) hold E0; ks
// starts outside, at 1e4, as the report shows. The initial concentrations follow by Nernst.
TEST(AutoFit, BoundsHoldTheParametersAndTheReportShowsTheStartUnclamped) {
  SessionFixture f;
  RunMenuItem(f.session, "mnuSimulate");
  for (int k : {7, 13}) TickFit(f.session, k);
  testing::Apply(f.session, {{"FormExpr.TextCmin(1)", "0.0125"},
                             {"FormExpr.TextCmax(1)", "0.0125 M"},
                             {"FormExpr.TextCmin(7)", "150"},
                             {"FormExpr.TextCmax(7)", "150"},
                             {"FormExpr.TextCmin(13)", "0 V"},
                             {"FormExpr.TextCmax(13)", ""}});
  RunMenuItem(f.session, "mnuAutoFit");
  EXPECT_TRUE(f.platform.messages.empty());
  EXPECT_EQ(ReportRow(f.session, 2), Row(2, 1e4, 150));
  const double share = 1.0 / (1.0 + std::exp(f.session.app.fOverRT * (0.0 - 0.3)));  // oxidised
  EXPECT_DOUBLE_EQ(f.session.app.Cinit(1), 0.0125 * share);
  EXPECT_NEAR(f.session.app.Cinit(2), 0.0125 * (1 - share), 1e-9 * 0.0125);
  EXPECT_EQ(f.session.app.ks(1), 150);
  EXPECT_EQ(f.session.app.E0(1), 0.0);
  EXPECT_EQ(f.session.Expr().CheckFitted(7).caption, "1.5e2");
  EXPECT_EQ(f.session.Expr().CheckFitted(13).caption, "0.e0");
  EXPECT_EQ(f.session.Expr().C(1).text, "1e-3");  // the dialogs keep what the user typed
}

// Simulates the "measurement" (a wave), exports it and imports it back as between two sessions.
void MeasureExportAndImport(SessionFixture& f) {
  ASSERT_EQ(RunMenuItem(f.session, "mnuSimulate"), MenuOutcome::Ran);
  ASSERT_TRUE(f.platform.messages.empty()) << f.platform.messages.front();
  ASSERT_GT(std::ranges::max(testing::Curve(f.session, 1)), 1e-6);  // tens of uA at 1 mM, 1 cm2

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

// Simulate, export, import, perturb, Auto Fit: the known C and E0 come back. Without noise only
// the four digits the Chemicals dialog shows separate measurement and model (0.05 %, 0.1 mV).
// (With noise: InstrumentExportFit; ks from the dialog's start and a following step:
// RateConstantFit.)
TEST(FitRecovery, KnownValuesComeBackThroughExportImportAndAutoFit) {
  const std::pair<const char*, testing::Settings> cases[] = {
      {"default couple", {}},
      // 50 mV positive of E0 an eighth is reduced before the scan: each trial must re-equilibrate.
      {"near E0", {{"FormIns.Estart", "0.15"}, {"FormIns.Eend", "-0.25"}}},
  };
  for (const auto& [what, measure] : cases) {
    SCOPED_TRACE(what);
    SessionFixture f;
    testing::Apply(f.session, measure);
    MeasureExportAndImport(f);
    testing::Apply(f.session, {{"FormExpr.C(1)", "1.3e-3"}, {"FormExpr.Eze(1)", "0.07"}});
    TickFit(f.session, 13);
    FitConverges(f, "mnuAutoFit");
    const std::pair<double, double> rows[] = {{1e-3, 5e-4}, {0.1, 1e-3}};  // known, relative bound
    for (int j = 1; j <= 2; ++j) {
      const std::string row = testing::ReportRow(f.session, j);
      ASSERT_GT(row.size(), 28u) << row;
      const auto [known, bound] = rows[j - 1];
      EXPECT_NEAR(model::ReadNumber(row.substr(28)), known, bound * known) << row;
    }
  }
}

// Two one-electron waves 70 mV apart, 10 mV steps: Auto Separate finds both E0 and gives one
// curve per charge reaction, adding up to the fitted total.
TEST(FitSeparation, TwoOverlappedWavesComeApartIntoTheirComponents) {
  const testing::Settings schemes[] = {
      {{"FormMech.CheckDigital", nullptr}, {"FormMech.mech(4)", nullptr}},  // analytical
      {{"FormMech.charge(3)", "C"}, {"FormMech.charge(4)", "D"}},           // digital
  };
  for (const testing::Settings& scheme : schemes) {
    SessionFixture f;
    testing::Apply(f.session, scheme);
    Type(f.session, "FormIns.Estep", "0.01");
    RunMenuItem(f.session, "mnuExperimental");  // the Chemicals dialog, laid out for the scheme
    testing::Apply(f.session, {{"FormExpr.C(3)", "1e-3"}, {"FormExpr.Eze(2)", "0.03"}});
    MeasureExportAndImport(f);
    testing::Apply(f.session, {{"FormExpr.Eze(1)", "0.12"}, {"FormExpr.Eze(2)", "0"}});
    for (int k : {1, 13, 14}) TickFit(f.session, k);  // unticks the concentration
    FitConverges(f, "mnuAutoSeparate");
    EXPECT_NEAR(f.session.app.E0(1), 0.1, 1e-4);
    EXPECT_NEAR(f.session.app.E0(2), 0.03, 1e-4);

    const model::CurveSet& curves = f.session.curves;
    ASSERT_EQ(f.session.app.chargeCount, 2);
    ASSERT_EQ(curves.curveCount, 4);
    const double largest = std::ranges::max(testing::Curve(f.session, 2));
    for (int i = 1; i <= curves.pointCount; ++i) {
      EXPECT_NEAR(curves.y(i, 3) + curves.y(i, 4), curves.y(i, 2), 1e-9 * largest) << i;
      EXPECT_NEAR(curves.y(i, 2), curves.y(i, 1), 1e-3 * largest) << i;  // the fit matches
    }
    // Each component is one wave: a reversible sweep is at half its peak 1.09 RT/F positive of E0
    // (Nicholson and Shain); read off the 10 mV grid to 3 mV.
    for (int j = 1; j <= 2; ++j) {
      const int c = 2 + j;
      const double peak = std::ranges::max(testing::Curve(f.session, c));
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
