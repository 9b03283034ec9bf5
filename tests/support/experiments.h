#pragma once
// Experiments filled directly with the dialogs' defaults (the fixed mechanisms' schemes as the
// Mechanism dialog builds them, or a digital scheme reaction by reaction), one run of each and the
// measurements the checks read off the voltammogram.

#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/app_state.h"
#include "model/curve_set.h"
#include "model/failure.h"
#include "model/plot_settings.h"
#include "model/reaction_scheme.h"
#include "model/selections.h"
#include "simulation/digital_simulation.h"
#include "simulation/driver.h"
#include "simulation/potential_programme.h"
#include "support/closed_forms.h"

namespace kivex::testing {

// Adds the electron transfer ox + n e = red with its standard potential.
inline void AddTransfer(model::AppState& app, int ox, int red, double E0) {
  const int r = ++app.chargeCount;
  app.chargeSpecies(r, 1) = static_cast<model::Count>(ox);
  app.chargeSpecies(r, 2) = static_cast<model::Count>(red);
  app.E0(r) = E0;
}

// Adds the first-order reaction X = Y; call before any second-order one.
inline void AddFirstOrder(model::AppState& app, int X, int Y, double kf, double kb) {
  const int q = ++app.chemCount;
  app.chemSpecies(q, 1) = static_cast<model::Count>(X);
  app.chemSpecies(q, 2) = static_cast<model::Count>(Y);
  app.kf(q) = kf, app.kb(q) = kb;
}

// Adds S1 + S2 = S3 + S4 (0 for an empty place), rate constants per mol/L and second.
inline void AddSecondOrder(model::AppState& app, int s1, int s2, int s3, int s4, double kf,
                           double kb) {
  const int j = ++app.chem2Count;
  const int places[] = {s1, s2, s3, s4};
  for (int k = 0; k < 4; ++k) app.chem2Species(j, k + 1) = static_cast<model::Count>(places[k]);
  app.kf(app.chemCount + j) = kf, app.kb(app.chemCount + j) = kb;
}

// The default experiment of the dialogs for an analytical simulation: A + e = B (E0 0.1 V) at
// 1 cm2, 1 mM of A, D = 1e-5 cm2/s, 25 degrees, 0.3 V -> -0.3 V in 5 mV steps at 10 mV/s (tDrop
// 0.5 s), pulses of 50 ms and -50 mV.
inline model::AppState Experiment(int technique, int electrode, int mechanism = 1) {
  model::AppState app;
  app.technique = static_cast<model::Count>(technique);
  app.electrode = static_cast<model::Count>(electrode);
  app.mechanism = static_cast<model::Count>(mechanism);
  app.digital = false;
  model::CommitCase(app);
  app.Estart = 0.3, app.Eend = -0.3, app.Estep = 0.005, app.scanRate = 0.01;
  app.tPulse = 0.05, app.tDrop = 0.5, app.Epulse = -0.05, app.cycles = 0.5;
  app.radius = 0.2821, app.length = 0.01, app.area = 1, app.omega = 100 * model::kPiTenDigits / 30;
  app.viscosity = 0.01, app.electrolyteC = 0.01, app.electrolyteCond = 100;
  app.temperature = 298.14;
  app.fOverRT = (model::kFaraday / model::kGasConstant) / app.temperature;
  app.RToverF = 1 / app.fOverRT;

  const double conductivity[] = {100, 200, 300, 400, 500, 500};
  for (int i = 1; i <= 6; ++i) {
    app.D(i) = 1e-5, app.Cinit(i) = i == 1 ? 1e-3 : 0.0, app.conductivity(i) = conductivity[i - 1];
  }
  const double E0[] = {0.1, -0.1, -0.2};
  for (int j = 1; j <= 3; ++j) {
    app.E0(j) = E0[j - 1], app.ks(j) = 1e4, app.alpha(j) = 0.5, app.n(j) = 1;
  }
  for (int k = 1; k <= 4; ++k) app.kf(k) = 10, app.kb(k) = 0.01, app.Keq(k) = 1000, app.p(k) = 1;

  // The fixed mechanism's scheme as the Mechanism dialog builds it: E, EE, EEE, two couples, then
  // A + e = B with CE, EC, EC' and complexation.
  const int m = mechanism >= 1 && mechanism <= 8 ? mechanism : 1;
  const int species[] = {2, 3, 4, 4, 3, 3, 2, 4}, chem[][2] = {{3, 1}, {2, 3}, {2, 1}, {3, 1}};
  app.speciesCount = static_cast<model::Count>(species[m - 1]);
  AddTransfer(app, 1, 2, E0[0]);
  if (m == 2 || m == 3) AddTransfer(app, 2, 3, E0[1]);
  if (m == 3) AddTransfer(app, 3, 4, E0[2]);
  if (m == 4) AddTransfer(app, 3, 4, E0[1]);
  if (m >= 5) AddFirstOrder(app, chem[m - 5][0], chem[m - 5][1], app.kf(1), app.kb(1));
  return app;
}

// The experiment with `change` made to it.
template <class Change>
model::AppState With(model::AppState app, const Change& change) {
  change(app);
  return app;
}

// The experiment in steps of `step` with the drop time the dialog gives them.
inline model::AppState WithStep(model::AppState app, double step) {
  app.Estep = step;
  app.tDrop = step / app.scanRate;
  return app;
}

// Complexation C = A + pD with the complex reduced, 0.1 M ligand, the free metal ion in
// equilibrium with the complex.
inline void Complex(model::AppState& app) {
  app.Keq(1) = 1e-6, app.Cinit(1) = 1e-8, app.Cinit(3) = 1e-3, app.Cinit(4) = 0.1;
  app.Eend = -0.6;
}

// The untouched dialogs' experiment for `technique`, simulated digitally, with the 1 mM brought
// to equilibrium at the start.
inline model::AppState DefaultExperiment(int technique) {
  model::AppState app = Experiment(technique, 1);
  app.digital = true;
  app.Cinit(1) = 9.996e-4, app.Cinit(2) = 4.159e-7;
  return app;
}

// A fast couple A + e = B (E0 = 0) simulated digitally, single sweep 0.3 V -> -0.3 V at 0.1 V/s
// in 1 mV steps.
inline model::AppState CoupleExperiment() {
  model::AppState app = Experiment(1, 1);
  app.digital = true;
  app.E0(1) = app.E0(2) = app.E0(3) = 0.0;
  app.scanRate = 0.1;
  return WithStep(app, 0.001);
}

// The couple with the row `_ + B = A + _` typed into the Mechanism dialog, kf 10 /s, kb 0: an
// empty first place is no species, so the row is B = A and regenerates A (EC').
inline model::AppState WrittenCatalysis() {
  model::AppState app = CoupleExperiment();
  model::SchemeInput boxes;
  boxes.charge(1) = "A", boxes.charge(2) = "B", boxes.electrons(1) = "1";
  boxes.chem2(2) = "B", boxes.chem2(3) = "A";
  model::BuildReactionScheme(boxes, app);
  app.kf(1) = 10, app.kb(1) = 0;
  return app;
}

// The couple as a DC (sampled current) experiment with drop time `tDrop`.
inline model::AppState Dc(double tDrop) {
  model::AppState app = CoupleExperiment();
  app.technique = 2, app.tDrop = tDrop;
  return app;
}

// The couple swept at 10 mV/s at a curved electrode.
inline model::AppState SlowSweep(int electrode, double radius, double area) {
  model::AppState app = CoupleExperiment();
  app.electrode = static_cast<model::Count>(electrode);
  app.radius = radius, app.area = area, app.scanRate = 0.01;
  return WithStep(app, app.Estep);
}

struct PeakPoint {
  double E = 0, I = 0;
};

// One run of its own copy of the experiment through the driver, or for another route or
// resolution of the digital simulation its programme and the simulation alone; in `workspace`
// when one is lent, else in a fresh one. x(i) and y(i)
// number the points from 1, as the curves do; the vectors from 0.
struct Voltammogram {
  model::AppState app;
  simulation::RunProgress progress;
  std::vector<double> E;                     // potential, V
  std::vector<double> I;                     // total current, A
  std::vector<double> catalytic;             // the catalytic term of an analytical total
  std::vector<std::vector<double>> surface;  // surface concentration [species][point], M
  int sweepPoints = 0;

  explicit Voltammogram(model::AppState experiment,
                        simulation::SolveRoute route = simulation::SolveRoute::kPrepared,
                        const simulation::DigitalResolution* resolution = nullptr,
                        simulation::DigitalWorkspace* workspace = nullptr)
      : app(std::move(experiment)) {
    auto curves = std::make_unique<model::CurveSet>();
    simulation::DigitalWorkspace own;
    simulation::DigitalWorkspace& lent = workspace != nullptr ? *workspace : own;
    if (route == simulation::SolveRoute::kPrepared && resolution == nullptr) {
      simulation::RunSimulation(app, *curves, lent, false, {}, &progress);
    } else {
      app.totalColumn = static_cast<model::Count>(app.chargeCount + 1);
      simulation::BuildPotentialProgramme(app, *curves);
      simulation::DigitalSimulation(app, *curves, lent, route,
                                    resolution ? *resolution : simulation::DigitalResolution{});
    }
    sweepPoints = curves->sweepPointCount;
    surface.resize(static_cast<std::size_t>(app.speciesCount) + 1);
    for (int i = 1; i <= curves->pointCount; ++i) {
      E.push_back(curves->x(i));
      I.push_back(curves->resultTable(i, app.totalColumn));
      catalytic.push_back(curves->resultTable(i, model::kCatalyticColumn));
      for (int s = 1; s <= app.speciesCount; ++s) {
        surface[s].push_back(curves->concentrationTable(i, s));
      }
    }
  }

  int count() const { return static_cast<int>(I.size()); }
  double x(int i) const { return E[i - 1]; }
  double y(int i) const { return I[i - 1]; }
  double Last() const { return I.back(); }

  // The point of largest sign * y among points first..last (0 for the last point).
  int PeakIndex(int first = 1, int last = 0, double sign = 1) const {
    if (last == 0) last = count();
    int best = first;
    for (int i = first; i <= last; ++i) {
      if (sign * y(i) > sign * y(best)) best = i;
    }
    return best;
  }
  double Peak() const { return y(PeakIndex()); }

  // The vertex of the parabola through that point and its neighbours inside first..last.
  PeakPoint InterpolatedPeak(int first = 1, int last = 0, double sign = 1) const {
    if (last == 0) last = count();
    const int i = PeakIndex(first, last, sign);
    if (i == first || i >= last) return {x(i), y(i)};
    const double a = y(i - 1), b = y(i), c = y(i + 1);
    const double d = a - 2 * b + c;
    const double t = d == 0 ? 0 : 0.5 * (a - c) / d;  // in steps
    const double h = x(i + 1) - x(i);
    return {x(i) + t * h, b - 0.25 * (a - c) * t};
  }
  PeakPoint ForwardPeak() const { return InterpolatedPeak(1, sweepPoints); }

  // The potential where the curve first crosses `level`, linearly interpolated (the half-wave
  // potential for level = plateau / 2).
  double Crossing(double level) const {
    for (int i = 2; i <= count(); ++i) {
      if ((y(i - 1) - level) * (y(i) - level) <= 0 && y(i) != y(i - 1)) {
        return x(i - 1) + (level - y(i - 1)) / (y(i) - y(i - 1)) * (x(i) - x(i - 1));
      }
    }
    return NAN;
  }
  double HalfWave() const { return Crossing(Last() / 2); }  // of a wave that ends on its plateau
};

// The text of the `Refusal` that `run` throws ("" when it runs through): a failure's description,
// an input error's message. Any other kind of failure goes on to fail the test.
template <class Refusal = model::Error, class Run>
std::string ErrorText(const Run& run) {
  try {
    run();
  } catch (const Refusal& refusal) {
    return refusal.what();
  }
  return "";
}

// The total current of a run through the driver into fresh `curves`, asking `stop` as it goes.
inline std::vector<double> StoppableRun(model::AppState app, const simulation::StopRequest& stop,
                                        std::unique_ptr<model::CurveSet>& curves) {
  curves = std::make_unique<model::CurveSet>();
  simulation::RunSimulation(app, *curves, false, stop);
  std::vector<double> I;
  for (int i = 1; i <= curves->pointCount; ++i) I.push_back(curves->y(i, 1));
  return I;
}

// Exact currents of a reversible couple at a plane for a pulse technique: with equal D each step
// adds its Cottrell decay, nFAC sqrt(D / pi) sum (Z(E_k) - Z(E_k-1)) / sqrt(t - t_k), Z the
// fraction reduced; DC and the pulses restart from the equilibrium at E start, square wave carries
// on.
inline std::vector<double> ExactStaircase(const model::AppState& app, const Voltammogram& v) {
  const double scale = model::kFaraday * app.area * (app.Cinit(1) + app.Cinit(2)) * 1e-3 *
                       std::sqrt(app.D(1) / model::kPiTenDigits);
  auto Z = [&app](double E) {  // the fraction Nernst equilibrium at E leaves reduced
    return 1.0 / (1.0 + std::exp(app.n(1) * app.fOverRT * (E - app.E0(1))));
  };
  auto K = [](double t) { return 1 / std::sqrt(t); };
  const double start = Z(app.Estart);
  std::vector<double> exact;
  if (app.technique == 5) exact = simulation::physics::SquareWaveNetCurrents(app, v.E, K, start);
  for (double x : v.E) {
    if (app.technique == 2) exact.push_back((Z(x) - start) * K(app.tDrop));
    if (app.technique == 3) exact.push_back((Z(x + app.Epulse) - start) * K(app.tPulse));
    if (app.technique == 4) {
      exact.push_back(simulation::physics::FreshPulseCurrent(app, x, K, start));
    }
  }
  for (double& I : exact) I *= scale;
  return exact;
}

}  // namespace kivex::testing
