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
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "model/number_text.h"
#include "support/temp_dir.h"
#include "support/test_platform.h"
#include "ui/commands.h"
#include "ui/session_actions.h"

namespace kivex::ui {
namespace {

using testing::Click;
using testing::SessionFixture;
using testing::TickFit;
using testing::Type;

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
