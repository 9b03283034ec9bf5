#pragma once
// Digital experiments filled directly (one couple A + e = B at a plane unless changed), a run
// through the simulation driver, and the measurements the checks need.

#include <cmath>
#include <memory>
#include <vector>

#include "model/app_state.h"
#include "model/curve_set.h"
#include "model/plot_settings.h"
#include "simulation/digital_simulation.h"
#include "simulation/driver.h"
#include "simulation/potential_programme.h"
#include "support/closed_forms.h"

namespace kivex::testing {

using simulation::physics::Cottrell;
using simulation::physics::RandlesSevcik;

// A fast couple A + e = B (E0 = 0, ks = 1e4 cm/s) at 1 cm2, 1 mM of A, D = 1e-5 cm2/s, 25 degrees,
// single sweep 0.3 V -> -0.3 V at 0.1 V/s in 1 mV steps.
inline model::AppState CoupleExperiment() {
  model::AppState app;
  app.digital = true;
  app.technique = 1, app.electrode = 1, app.speciesCount = 2, app.chargeCount = 1;
  app.chargeSpecies(1, 1) = 1, app.chargeSpecies(1, 2) = 2;
  app.Cinit(1) = 1e-3;
  for (int s = 1; s <= model::kMaxSpecies; ++s) app.D(s) = 1e-5;
  for (int r = 1; r <= model::kMaxCharge; ++r) {
    app.E0(r) = 0.0, app.ks(r) = 1e4, app.alpha(r) = 0.5, app.n(r) = 1;
  }
  app.temperature = 298.14;
  app.fOverRT = (model::kFaraday / model::kGasConstant) / app.temperature;
  app.RToverF = 1.0 / app.fOverRT;
  app.area = 1.0, app.radius = 0.2821;
  app.Estart = 0.3, app.Eend = -0.3, app.Estep = 0.001, app.scanRate = 0.1;
  app.tDrop = app.Estep / app.scanRate;
  app.tPulse = 0.05, app.Epulse = -0.05, app.cycles = 0.5;
  return app;
}

// The couple as a DC (sampled current) experiment with drop time `tDrop`.
inline model::AppState Dc(double tDrop) {
  model::AppState app = CoupleExperiment();
  app.technique = 2;
  app.tDrop = tDrop;
  return app;
}

// The couple swept at 10 mV/s at a curved electrode.
inline model::AppState SlowSweep(int electrode, double radius, double area) {
  model::AppState app = CoupleExperiment();
  app.electrode = static_cast<model::Count>(electrode);
  app.radius = radius, app.area = area, app.scanRate = 0.01;
  app.tDrop = app.Estep / app.scanRate;
  return app;
}

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
  app.chem2Species(j, 1) = static_cast<model::Count>(s1);
  app.chem2Species(j, 2) = static_cast<model::Count>(s2);
  app.chem2Species(j, 3) = static_cast<model::Count>(s3);
  app.chem2Species(j, 4) = static_cast<model::Count>(s4);
  app.kf(app.chemCount + j) = kf, app.kb(app.chemCount + j) = kb;
}

struct Voltammogram {
  std::vector<double> E;                     // potential of point i - 1
  std::vector<double> I;                     // total current, A
  std::vector<std::vector<double>> surface;  // surface concentration [species][point], M
  int sweepPoints = 0;
  int maxIterations = 0;
};

// Through the driver, or for another route or resolution the programme and the simulation alone.
inline Voltammogram Simulate(model::AppState app,
                             simulation::SolveRoute route = simulation::SolveRoute::kPrepared,
                             const simulation::DigitalResolution* resolution = nullptr) {
  auto curves = std::make_unique<model::CurveSet>();
  model::PlotSettings plot;
  if (route == simulation::SolveRoute::kPrepared && resolution == nullptr) {
    simulation::RunSimulation(app, *curves, plot, false);
  } else {
    app.totalColumn = static_cast<model::Count>(app.chargeCount + 1);
    simulation::BuildPotentialProgramme(app, *curves);
    simulation::DigitalSimulation(app, *curves, route,
                                  resolution ? *resolution : simulation::DigitalResolution{});
  }
  Voltammogram v;
  v.sweepPoints = curves->sweepPointCount;
  v.maxIterations = app.maxIterations;
  v.surface.resize(static_cast<std::size_t>(app.speciesCount) + 1);
  for (int i = 1; i <= curves->pointCount; ++i) {
    v.E.push_back(curves->x(i));
    v.I.push_back(curves->resultTable(i, app.chargeCount + 1));
    for (int s = 1; s <= app.speciesCount; ++s) {
      v.surface[s].push_back(curves->concentrationTable(i, s));
    }
  }
  return v;
}

struct Peak {
  double E = 0;
  double I = 0;
};

// The largest sign * I over points [from, to), refined by a parabola through its neighbours.
inline Peak FindPeak(const Voltammogram& v, std::size_t from, std::size_t to, double sign = 1) {
  std::size_t best = from;
  for (std::size_t i = from; i < to; ++i) {
    if (sign * v.I[i] > sign * v.I[best]) best = i;
  }
  if (best == from || best + 1 >= to) return {v.E[best], v.I[best]};
  const double y0 = v.I[best - 1], y1 = v.I[best], y2 = v.I[best + 1];
  const double curvature = y0 - 2 * y1 + y2;
  const double offset = curvature == 0 ? 0 : 0.5 * (y0 - y2) / curvature;  // in steps
  const double step = v.E[best + 1] - v.E[best];
  return {v.E[best] + offset * step, y1 - 0.25 * (y0 - y2) * offset};
}

inline Peak ForwardPeak(const Voltammogram& v) {
  return FindPeak(v, 0, static_cast<std::size_t>(v.sweepPoints));
}

// The potential at which the current first crosses `level`, linearly interpolated.
inline double CrossingPotential(const Voltammogram& v, double level) {
  for (std::size_t i = 1; i < v.I.size(); ++i) {
    if ((v.I[i - 1] - level) * (v.I[i] - level) <= 0 && v.I[i] != v.I[i - 1]) {
      const double t = (level - v.I[i - 1]) / (v.I[i] - v.I[i - 1]);
      return v.E[i - 1] + t * (v.E[i] - v.E[i - 1]);
    }
  }
  return NAN;
}

// The untouched dialogs' experiment for `technique`: E0 0.1 V, 1 mM at equilibrium at the start,
// 5 mV steps at 10 mV/s (tDrop 0.5 s), pulses of 50 ms and -50 mV.
inline model::AppState DefaultExperiment(int technique) {
  model::AppState app = CoupleExperiment();
  app.technique = static_cast<model::Count>(technique);
  app.E0(1) = 0.1;
  app.Cinit(1) = 9.996e-4, app.Cinit(2) = 4.159e-7;
  app.Estep = 0.005, app.scanRate = 0.01, app.tDrop = 0.5;
  return app;
}

// The fraction Nernst equilibrium at E leaves reduced (equal D).
inline double NernstReduced(const model::AppState& app, double E) {
  return 1.0 / (1.0 + std::exp(app.n(1) * app.fOverRT * (E - app.E0(1))));
}

// Exact currents of a reversible couple at a plane for a pulse technique: with equal D each step
// adds its Cottrell decay, nFAC sqrt(D / pi) sum (Z(E_k) - Z(E_k-1)) / sqrt(t - t_k), Z the
// fraction reduced; DC and the pulses restart from the equilibrium at E start, square wave carries
// on.
inline std::vector<double> ExactStaircase(const model::AppState& app, const Voltammogram& v) {
  const double scale = model::kFaraday * app.area * (app.Cinit(1) + app.Cinit(2)) * 1e-3 *
                       std::sqrt(app.D(1) / model::kPi);
  const double start = NernstReduced(app, app.Estart);
  auto Z = [&app](double E) { return NernstReduced(app, E); };
  std::vector<double> exact;
  if (app.technique == 5) {
    std::vector<double> fractions{start};
    for (double x : v.E) {
      fractions.push_back(Z(x - app.Epulse / 2));
      fractions.push_back(Z(x + app.Epulse / 2));
    }
    auto at = [&](std::size_t h) {  // the current at the end of half-period h
      double sum = 0;
      for (std::size_t k = 1; k <= h; ++k) {
        sum += (fractions[k] - fractions[k - 1]) / std::sqrt((h - k + 1) * app.tPulse);
      }
      return scale * sum;
    };
    for (std::size_t i = 1; i <= v.E.size(); ++i) exact.push_back(at(2 * i) - at(2 * i - 1));
    return exact;
  }
  for (double x : v.E) {
    switch (app.technique) {
      case 2: exact.push_back(scale * (Z(x) - start) / std::sqrt(app.tDrop)); break;
      case 3: exact.push_back(scale * (Z(x + app.Epulse) - start) / std::sqrt(app.tPulse)); break;
      default: {
        const double base = app.tDrop - app.tPulse;
        const double pulse = (Z(x) - start) / std::sqrt(app.tDrop) +
                             (Z(x + app.Epulse) - Z(x)) / std::sqrt(app.tPulse);
        exact.push_back(scale * (pulse - (Z(x) - start) / std::sqrt(base)));
      }
    }
  }
  return exact;
}

}  // namespace kivex::testing
