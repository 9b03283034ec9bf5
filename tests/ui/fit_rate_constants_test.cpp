// Auto Fit of rate constants as a user runs it: ks and alpha of a quasi-reversible cycle, an EC
// scheme with two minima, a couple too fast to tell its ks and doubtful ends. (Standard errors
// against the spread over noise draws: InstrumentExportFit; bench/fit_table.sh runs the full
// table.)

#include <gtest/gtest.h>

#include "fit_report.h"
#include "support/test_platform.h"
#include "ui/commands.h"
#include "ui/session_actions.h"

namespace kivex::ui {
namespace {

using testing::Fitted;
using testing::Parameter;
using testing::ReportSays;
using testing::SessionFixture;
using testing::TickFit;
using testing::Type;

// A + e = B (1 mM, 1 cm2, E0 0.1 V) on a cycle from 0.3 V at 0.1 V/s, alpha 0.45; the noise is a
// standard deviation of a quarter of its percentage of the largest current.
void MeasureCouple(Session& s, const char* ks, const char* noise) {
  testing::Apply(s, {{"FormIns.ComboScan", "cycle"},
                     {"FormIns.V", "0.1"},
                     {"FormIns.Noise", noise},
                     {"FormExpr.ks(1)", ks},
                     {"FormExpr.alph(1)", "0.45"}});
  ASSERT_EQ(RunMenuItem(s, "mnuSimulate"), MenuOutcome::Ran);
}

// Fits ks and alpha (the concentration unticked) from ks `start` and alpha 0.5.
void FitKsAndAlpha(SessionFixture& f, const char* start) {
  testing::Apply(f.session, {{"FormExpr.ks(1)", start}, {"FormExpr.alph(1)", "0.5"}});
  for (int k : {1, 7, 10}) TickFit(f.session, k);
  ASSERT_EQ(RunMenuItem(f.session, "mnuAutoFit"), MenuOutcome::Ran);
  ASSERT_TRUE(f.platform.messages.empty()) << f.platform.messages.front();
}

// ks 3e-3 cm/s at 0.1 V/s, Lambda = ks / sqrt(D F v / RT) 0.5 (any other rate at the same Lambda
// is the same problem), from the dialog's start (1e4, clamped onto the bound 100, where the curve
// no longer depends on ks: the fit used to stay there) and from 1e-2, with 0.25 % noise: about
// 0.5 % on ks and 0.002 on alpha.
TEST(RateConstantFit, KsAndAlphaFromTheDialogsStartOrFromNearer) {
  for (const char* start : {"1e4", "1e-2"}) {
    SCOPED_TRACE(start);
    SessionFixture f;
    MeasureCouple(f.session, "3e-3", "1");
    FitKsAndAlpha(f, start);
    const Fitted ks = Parameter(f.session, 1);
    EXPECT_NEAR(ks.value / 3e-3, 1.0, 0.05);
    EXPECT_NEAR(Parameter(f.session, 2).value, 0.45, 0.01);
    EXPECT_NEAR(ks.high / ks.value, ks.value / ks.low, 1e-3);  // log-scaled: symmetric
    EXPECT_FALSE(ReportSays(f.session, "bound") || ReportSays(f.session, "systematically"));
  }
}

// kf 3 1/s and E0 0.08 V without noise: from kf 10 and E0 0.1 V the fit used to stop in a second
// minimum (kf 21.4, E0 0.0553), where a faster step and a lower E0 give almost the same peak.
TEST(RateConstantFit, FollowingChemicalStepFindsTheDeeperMinimum) {
  SessionFixture f;
  Session& s = f.session;
  testing::Apply(
      s, {{"FormIns.ComboScan", "cycle"}, {"FormMech.chem(1)", "B"}, {"FormMech.chem(2)", "C"}});
  RunMenuItem(s, "mnuExperimental");
  testing::Apply(s, {{"FormExpr.kf(1)", "3"}, {"FormExpr.Eze(1)", "0.08"}});
  RunMenuItem(s, "mnuSimulate");
  testing::Apply(s, {{"FormExpr.kf(1)", "10"}, {"FormExpr.Eze(1)", "0.1"}});
  for (int k : {1, 13, 16}) TickFit(s, k);
  RunMenuItem(s, "mnuAutoFit");
  ASSERT_TRUE(f.platform.messages.empty()) << f.platform.messages.front();
  EXPECT_NEAR(Parameter(s, 1).value, 0.08, 1e-4);
  EXPECT_NEAR(Parameter(s, 2).value, 3, 0.01);
  EXPECT_FALSE(ReportSays(s, "systematically"));
  EXPECT_NEAR(s.app.kf(1), Parameter(s, 2).value, 1e-12);  // the experiment holds the fit
}

// ks 1 cm/s at 0.1 V/s (Lambda 16) is reversible within the noise: the fit ends on the bound or
// with an interval a factor of three wide or more; alpha, which the wave does not show, likewise.
TEST(RateConstantFit, AReversibleCoupleDoesNotPretendToKnowItsKs) {
  for (const char* noise : {"1", "4"}) {
    SessionFixture f;
    MeasureCouple(f.session, "1", noise);
    FitKsAndAlpha(f, "1e4");
    const Fitted ks = Parameter(f.session, 1), alpha = Parameter(f.session, 2);
    EXPECT_TRUE(ReportSays(f.session, "(ks(1)) is at its") || ks.high / ks.low > 3) << noise;
    EXPECT_TRUE(ReportSays(f.session, "(alpha(1)) is at its") || alpha.high - alpha.low > 0.1);
  }
}

// alpha alone, ks held at 100 against a wave of 3e-3 cm/s, misses the data in long waves; ks
// bounded below its true value ends on that bound. Both say so after the report.
TEST(RateConstantFit, DoubtfulEndsAreReported) {
  SessionFixture held;
  MeasureCouple(held.session, "3e-3", "1");
  Type(held.session, "FormExpr.ks(1)", "100");
  for (int k : {1, 10}) TickFit(held.session, k);
  RunMenuItem(held.session, "mnuAutoFit");
  EXPECT_TRUE(ReportSays(held.session, "The fit misses the data systematically"));

  SessionFixture bounded;
  MeasureCouple(bounded.session, "1e-2", "1");
  TickFit(bounded.session, 7);  // the bound box shows while ks is ticked
  Type(bounded.session, "FormExpr.TextCmax(7)", "1e-3");
  TickFit(bounded.session, 7);
  FitKsAndAlpha(bounded, "1e-4");
  EXPECT_EQ(Parameter(bounded.session, 1).value, 1e-3);
  EXPECT_TRUE(ReportSays(bounded.session, "No. 1 (ks(1)) is at its upper bound 0.001: "));
}

}  // namespace
}  // namespace kivex::ui
