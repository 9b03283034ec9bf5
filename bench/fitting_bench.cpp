// Fitting benchmarks.
//
// The optimiser alone on synthetic models: what one fit costs apart from the model, and a whole
// fit of two overlapped peaks. And Auto Fit through the program: the default scheme fitted to a
// simulated curve with noise (concentration and E0 free), a scheme with a chemical step and
// three free parameters on differential pulse, ks and alpha from the dialog's start, and an EC
// fit that needs a second start. A fit is hundreds of simulations, so the program
// figures measure the simulations above all.

#include <benchmark/benchmark.h>

#include <cmath>
#include <span>
#include <string>
#include <vector>

#include "fitting/marquardt.h"
#include "support/test_platform.h"
#include "ui/commands.h"
#include "ui/form_expr.h"
#include "ui/interaction.h"
#include "ui/session.h"

namespace kivex {
namespace {

using fitting::FitWork;
using fitting::Problem;
using fitting::Summary;
using fitting::Termination;

double Gaussian(double height, double centre, double width, double x) {
  const double z = (x - centre) / width;
  return height * std::exp(-z * z);
}

struct TwoPeaks {
  explicit TwoPeaks(int points) {
    for (int i = 0; i < points; ++i) x.push_back(-0.3 + 0.6 * i / (points - 1));
  }
  void operator()(std::span<const double> b, std::span<double> values) const {
    for (std::size_t i = 0; i < values.size(); ++i) {
      values[i] = Gaussian(b[0], b[1], b[2], x[i]) + Gaussian(b[3], b[4], b[5], x[i]);
    }
  }
  std::vector<double> x;
};

Problem TwoPeakProblem(const TwoPeaks& model) {
  Problem problem;
  problem.Yobs.resize(model.x.size());
  model(std::vector<double>{1.0, 0.03, 0.04, 0.6, -0.03, 0.04}, problem.Yobs);
  for (std::size_t i = 0; i < problem.Yobs.size(); ++i) {
    problem.Yobs[i] += 0.01 * std::sin(37.0 * i);
  }
  problem.X = {0.8, 0.05, 0.05, 0.8, -0.05, 0.05};
  problem.Min = {0, 0, 0.01, 0, -0.2, 0.01};
  problem.Max = {5, 0.2, 0.2, 5, 0, 0.2};
  problem.varies.assign(6, 1);
  problem.DataVariance = fitting::PopulationVariance(problem.Yobs);
  return problem;
}

// A whole fit, at most 51 iterations, of two overlapped peaks.
void BM_FitTwoOverlappedPeaks(benchmark::State& state) {
  const TwoPeaks model(static_cast<int>(state.range(0)));
  FitWork work;
  long evaluations = 0;
  for (auto _ : state) {
    const Problem problem = TwoPeakProblem(model);
    Summary fit;
    fitting::BeginFit(work, problem, fit);
    int iterations = 0;
    do {
      fitting::MarquardtIteration(work, problem, fit, model);
    } while (++iterations < 51 && fit.Flag == Termination::GoOn);
    evaluations = fit.EvaluationCount;
    benchmark::DoNotOptimize(fit.X.data());
  }
  state.counters["trials"] = static_cast<double>(evaluations);
}
BENCHMARK(BM_FitTwoOverlappedPeaks)->Arg(121)->Arg(4000)->Unit(benchmark::kMicrosecond);

// The optimiser's own work per iteration, with the largest fit the program allows (20
// parameters, 4000 points) and a model that costs next to nothing.
void BM_IterationOverhead(benchmark::State& state) {
  const int n = 20;
  const int points = 4000;
  auto model = [](std::span<const double> b, std::span<double> values) {
    for (std::size_t i = 0; i < values.size(); ++i) values[i] = b[i % 20] * (1.0 + 1e-3 * i);
  };
  Problem problem;
  problem.X.assign(n, 1.0);
  problem.Min.assign(n, 0.0);
  problem.Max.assign(n, 10.0);
  problem.varies.assign(n, 1);
  problem.Yobs.resize(points);
  for (int i = 0; i < points; ++i) problem.Yobs[i] = 2.0 * (1.0 + 1e-3 * i) + 0.1 * std::sin(i);
  problem.DataVariance = fitting::PopulationVariance(problem.Yobs);
  FitWork work;
  Summary fit;
  for (auto _ : state) {
    state.PauseTiming();
    fitting::BeginFit(work, problem, fit);
    fitting::MarquardtIteration(work, problem, fit, model);  // the start evaluation
    state.ResumeTiming();
    fitting::MarquardtIteration(work, problem, fit, model);
    benchmark::DoNotOptimize(fit.X.data());
  }
}
BENCHMARK(BM_IterationOverhead)->Unit(benchmark::kMicrosecond);

void Type(ui::Session& session, std::string_view reference, std::string text) {
  const ui::ControlAddress address = ui::ResolveControl(session, reference);
  ui::TypeText(session, *address.dialog, *address.control, std::move(text));
}

void Click(ui::Session& session, std::string_view reference) {
  const ui::ControlAddress address = ui::ResolveControl(session, reference);
  ui::ClickControl(session, *address.dialog, *address.control);
}

void Choose(ui::Session& session, std::string_view reference, std::string_view item) {
  const ui::ControlAddress address = ui::ResolveControl(session, reference);
  ui::ChooseItem(session, *address.dialog, *address.control, item);
}

void TickFit(ui::Session& session, int k) {
  Click(session, "FormExpr.CheckFitted(" + std::to_string(k) + ")");
}

// Runs Auto Fit repeatedly on a measured curve prepared once; every run starts from the same
// perturbed dialogs, since a fit writes only the experiment, never the dialogs.
void TimeAutoFit(benchmark::State& state, testing::SessionFixture& f) {
  long trials = 0;
  long iterations = 0;
  for (auto _ : state) {
    ui::RunMenuItem(f.session, "mnuAutoFit");
    trials = f.session.fitMemory.EvaluationCount;
    iterations = -1;  // the report repeats the last "Least square = " line
    for (const std::string& line : f.platform.lines) {
      if (line.rfind("Least square = ", 0) == 0) ++iterations;
    }
    f.platform.lines.clear();
  }
  if (!f.platform.messages.empty()) state.SkipWithError(f.platform.messages.front().c_str());
  state.counters["trials"] = static_cast<double>(trials);
  state.counters["iterations"] = static_cast<double>(iterations);
}

// The default scheme (A + e = B, digital, linear sweep) fitted to a curve simulated with 2 %
// noise: concentration and E0 free.
void BM_AutoFitDefaultScheme(benchmark::State& state) {
  testing::SessionFixture f;
  Type(f.session, "FormIns.Noise", "2");
  ui::RunMenuItem(f.session, "mnuSimulate");
  Type(f.session, "FormExpr.C(1)", "1.3e-3");
  Type(f.session, "FormExpr.Eze(1)", "0.07");
  TickFit(f.session, 13);
  TimeAutoFit(state, f);
}
BENCHMARK(BM_AutoFitDefaultScheme)->Unit(benchmark::kMillisecond);

// A + e = B followed by B = C on differential pulse: concentration, E0 and kf free.
void BM_AutoFitChemicalStepDifferentialPulse(benchmark::State& state) {
  testing::SessionFixture f;
  Click(f.session, "FormTech.optTech(4)");
  Type(f.session, "FormMech.chem(1)", "B");
  Type(f.session, "FormMech.chem(2)", "C");
  ui::RunMenuItem(f.session, "mnuExperimental");
  ui::RunMenuItem(f.session, "mnuSimulate");
  Type(f.session, "FormExpr.C(1)", "1.2e-3");
  Type(f.session, "FormExpr.Eze(1)", "0.08");
  Type(f.session, "FormExpr.kf(1)", "4");
  TickFit(f.session, 13);
  TickFit(f.session, 16);
  TimeAutoFit(state, f);
}
BENCHMARK(BM_AutoFitChemicalStepDifferentialPulse)->Unit(benchmark::kMillisecond);

// ks and alpha of a quasi-reversible cycle (ks 3e-3 cm/s, alpha 0.45, 0.1 V/s, 242 points, the
// Instrument dialog's 1 % noise) from the Chemicals dialog's own start, ks 1e4 clamped onto 100.
void BM_AutoFitRateConstantFromTheDialogsStart(benchmark::State& state) {
  testing::SessionFixture f;
  Choose(f.session, "FormIns.ComboScan", "cycle");
  Type(f.session, "FormIns.V", "0.1");
  Type(f.session, "FormIns.Noise", "1");
  Type(f.session, "FormExpr.ks(1)", "3e-3");
  Type(f.session, "FormExpr.alph(1)", "0.45");
  ui::RunMenuItem(f.session, "mnuSimulate");
  Type(f.session, "FormExpr.ks(1)", "1e4");
  Type(f.session, "FormExpr.alph(1)", "0.5");
  TickFit(f.session, 1);
  TickFit(f.session, 7);
  TickFit(f.session, 10);
  TimeAutoFit(state, f);
}
BENCHMARK(BM_AutoFitRateConstantFromTheDialogsStart)->Unit(benchmark::kMillisecond);

// A + e = B, B = C on a cycle (kf 3 1/s, E0 0.08 V, no noise), kf and E0 from the dialog's 10 and
// 0.1 V: the first fit ends in the other minimum and a second start finds this one.
void BM_AutoFitFollowingChemicalStepWithRestart(benchmark::State& state) {
  testing::SessionFixture f;
  Choose(f.session, "FormIns.ComboScan", "cycle");
  Type(f.session, "FormMech.chem(1)", "B");
  Type(f.session, "FormMech.chem(2)", "C");
  ui::RunMenuItem(f.session, "mnuExperimental");
  Type(f.session, "FormExpr.kf(1)", "3");
  Type(f.session, "FormExpr.Eze(1)", "0.08");
  ui::RunMenuItem(f.session, "mnuSimulate");
  Type(f.session, "FormExpr.kf(1)", "10");
  Type(f.session, "FormExpr.Eze(1)", "0.1");
  TickFit(f.session, 1);
  TickFit(f.session, 13);
  TickFit(f.session, 16);
  TimeAutoFit(state, f);
}
BENCHMARK(BM_AutoFitFollowingChemicalStepWithRestart)->Unit(benchmark::kMillisecond);

// The speed table's scheme with a second-order step (A + e = B, C + e = D, B = E, D = F,
// B + D = A + F with kf 1e3 per M s) on the dialogs' 121-point differential pulse: the
// concentration of A, E0 and the second-order kf free, started 20 %, 20 mV and a factor 3 off.
void BM_AutoFitSecondOrderDifferentialPulse(benchmark::State& state) {
  testing::SessionFixture f;
  Click(f.session, "FormTech.optTech(4)");
  const char* boxes[][2] = {{"charge(3)", "C"}, {"charge(4)", "D"}, {"chem(1)", "B"},
                            {"chem(2)", "E"},   {"chem(3)", "D"},   {"chem(4)", "F"},
                            {"chem2(1)", "B"},  {"chem2(2)", "D"},  {"chem2(3)", "A"},
                            {"chem2(4)", "F"}};
  for (const auto& box : boxes) Type(f.session, std::string("FormMech.") + box[0], box[1]);
  ui::RunMenuItem(f.session, "mnuExperimental");
  Type(f.session, "FormExpr.C(3)", "5e-4");
  Type(f.session, "FormExpr.kf(3)", "1e3");
  Type(f.session, "FormExpr.kb(3)", "0");
  ui::RunMenuItem(f.session, "mnuSimulate");
  Type(f.session, "FormExpr.C(1)", "1.2e-3");
  Type(f.session, "FormExpr.Eze(1)", "0.12");
  Type(f.session, "FormExpr.kf(3)", "3e3");
  TickFit(f.session, 13);
  TickFit(f.session, 18);
  Type(f.session, "FormExpr.TextCmin(18)", "10");
  Type(f.session, "FormExpr.TextCmax(18)", "1e5");
  TimeAutoFit(state, f);
}
BENCHMARK(BM_AutoFitSecondOrderDifferentialPulse)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kivex
