#include "fitting/fit_driver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "model/checked_math.h"
#include "model/failure.h"
#include "nist_problems.h"

namespace kivex::fitting {
namespace {

using model::AppState;
using model::CurveSet;

// A reduction wave standing in for the simulation: its height follows Cinit(1), its position
// E0(1), and a slow electron transfer (small ks) moves it negative, lowers and widens it; above
// ks ~ 1 cm/s it no longer changes, as a reversible couple's curve does not.
double Wave(const AppState& app, double E) {
  const double s = std::log(1 + 1e-3 / app.ks(1));
  const double z = (E - (app.E0(1) - 0.03 * s)) / (0.03 * (1 + 0.5 * s));
  return 0.03 * app.Cinit(1) * std::exp(-z * z) / (1 + 0.3 * s);
}

// Runs `current` over the default potential grid (0.3 V to -0.3 V in 5 mV steps) into the slot
// the run chooses, as the simulation driver does, and records what each run saw.
class FakeSimulation : public FitHost {
 public:
  FakeSimulation(AppState& app, CurveSet& curves,
                 std::function<double(const AppState&, double)> current = Wave)
      : app_(app), curves_(curves), current_(std::move(current)) {}

  void Simulate() override {
    if (failAfter >= 0 && runs.size() == static_cast<std::size_t>(failAfter)) {
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

  int points = 121;
  int failAfter = -1;
  std::vector<AppState> runs;
  std::vector<std::string> printed;
  double clock = 100;

 private:
  AppState& app_;
  CurveSet& curves_;
  std::function<double(const AppState&, double)> current_;
};

struct Experiment {
  Experiment() {
    app.speciesCount = 2;
    app.chargeCount = 1;
    app.Cinit(1) = 1e-3;
    app.E0(1) = 0.1;
    app.ks(1) = 1e4;
    app.Estep = 0.005;
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
    FitReport report = AutoFit(app, curves, observed, offers, memory, sim);
    app.fitting = false;
    return report;
  }
  void Offer(int slot, const char* min, const char* max) { offers[slot] = {true, min, max}; }

  AppState app;
  CurveSet curves;
  FakeSimulation sim{app, curves};
  SlotOffers offers;
  FitMemory memory;
};

TEST(FitDriver, RecoversConcentrationAndStandardPotential) {
  Experiment e;
  const std::vector<double> observed = e.Measure();
  e.app.Cinit(1) = 1.5e-3;
  e.app.E0(1) = 0.05;
  e.Offer(1, "1e-4", "1e-2");
  e.Offer(13, "-0.2", "0.2");
  const FitReport report = e.Fit(observed);

  EXPECT_EQ(report.slots, (std::vector<int>{1, 13}));
  EXPECT_EQ(report.initial, (std::vector<double>{1.5e-3, 0.05}));
  EXPECT_EQ(report.Flag, -1);  // exact data
  EXPECT_NEAR(report.fitted[0], 1e-3, 1e-8);
  EXPECT_NEAR(report.fitted[1], 0.1, 1e-6);
  EXPECT_EQ(report.evaluations, e.memory.work.EvaluationCount);
  EXPECT_EQ(e.memory.FitCount, 2);
  EXPECT_EQ(e.memory.FitIndex[2], 13);

  // A "Least square = " line per iteration, written while the fit ran.
  ASSERT_EQ(e.sim.printed.size(), static_cast<std::size_t>(report.iterations));
  for (const std::string& line : e.sim.printed) EXPECT_EQ(line.rfind("Least square = ", 0), 0u);

  // The experiment holds the fitted values and curve 2 the curve simulated with them; curve 1
  // still holds the measurement.
  EXPECT_EQ(e.app.Cinit(1), report.fitted[0]);
  EXPECT_EQ(e.app.E0(1), report.fitted[1]);
  for (int i = 1; i <= 121; ++i) {
    EXPECT_EQ(e.curves.y(i, 2), Wave(e.app, e.curves.x(i)));
    EXPECT_EQ(e.curves.y(i, 1), observed[i - 1]);
  }
  EXPECT_EQ(e.curves.currentCurve, 2);
  EXPECT_DOUBLE_EQ(e.app.elapsedTime, report.elapsedTime);
  EXPECT_GT(report.elapsedTime, 0);
}

// Measured with 2 % noise (of the peak): the parameters come back within what the noise allows.
// About 7.5 points carry the 30 mV wide peak, so one standard error is about 0.7 % of the height
// and 0.3 mV of the position; the bounds are three standard errors.
TEST(FitDriver, RecoversParametersFromANoisyCurve) {
  Experiment e;
  std::vector<double> observed = e.Measure();
  unsigned state = 7;
  for (double& y : observed) {
    state = state * 1103515245u + 12345u;
    y += 0.02 * 3e-5 * (static_cast<double>((state >> 8) & 0xFFFF) / 65536.0 - 0.5) * 3.46;
  }
  e.app.Cinit(1) = 2e-3;
  e.app.E0(1) = 0.06;
  e.Offer(1, "1e-4", "1e-2");
  e.Offer(13, "-0.2", "0.2");
  const FitReport report = e.Fit(observed);
  EXPECT_EQ(report.Flag, -2);
  EXPECT_NEAR(report.fitted[0], 1e-3, 2.2e-5);
  EXPECT_NEAR(report.fitted[1], 0.1, 1e-3);
}

// The default ks, 1e4, lies above its default upper bound 100 and is clamped onto it; the report
// still shows 1e4 as the initial value. On 100 the wave no longer responds to ks, so only a step
// that stops on the far bound finds the way to the true 2e-4.
TEST(FitDriver, DefaultRateConstantIsClampedAndLeavesTheBound) {
  Experiment e;
  e.app.ks(1) = 2e-4;
  const std::vector<double> observed = e.Measure();
  e.app.ks(1) = 1e4;
  e.Offer(7, "1e-4", "100");
  const FitReport report = e.Fit(observed);
  EXPECT_EQ(report.initial[0], 1e4);
  EXPECT_EQ(e.sim.runs.front().ks(1), 100);  // the first evaluation is at the clamped value
  EXPECT_EQ(report.Flag, -1);
  EXPECT_NEAR(report.fitted[0], 2e-4, 1e-9);
}

TEST(FitDriver, AbsentSpeciesAndReactionsStartFromZero) {
  AppState app;
  app.speciesCount = 2;
  app.chargeCount = 1;
  app.chemCount = 1;
  app.chem2Count = 1;
  for (int k = 1; k <= kFitSlots; ++k) SlotField(app, k) = 100 + k;
  for (int k = 1; k <= kFitSlots; ++k) {
    const bool present = k <= 2 || k == 7 || k == 10 || k == 13 || k == 16 || k == 17 || k == 20 ||
                         k == 21;  // the two-species reaction is number 2
    EXPECT_EQ(SlotStartValue(app, k), present ? 100 + k : 0.0) << k;
  }
}

TEST(FitDriver, SlotsAddressTheirFields) {
  AppState app;
  for (int k = 1; k <= kFitSlots; ++k) SlotField(app, k) = k;
  for (int i = 1; i <= 6; ++i) EXPECT_EQ(app.Cinit(i), i);
  for (int r = 1; r <= 3; ++r) {
    EXPECT_EQ(app.ks(r), 6 + r);
    EXPECT_EQ(app.alpha(r), 9 + r);
    EXPECT_EQ(app.E0(r), 12 + r);
  }
  for (int q = 1; q <= 4; ++q) {
    EXPECT_EQ(app.kf(q), 15 + q);
    EXPECT_EQ(app.kb(q), 19 + q);
  }
  EXPECT_THROW(SlotField(app, 0), model::Failure);
  EXPECT_THROW(SlotField(app, 24), model::Failure);
}

TEST(FitDriver, MoreThanTwentySlotsIsAFailure) {
  Experiment e;
  const std::vector<double> observed = e.Measure();
  for (int k = 1; k <= 21; ++k) e.Offer(k, "0", "1");
  try {
    e.Fit(observed);
    FAIL() << "no failure";
  } catch (const model::Failure& failure) {
    EXPECT_EQ(failure.description(), "More than 20 parameters are ticked for fitting");
  }
  EXPECT_TRUE(e.sim.runs.empty());
}

TEST(FitDriver, FailingSimulationEndsTheFitAtItsLastValues) {
  Experiment e;
  const std::vector<double> observed = e.Measure();
  e.app.Cinit(1) = 2e-3;
  e.Offer(1, "1e-4", "1e-2");
  e.sim.failAfter = 2;  // the start and the upper difference probe run; the lower one fails
  e.sim.clock = 0;
  EXPECT_THROW(e.Fit(observed), model::Failure);
  ASSERT_EQ(e.sim.runs.size(), 2u);
  EXPECT_DOUBLE_EQ(e.app.Cinit(1), 2e-3 * 0.99);  // the value the failed evaluation wrote
  EXPECT_GT(e.app.elapsedTime, 0);                // a duration, not a clock reading
  EXPECT_LT(e.app.elapsedTime, 10);
}

TEST(FitDriver, SimulatedCurveMustMatchTheMeasuredOnePointForPoint) {
  Experiment e;
  std::vector<double> observed = e.Measure();
  observed.resize(100);
  e.Offer(1, "1e-4", "1e-2");
  try {
    e.Fit(observed);
    FAIL() << "no failure";
  } catch (const model::Failure& failure) {
    EXPECT_EQ(failure.description(), "The simulated curve has 121 points and the measured one 100");
  }
}

// The potentials of the measured curve must be those simulated, to a quarter of the step: a
// measurement taken 2 mV off the grid at one point is refused, a jitter of 1 mV is not.
TEST(FitDriver, SimulatedCurveMustLieOnTheMeasuredPotentials) {
  Experiment e;
  const std::vector<double> observed = e.Measure();
  e.Offer(13, "-0.2", "0.2");
  e.curves.x(5) += 0.001;
  EXPECT_NO_THROW(e.Fit(observed));
  e.Measure();
  e.curves.x(5) += 0.002;
  try {
    e.Fit(observed);
    FAIL() << "no failure";
  } catch (const model::Failure& failure) {
    EXPECT_EQ(failure.description(),
              "Point 5 of the simulated curve lies at 0.28 V and of the measured one at 0.282 V");
  }
}

// A host with a solution made up of analytical concentrations, pre-equilibrated as a stand-in
// rule that uses E0 and Keq: species 2 gets E0 x Keq(1) of species 1.
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

// A concentration slot stands for the analytical concentration: it starts there, and every
// trial of it, of E0 or of a chemical rate constant derives the initial concentrations anew (Keq
// following kf / kb); a fit of ks alone leaves them as committed.
TEST(FitDriver, FittedConcentrationIsTheAnalyticalOneAndDerivesTheInitialOnes) {
  AppState app;
  app.speciesCount = 2;
  app.chargeCount = 1;
  app.chemCount = 1;
  app.Cinit(1) = 1.5e-3;
  app.E0(1) = 0.1;
  app.kf(1) = 10;
  app.kb(1) = 0.01;
  app.Keq(1) = 1000;
  app.ks(1) = 1;
  app.Estep = 0.005;
  CurveSet curves;
  EquilibratingSimulation sim(app, curves);
  sim.Simulate();
  std::vector<double> observed;
  for (int i = 1; i <= curves.pointCount; ++i) observed.push_back(curves.y(i, 1) * 1.1);
  app.fitting = true;
  FitMemory memory;

  SlotOffers offers;
  offers[7] = {true, "1e-4", "100"};
  AutoFit(app, curves, observed, offers, memory, sim);
  EXPECT_TRUE(sim.derived.empty());
  EXPECT_EQ(app.Cinit(1), 1.5e-3);

  offers[1] = {true, "1e-4", "1e-2"};
  offers[16] = {true, "1", "100"};
  const FitReport report = AutoFit(app, curves, observed, offers, memory, sim);
  EXPECT_EQ(report.initial[0], 2e-3);
  ASSERT_FALSE(sim.derived.empty());
  EXPECT_EQ(sim.derived.front()[1], 2e-3);  // the first evaluation, at the start
  EXPECT_EQ(sim.derived.back()[1], report.fitted[0]);
  // The last simulation ran at the fitted values, with Keq = kf / kb and the derived species.
  const AppState& last = sim.runs.back();
  EXPECT_EQ(last.kf(1), report.fitted[2]);
  EXPECT_DOUBLE_EQ(last.Keq(1), last.kf(1) / 0.01);
  EXPECT_EQ(last.Cinit(1), report.fitted[0]);
  EXPECT_DOUBLE_EQ(last.Cinit(2), report.fitted[0] * 0.1 * last.Keq(1));
  EXPECT_EQ(app.Cinit(2), last.Cinit(2));

  // kb not above 0 leaves Keq as it was, as the dialog's label does.
  app.kb(1) = 0;
  app.Keq(1) = 7;
  AutoFit(app, curves, observed, offers, memory, sim);
  EXPECT_EQ(sim.runs.back().Keq(1), 7);
}

// A problem that needs far more than 51 iterations (NIST MGH10 from its second start, its three
// parameters standing in kf(1..3)): the fit stops after the 51st and says it has not converged.
TEST(FitDriver, StopsAfterFiftyOneIterations) {
  const NistProblem& mgh10 = NistFind("MGH10");
  AppState app;
  app.chemCount = 3;
  CurveSet curves;
  FakeSimulation sim(app, curves, [&mgh10](const AppState& a, double E) {
    const double b[] = {a.kf(1), a.kf(2), a.kf(3)};
    return mgh10.f(b, mgh10.x[static_cast<std::size_t>(std::lround((0.3 - E) / 0.005))]);
  });
  sim.points = static_cast<int>(mgh10.x.size());
  SlotOffers offers;
  for (int q = 1; q <= 3; ++q) {
    app.kf(q) = mgh10.start2[q - 1];
    offers[15 + q] = {true, "-1e9", "1e9"};
  }
  app.Estep = 0.005;
  sim.Simulate();  // the measured curve's potentials
  FitMemory memory;
  app.fitting = true;
  const FitReport report = AutoFit(app, curves, mgh10.y, offers, memory, sim);
  EXPECT_EQ(report.iterations, kMaxFitIterations);
  EXPECT_EQ(report.Flag, 1);
  EXPECT_EQ(sim.printed.size(), 51u);
}

TEST(FitReportLines, PrintZonesAsTheResultWindowShowsThem) {
  FitReport report;
  report.slots = {7, 13};
  report.initial = {10000, 0.05};
  report.fitted = {2e-4, -0.125};
  report.SSQ = 1.5e-12;
  report.DataVariance = 4.25e-11;
  report.Flag = -2;
  report.iterations = 12;
  report.evaluations = 20;
  report.dampedSolves = 3;
  report.elapsedTime = 2.5;
  std::vector<std::string> lines;
  for (const model::PrintLine& line : ReportLines(report)) lines.push_back(line.str());
  const std::vector<std::string> expected = {
      "No.           Initial value               Fitted value",
      " 1             10000         .0002 ",
      " 2             .05          -.125 ",
      "",
      "Least square =               1.5E-12 ",
      "Standard deviation^2 =       4.25E-11 ",
      "Convergence flag =          -2 ",
      "No. of iteration =           12 ",
      "No. of obj. fun. =           20 ",
      "No. of MARQUARDS =           3 ",
      "Computation time (s) =       2.5 ",
  };
  EXPECT_EQ(lines, expected);
}

}  // namespace
}  // namespace kivex::fitting
