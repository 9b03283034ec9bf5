// The fit driver against a stand-in simulation; fits through the real ones are in tests/ui.
#include "fitting/fit_driver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "model/failure.h"
#include "nist_problems.h"

namespace kivex::fitting {
namespace {

using model::AppState;
using model::CurveSet;

// A reduction peak standing in for the simulation: its height follows Cinit(1), its position E0(1).
double Wave(const AppState& app, double E) {
  const double z = (E - app.E0(1)) / 0.03;
  return 0.03 * app.Cinit(1) * std::exp(-z * z);
}

// Runs `current` from 0.3 V down in 5 mV steps into the slot the run chooses, as the simulation
// driver does, and records what each run saw.
class FakeSimulation : public FitHost {
 public:
  FakeSimulation(AppState& app, CurveSet& curves,
                 std::function<double(const AppState&, double)> current = Wave)
      : app_(app), curves_(curves), current_(std::move(current)) {}

  void Simulate() override {
    if (failAfter >= 0 && runs.size() == static_cast<std::size_t>(failAfter)) {
      if (failOnce) failAfter = -1;
      model::ThrowFailure(model::kOverflow);
    }
    runs.push_back(app_);
    model::SelectCurveSlot(curves_, app_.fitting, false);
    curves_.pointCount = static_cast<model::Count>(points);
    for (int i = 1; i <= points; ++i) {
      curves_.x(i) = 0.3 - 0.005 * (i - 1);
      curves_.y(i, curves_.currentCurve) = current_(app_, curves_.x(i));
    }
  }
  void Print(const model::PrintLine& line) override { printed.push_back(line.str()); }
  double Timer() override { return clock += 0.25; }

  int points = 121, failAfter = -1;  // fails the run after `failAfter` runs
  bool failOnce = false;
  std::vector<AppState> runs;
  std::vector<std::string> printed;
  double clock = 100;
  AppState& app_;
  CurveSet& curves_;
  std::function<double(const AppState&, double)> current_;
};

// Analytical concentrations pre-equilibrated by a stand-in rule: species 2 gets E0 Keq(1) of 1.
class EquilibratingSimulation : public FakeSimulation {
 public:
  using FakeSimulation::FakeSimulation;
  double AnalyticalConcentration(const AppState&, int species) override {
    return species == 1 ? 2e-3 : 0.0;
  }
  void DeriveInitialConcentrations(AppState& app, std::span<const double> analytical) override {
    derived.emplace_back(analytical.begin(), analytical.end());
    app.Cinit(1) = analytical[1];
    app.Cinit(2) = analytical[1] * app.E0(1) * app.Keq(1);
  }
  std::vector<std::vector<double>> derived;
};

// One couple, 1 mM, E0 = 0.1 V, simulated by `Host`.
template <typename Host = FakeSimulation>
struct Experiment {
  explicit Experiment(std::function<double(const AppState&, double)> current = Wave)
      : sim(app, curves, std::move(current)) {
    app.speciesCount = 2, app.chargeCount = 1, app.Estep = 0.005;
    app.Cinit(1) = 1e-3, app.E0(1) = 0.1, app.ks(1) = 1e4;
  }
  // The measured curve: a simulation without fitting, into curve 1.
  std::vector<double> Measure() {
    sim.Simulate();
    std::vector<double> y;
    for (int i = 1; i <= curves.pointCount; ++i) y.push_back(curves.y(i, 1));
    sim.runs.clear();
    return y;
  }
  FitReport Fit(const std::vector<double>& observed) {
    app.fitting = true;
    FitReport report = AutoFit(app, curves, observed, offers, memory, sim, range);
    app.fitting = false;
    return report;
  }
  // The description of the fit's failure, or "" when it ends normally.
  std::string FailureOf(const std::vector<double>& observed) {
    try {
      Fit(observed);
    } catch (const model::Failure& failure) {
      app.fitting = false;
      return std::string(failure.description());
    }
    return "";
  }
  void Offer(int slot, const char* min, const char* max) { offers[slot] = {true, min, max}; }

  AppState app;
  CurveSet curves;
  Host sim;
  SlotOffers offers;
  FitMemory memory;
  FitRange range;
};

TEST(FitDriver, RecoversConcentrationAndStandardPotentialOnTheFitRange) {
  Experiment e;
  std::vector<double> observed = e.Measure();
  e.app.Cinit(1) = 1.5e-3, e.app.E0(1) = 0.05;
  e.Offer(1, "1e-4", "1e-2"), e.Offer(13, "-0.2", "0.2");
  const FitReport report = e.Fit(observed);

  EXPECT_EQ(report.slots, (std::vector<int>{1, 13}));
  EXPECT_EQ(report.initial, (std::vector<double>{1.5e-3, 0.05}));
  EXPECT_EQ(report.Flag, Termination::Exact);  // exact data
  EXPECT_NEAR(report.fitted[0], 1e-3, 1e-8);
  EXPECT_NEAR(report.fitted[1], 0.1, 1e-6);
  EXPECT_EQ(report.evaluations, e.memory.EvaluationCount);
  EXPECT_EQ(e.memory.FitIndex[2], 13);
  // A "Least square = " line per iteration, written while the fit ran.
  ASSERT_EQ(e.sim.printed.size(), static_cast<std::size_t>(report.iterations));
  for (const std::string& line : e.sim.printed) EXPECT_EQ(line.rfind("Least square = ", 0), 0u);
  // The experiment holds the fitted values, curve 2 their curve, curve 1 the measurement.
  EXPECT_EQ(e.app.Cinit(1), report.fitted[0]);
  EXPECT_EQ(e.app.E0(1), report.fitted[1]);
  for (int i = 1; i <= 121; ++i) {
    EXPECT_EQ(e.curves.y(i, 2), Wave(e.app, e.curves.x(i)));
    EXPECT_EQ(e.curves.y(i, 1), observed[i - 1]);
  }
  EXPECT_EQ(e.curves.currentCurve, 2);
  EXPECT_DOUBLE_EQ(e.app.elapsedTime, report.elapsedTime);

  // Points outside the fit range leave the sum, the data's variance and the residuals: the wave
  // spoilt for 40 mV on its rising side is fitted exactly on the others, and the report says how
  // many points it fitted.
  for (int i = 30; i <= 38; ++i) {  // 0.15 .. 0.11 V
    observed[i] = e.curves.y(i + 1, 1) = observed[i] + 1e-5;
  }
  e.app.Cinit(1) = 1.5e-3, e.app.E0(1) = 0.05;
  e.range = {{0.3, 0.1525}, {-0.3, 0.1075}};  // either end first
  const FitReport ranged = e.Fit(observed);
  EXPECT_EQ(ranged.Flag, Termination::Exact);
  EXPECT_NEAR(ranged.fitted[0], 1e-3, 1e-8);
  EXPECT_NEAR(ranged.fitted[1], 0.1, 1e-6);
  EXPECT_EQ(ranged.measuredPoints, 121);
  EXPECT_EQ(ranged.fittedPoints, 112);
  std::vector<double> fitted(observed.begin(), observed.begin() + 30);
  fitted.insert(fitted.end(), observed.begin() + 39, observed.end());
  EXPECT_EQ(ranged.DataVariance, PopulationVariance(fitted));
  EXPECT_EQ(ranged.residuals.points, 112);
  for (int i = 1; i <= 121; ++i) EXPECT_EQ(e.curves.y(i, 1), observed[i - 1]);  // all shown
  EXPECT_EQ(ReportLines(ranged)[11].str(),
            "Fitted 112 of 121 points: E from 0.3 to 0.1525 V, from -0.3 to 0.1075 V");

  // Without the range the spoilt points pull the fit off.
  e.range.clear(), e.app.Cinit(1) = 1.5e-3, e.app.E0(1) = 0.05;
  const FitReport spoilt = e.Fit(observed);
  EXPECT_GT(std::fabs(spoilt.fitted[0] - 1e-3), 1e-5);
  EXPECT_EQ(ReportLines(spoilt)[11].str(), "");  // no range line
}

// A failing simulation ends the fit at the values it was run with; one for the standard errors,
// after the fit has ended, costs only them.
TEST(FitDriver, AFailureEndsTheFitOrAfterItCostsOnlyTheStandardErrors) {
  Experiment e;
  const std::vector<double> observed = e.Measure();
  e.app.E0(1) = 0.05;
  e.Offer(13, "-0.2", "0.2");
  e.sim.failAfter = 2;  // the start and the upper difference probe run; the lower one fails
  EXPECT_EQ(e.FailureOf(observed), "Overflow");
  ASSERT_EQ(e.sim.runs.size(), 2u);
  EXPECT_DOUBLE_EQ(e.app.E0(1), 0.05 * 0.99);  // the value the failed evaluation wrote
  EXPECT_GT(e.app.elapsedTime, 0);             // a duration, not a clock reading
  EXPECT_LT(e.app.elapsedTime, 10);

  // The same path twice, from the same start and damping: the second fails once, on the first
  // of the last three runs (two probes and the fitted curve).
  auto again = [&e](int failAfter) {
    e.app.E0(1) = 0.05, e.memory = FitMemory{}, e.sim.failAfter = failAfter;
    e.sim.runs.clear();
  };
  again(-1);
  e.Fit(observed);
  again(static_cast<int>(e.sim.runs.size()) - 3);
  e.sim.failOnce = true;
  const FitReport report = e.Fit(observed);
  EXPECT_EQ(report.uncertaintyFailure, "Overflow");
  EXPECT_EQ(e.app.E0(1), report.fitted[0]);
  EXPECT_EQ(e.curves.y(40, 2), Wave(e.app, e.curves.x(40)));
  const std::vector<model::PrintLine> lines = ReportLines(report);
  EXPECT_EQ(lines[11].str(),
            "No standard errors: a simulation beside the fitted values failed (Overflow).");
}

// Measured potentials within a quarter step of the simulated ones are compared as simulated;
// others take the simulation interpolated onto them (measured_comparison_test.cpp). A fitted
// point beyond the simulation ends the fit with the measured axis put back; left out of the fit
// range, it needs no simulated value.
TEST(FitDriver, MeasuredPotentialsOffTheGridTakeTheInterpolatedSimulation) {
  Experiment e;
  const std::vector<double> observed = e.Measure();
  e.Offer(13, "-0.2", "0.2");
  e.curves.x(5) += 0.001;
  EXPECT_EQ(e.FailureOf(observed), "");
  EXPECT_EQ(e.curves.x(5), 0.3 - 0.005 * 4);  // the simulation's own axis, unchanged

  e.Measure();
  e.curves.x(5) += 0.002;
  EXPECT_EQ(e.FailureOf(observed), "");
  EXPECT_EQ(e.curves.x(5), 0.3 - 0.005 * 4 + 0.002);  // the measured axis
  EXPECT_EQ(e.curves.y(6, 2), Wave(e.app, e.curves.x(6)));

  e.Measure();
  e.curves.x(1) = 0.3026;
  EXPECT_EQ(e.FailureOf(observed).substr(0, 57),
            "Point 1 of the measured curve (0.3026 V, sweep 1) lies be");
  EXPECT_EQ(e.curves.x(1), 0.3026);
  EXPECT_EQ(e.curves.pointCount, 121);
  EXPECT_EQ(e.curves.resultCurve, 0);
  e.range = {{0.3, -0.3}};
  EXPECT_EQ(e.FailureOf(observed), "");
}

// A concentration slot is the analytical concentration: trials of it, of E0 or of a rate
// constant derive the initial ones anew (Keq = kf / kb); a fit of ks alone leaves them.
TEST(FitDriver, FittedConcentrationIsTheAnalyticalOneAndDerivesTheInitialOnes) {
  Experiment<EquilibratingSimulation> e;
  e.app.chemCount = 1, e.app.Cinit(1) = 1.5e-3, e.app.ks(1) = 1;
  e.app.kf(1) = 10, e.app.kb(1) = 0.01, e.app.Keq(1) = 1000;
  std::vector<double> observed = e.Measure();
  for (double& y : observed) y *= 1.1;

  e.Offer(7, "1e-4", "100");
  e.Fit(observed);
  EXPECT_TRUE(e.sim.derived.empty());
  EXPECT_EQ(e.app.Cinit(1), 1.5e-3);

  e.Offer(1, "1e-4", "1e-2"), e.Offer(16, "1", "100");
  const FitReport report = e.Fit(observed);
  EXPECT_EQ(report.initial[0], 2e-3);
  ASSERT_FALSE(e.sim.derived.empty());
  EXPECT_EQ(e.sim.derived.front()[1], 2e-3);  // the first evaluation, at the start
  // The last simulation ran at the fitted values, with Keq = kf / kb and the derived species.
  const AppState& last = e.sim.runs.back();
  EXPECT_EQ(last.kf(1), report.fitted[2]);
  EXPECT_DOUBLE_EQ(last.Keq(1), last.kf(1) / 0.01);
  EXPECT_EQ(last.Cinit(1), report.fitted[0]);
  EXPECT_DOUBLE_EQ(last.Cinit(2), report.fitted[0] * last.E0(1) * last.Keq(1));
  EXPECT_EQ(e.app.Cinit(2), last.Cinit(2));

  // kb not above 0 leaves Keq as it was, as the dialog's label does.
  e.app.kb(1) = 0, e.app.Keq(1) = 7;
  e.Fit(observed);
  EXPECT_EQ(e.sim.runs.back().Keq(1), 7);

  // D of species 1 sets what a preconcentration deposits; D of another species changes nothing
  // the initial concentrations follow from.
  for (const auto& [slot, derives] : {std::pair{25, false}, std::pair{24, true}}) {
    e.offers = {}, e.sim.derived.clear();
    e.Offer(slot, "1e-7", "1e-3");
    e.Fit(observed);
    EXPECT_EQ(!e.sim.derived.empty(), derives) << slot;
  }
}

// NIST MGH10 from its second start (as kf(1..3)) needs far more than 51 iterations: the fit stops
// after the 51st, not converged.
TEST(FitDriver, StopsAfterFiftyOneIterations) {
  const NistProblem& mgh10 = NistFind("MGH10");
  Experiment e([&mgh10](const AppState& a, double E) {
    const double b[] = {a.kf(1), a.kf(2), a.kf(3)};
    return mgh10.f(b, mgh10.x[static_cast<std::size_t>(std::lround((0.3 - E) / 0.005))]);
  });
  e.sim.points = static_cast<int>(mgh10.x.size());
  e.app.chemCount = 3;
  for (int q = 1; q <= 3; ++q) e.app.kf(q) = mgh10.start2[q - 1], e.Offer(15 + q, "-1e9", "1e9");
  e.Measure();  // the measured curve's potentials
  const FitReport report = e.Fit(mgh10.y);
  EXPECT_EQ(report.iterations, kMaxFitIterations);
  EXPECT_EQ(report.Flag, Termination::GoOn);
  EXPECT_EQ(e.sim.printed.size(), 51u);
}

}  // namespace
}  // namespace kivex::fitting
