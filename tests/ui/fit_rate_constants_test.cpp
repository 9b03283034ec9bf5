// Auto Fit of rate constants through the session as a user runs it: ks and alpha of a
// quasi-reversible cycle from the Chemicals dialog's own start, an EC scheme with two minima, a
// couple too fast to tell its ks, fits that end doubtful, and standard errors against the
// spread of fits over many noise draws. (bench/fit_table.sh runs the full table through
// kivex-batch.)

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "model/number_text.h"
#include "support/test_platform.h"
#include "ui/commands.h"
#include "ui/session_actions.h"

namespace kivex::ui {
namespace {

using testing::Choose;
using testing::SessionFixture;
using testing::TickFit;
using testing::Type;

// A + e = B (1 mM, 1 cm2, E0 0.1 V) on a cycle from 0.3 V to -0.3 V and back, alpha 0.45; the
// Instrument dialog's noise is a standard deviation of a quarter of its percentage of the largest
// current.
void MeasureCouple(Session& s, const char* rate, const char* ks, const char* noise) {
  Choose(s, "FormIns.ComboScan", "cycle");
  Type(s, "FormIns.V", rate);
  Type(s, "FormIns.Noise", noise);
  Type(s, "FormExpr.ks(1)", ks);
  Type(s, "FormExpr.alph(1)", "0.45");
  ASSERT_EQ(RunMenuItem(s, "mnuSimulate"), MenuOutcome::Ran);
}

// Fits ks and alpha (the concentration unticked) from ks `start` and alpha 0.5.
void FitKsAndAlpha(SessionFixture& f, const char* start) {
  Type(f.session, "FormExpr.ks(1)", start);
  Type(f.session, "FormExpr.alph(1)", "0.5");
  TickFit(f.session, 1);
  TickFit(f.session, 7);
  TickFit(f.session, 10);
  ASSERT_EQ(RunMenuItem(f.session, "mnuAutoFit"), MenuOutcome::Ran);
  ASSERT_TRUE(f.platform.messages.empty()) << f.platform.messages.front();
}

std::vector<double> Numbers(const std::string& line) {
  std::istringstream words(line);
  std::vector<double> numbers;
  for (std::string word; words >> word;) numbers.push_back(model::ReadNumber(word));
  return numbers;
}

// Fitted parameter j (1-based) as the report shows it, with its standard error and interval.
struct Fitted {
  double value = NAN;
  double error = NAN;
  double low = NAN;
  double high = NAN;
};

Fitted Parameter(const Session& s, int j) {
  Fitted p;
  const std::vector<double> row = Numbers(testing::ReportRow(s, j));
  if (row.size() == 3) p.value = row[2];
  const std::vector<std::string>& lines = s.result.lines;
  const auto header = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
    return line.rfind("No.           Std. error", 0) == 0;
  });
  if (lines.end() - header > j) {
    const std::vector<double> u = Numbers(*(header + j));
    if (u.size() == 4) p = {p.value, u[1], u[2], u[3]};
  }
  return p;
}

bool ReportSays(const Session& s, std::string_view words) {
  return std::any_of(s.result.lines.begin(), s.result.lines.end(),
                     [words](const std::string& l) { return l.find(words) != std::string::npos; });
}

// Rate constants a cycle measures well (Lambda = ks / sqrt(D F v / RT) 0.5), from the dialog's
// start (1e4, clamped onto the bound 100, where the curve no longer depends on ks) and from 1e-2,
// with 0.25 % noise. From 100 the fit used to stay there and call itself converged. These waves
// fix alpha to 0.01; the noise allows about 0.5 % on ks and 0.002 on alpha.
TEST(RateConstantFit, KsAndAlphaFromTheDialogsStartOrFromNearer) {
  struct Case {
    const char* rate;
    const char* ks;
  };
  const Case cases[] = {{"0.01", "1e-3"}, {"0.1", "3e-3"}, {"1", "1e-2"}};
  for (const Case& c : cases) {
    for (const char* start : {"1e4", "1e-2"}) {
      SCOPED_TRACE(std::string(c.rate) + " V/s, ks " + c.ks + " from " + start);
      SessionFixture f;
      MeasureCouple(f.session, c.rate, c.ks, "1");
      FitKsAndAlpha(f, start);
      const double ks = model::ReadNumber(c.ks);
      const Fitted fitted = Parameter(f.session, 1);
      EXPECT_NEAR(fitted.value / ks, 1.0, 0.05);
      EXPECT_NEAR(Parameter(f.session, 2).value, 0.45, 0.01);
      // A log-scaled ks has the same relative error either side.
      EXPECT_NEAR(fitted.high / fitted.value, fitted.value / fitted.low, 1e-3);
      EXPECT_FALSE(ReportSays(f.session, "bound"));
      EXPECT_FALSE(ReportSays(f.session, "systematically"));
    }
  }
}

// A + e = B, B = C with kf 3 1/s and E0 0.08 V, without noise: from the dialog's kf 10 and E0
// 0.1 V the fit used to stop in a second minimum, kf 21.4 with E0 0.0553, where a faster
// chemical step and a lower E0 give almost the same forward peak.
TEST(RateConstantFit, FollowingChemicalStepFindsTheDeeperMinimum) {
  SessionFixture f;
  Session& s = f.session;
  Choose(s, "FormIns.ComboScan", "cycle");
  Type(s, "FormMech.chem(1)", "B");
  Type(s, "FormMech.chem(2)", "C");
  RunMenuItem(s, "mnuExperimental");
  Type(s, "FormExpr.kf(1)", "3");
  Type(s, "FormExpr.Eze(1)", "0.08");
  RunMenuItem(s, "mnuSimulate");
  Type(s, "FormExpr.kf(1)", "10");
  Type(s, "FormExpr.Eze(1)", "0.1");
  TickFit(s, 1);
  TickFit(s, 13);
  TickFit(s, 16);
  RunMenuItem(s, "mnuAutoFit");
  ASSERT_TRUE(f.platform.messages.empty()) << f.platform.messages.front();
  EXPECT_NEAR(Parameter(s, 1).value, 0.08, 1e-4);
  EXPECT_NEAR(Parameter(s, 2).value, 3, 0.01);
  EXPECT_FALSE(ReportSays(s, "systematically"));
  EXPECT_NEAR(s.app.kf(1), Parameter(s, 2).value, 1e-12);  // the experiment holds the fit
}

// A couple with ks 1 cm/s at 0.1 V/s (Lambda 16) is reversible within the noise: the fit must
// not give a precise ks. It ends on the bound or with an interval a factor of three wide or
// more; alpha, which a reversible wave does not show, likewise.
TEST(RateConstantFit, AReversibleCoupleDoesNotPretendToKnowItsKs) {
  for (const char* noise : {"1", "4"}) {
    SCOPED_TRACE(std::string("noise ") + noise);
    SessionFixture f;
    MeasureCouple(f.session, "0.1", "1", noise);
    FitKsAndAlpha(f, "1e4");
    const Fitted ks = Parameter(f.session, 1);
    EXPECT_TRUE(ReportSays(f.session, "(ks(1)) is at its") || ks.high / ks.low > 3)
        << ks.low << " " << ks.high;
    const Fitted alpha = Parameter(f.session, 2);
    EXPECT_TRUE(ReportSays(f.session, "(alpha(1)) is at its") || alpha.high - alpha.low > 0.1);
  }
}

// A fit that ends where it cannot be trusted says why after the report: alpha alone, with ks
// held at 100 against a wave of 3e-3 cm/s, misses the data in long waves; ks bounded below its
// true value ends on that bound.
TEST(RateConstantFit, DoubtfulEndsAreReported) {
  SessionFixture held;
  MeasureCouple(held.session, "0.1", "3e-3", "1");
  Type(held.session, "FormExpr.ks(1)", "100");
  TickFit(held.session, 1);
  TickFit(held.session, 10);
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

// The standard errors come from the Jacobian and the residuals of one fit; over 20 noise draws
// the fitted values must spread as much (within a factor of 1.5: with 20 draws the spread itself
// is known to about 16 %). A cycle in 10 mV steps at 0.1 V/s, ks 3e-3 cm/s, noise 1 % of the
// peak.
TEST(RateConstantFit, StandardErrorsMatchTheSpreadOverNoiseDraws) {
  SessionFixture f;
  Session& s = f.session;
  Type(s, "FormIns.Estep", "0.01");
  MeasureCouple(s, "0.1", "3e-3", "0");
  const std::vector<double> clean = testing::Curve(s, 1);
  double peak = 0;
  for (double y : clean) peak = std::max(peak, std::fabs(y));
  Type(s, "FormExpr.ks(1)", "1e-2");
  TickFit(s, 1);
  TickFit(s, 7);
  TickFit(s, 10);

  std::mt19937 random(2024);
  const auto uniform = [&random] { return (random() + 0.5) / 4294967296.0; };
  std::vector<double> values[2];
  double errors[2] = {0, 0};
  const int draws = 20;
  for (int d = 0; d < draws; ++d) {
    for (std::size_t i = 0; i < clean.size(); ++i) {
      const double gauss = std::sqrt(-2 * std::log(uniform())) * std::cos(2 * M_PI * uniform());
      s.curves.y(static_cast<int>(i) + 1, 1) = clean[i] + 0.01 * peak * gauss;
    }
    s.curves.curveCount = 1;
    RunMenuItem(s, "mnuAutoFit");
    ASSERT_TRUE(f.platform.messages.empty()) << f.platform.messages.front();
    for (int j = 0; j < 2; ++j) {
      const Fitted p = Parameter(s, j + 1);
      values[j].push_back(p.value);
      errors[j] += p.error / draws;
    }
  }
  for (int j = 0; j < 2; ++j) {
    double mean = 0;
    for (double v : values[j]) mean += v / draws;
    double squares = 0;
    for (double v : values[j]) squares += (v - mean) * (v - mean);
    const double spread = std::sqrt(squares / (draws - 1));
    EXPECT_GT(spread / errors[j], 1 / 1.5) << "parameter " << j + 1;
    EXPECT_LT(spread / errors[j], 1.5) << "parameter " << j + 1;
  }
}

}  // namespace
}  // namespace kivex::ui
