// Auto Fit of rate constants as a user runs it: ks and alpha of a quasi-reversible cycle, an EC
// scheme with two minima, a couple too fast to tell its ks, doubtful ends, and standard errors
// against the spread over noise draws. (bench/fit_table.sh runs the full table.)

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "fit_report.h"
#include "model/number_text.h"
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

// A + e = B (1 mM, 1 cm2, E0 0.1 V) on a cycle from 0.3 V, alpha 0.45; the noise is a standard
// deviation of a quarter of its percentage of the largest current.
void MeasureCouple(Session& s, const char* rate, const char* ks, const char* noise) {
  testing::Apply(s, {{"FormIns.ComboScan", "cycle"},
                     {"FormIns.V", rate},
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

// Lambda = ks / sqrt(D F v / RT) 0.5, from the dialog's start (1e4, clamped onto the bound 100,
// where the curve no longer depends on ks: the fit used to stay there) and from 1e-2, with 0.25 %
// noise: about 0.5 % on ks and 0.002 on alpha.
TEST(RateConstantFit, KsAndAlphaFromTheDialogsStartOrFromNearer) {
  const std::pair<const char*, const char*> cases[] = {
      {"0.01", "1e-3"}, {"0.1", "3e-3"}, {"1", "1e-2"}};
  for (const auto& [rate, ksText] : cases) {
    for (const char* start : {"1e4", "1e-2"}) {
      SCOPED_TRACE(std::string(rate) + " V/s, ks " + ksText + " from " + start);
      SessionFixture f;
      MeasureCouple(f.session, rate, ksText, "1");
      FitKsAndAlpha(f, start);
      const Fitted ks = Parameter(f.session, 1);
      EXPECT_NEAR(ks.value / model::ReadNumber(ksText), 1.0, 0.05);
      EXPECT_NEAR(Parameter(f.session, 2).value, 0.45, 0.01);
      EXPECT_NEAR(ks.high / ks.value, ks.value / ks.low, 1e-3);  // log-scaled: symmetric
      EXPECT_FALSE(ReportSays(f.session, "bound") || ReportSays(f.session, "systematically"));
    }
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
    MeasureCouple(f.session, "0.1", "1", noise);
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
  MeasureCouple(held.session, "0.1", "3e-3", "1");
  Type(held.session, "FormExpr.ks(1)", "100");
  for (int k : {1, 10}) TickFit(held.session, k);
  RunMenuItem(held.session, "mnuAutoFit");
  EXPECT_TRUE(ReportSays(held.session, "The fit misses the data systematically"));

  SessionFixture bounded;
  MeasureCouple(bounded.session, "0.1", "1e-2", "1");
  TickFit(bounded.session, 7);  // the bound box shows while ks is ticked
  Type(bounded.session, "FormExpr.TextCmax(7)", "1e-3");
  TickFit(bounded.session, 7);
  FitKsAndAlpha(bounded, "1e-4");
  EXPECT_EQ(Parameter(bounded.session, 1).value, 1e-3);
  EXPECT_TRUE(ReportSays(bounded.session, "No. 1 (ks(1)) is at its upper bound 0.001: "));
}

// The standard errors of one fit (Jacobian and residuals) against the spread of 20 fits over noise
// draws, within a factor of 1.5 (20 draws know the spread to about 16 %). 10 mV steps, 0.1 V/s,
// ks 3e-3 cm/s, noise 1 % of the peak.
TEST(RateConstantFit, StandardErrorsMatchTheSpreadOverNoiseDraws) {
  SessionFixture f;
  Session& s = f.session;
  Type(s, "FormIns.Estep", "0.01");
  MeasureCouple(s, "0.1", "3e-3", "0");
  const std::vector<double> clean = testing::Curve(s, 1);
  double peak = 0;
  for (double y : clean) peak = std::max(peak, std::fabs(y));
  Type(s, "FormExpr.ks(1)", "1e-2");
  for (int k : {1, 7, 10}) TickFit(s, k);

  std::mt19937 random(2024);
  const auto uniform = [&random] { return (random() + 0.5) / 4294967296.0; };
  const int draws = 20;
  std::vector<double> values[2];
  double errors[2] = {0, 0};
  for (int d = 0; d < draws; ++d) {
    for (std::size_t i = 0; i < clean.size(); ++i) {
      const double gauss = std::sqrt(-2 * std::log(uniform())) * std::cos(2 * M_PI * uniform());
      s.curves.y(static_cast<int>(i) + 1, 1) = clean[i] + 0.01 * peak * gauss;
    }
    s.curves.curveCount = 1;
    RunMenuItem(s, "mnuAutoFit");
    ASSERT_TRUE(f.platform.messages.empty()) << f.platform.messages.front();
    for (int j = 0; j < 2; ++j) {
      values[j].push_back(Parameter(s, j + 1).value);
      errors[j] += Parameter(s, j + 1).error / draws;
    }
  }
  for (int j = 0; j < 2; ++j) {
    double mean = 0, squares = 0;
    for (double v : values[j]) mean += v / draws;
    for (double v : values[j]) squares += (v - mean) * (v - mean);
    const double ratio = std::sqrt(squares / (draws - 1)) / errors[j];
    EXPECT_GT(ratio, 1 / 1.5) << "parameter " << j + 1;
    EXPECT_LT(ratio, 1.5) << "parameter " << j + 1;
  }
}

}  // namespace
}  // namespace kivex::ui
