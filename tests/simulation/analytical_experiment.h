#pragma once
// Analytical experiments filled directly with the dialogs' defaults (the fixed mechanisms' schemes
// as the Mechanism dialog builds them), and measurements on the simulated curve.

#include <cmath>
#include <utility>
#include <vector>

#include "model/app_state.h"
#include "model/curve_set.h"
#include "model/plot_settings.h"
#include "simulation/driver.h"

namespace kivex::simulation::physics {

struct Scheme {
  int species;
  int charges;
  int chems;
  std::vector<std::pair<int, int>> charge;
  std::vector<std::pair<int, int>> chem;
};

inline Scheme SchemeOf(int mechanism) {
  switch (mechanism) {
    case 2: return {3, 2, 0, {{1, 2}, {2, 3}}, {}};
    case 3: return {4, 3, 0, {{1, 2}, {2, 3}, {3, 4}}, {}};
    case 4: return {4, 2, 0, {{1, 2}, {3, 4}}, {}};
    case 5: return {3, 1, 1, {{1, 2}}, {{3, 1}}};
    case 6: return {3, 1, 1, {{1, 2}}, {{2, 3}}};
    case 7: return {2, 1, 1, {{1, 2}}, {{2, 1}}};
    case 8: return {4, 1, 1, {{1, 2}}, {{3, 1}}};
    default: return {2, 1, 0, {{1, 2}}, {}};
  }
}

// The default experiment of the dialogs for an analytical simulation.
inline model::AppState Experiment(int technique, int electrode, int mechanism = 1) {
  model::AppState app;
  app.technique = static_cast<model::Count>(technique);
  app.electrode = static_cast<model::Count>(electrode);
  app.mechanism = static_cast<model::Count>(mechanism);
  app.digital = false;
  app.caseCode = static_cast<model::Count>(10 * technique + electrode);
  app.Estart = 0.3, app.Eend = -0.3, app.Estep = 0.005, app.scanRate = 0.01;
  app.tPulse = 0.05, app.tDrop = 0.5, app.Epulse = -0.05, app.cycles = 0.5;
  app.radius = 0.2821, app.length = 0.01, app.area = 1, app.omega = 100 * model::kPi / 30;
  app.viscosity = 0.01, app.electrolyteC = 0.01, app.electrolyteCond = 100;
  app.temperature = 298.14;
  app.fOverRT = (model::kFaraday / model::kGasConstant) / app.temperature;
  app.RToverF = 1 / app.fOverRT;

  const Scheme scheme = SchemeOf(mechanism);
  app.speciesCount = static_cast<model::Count>(scheme.species);
  app.chargeCount = static_cast<model::Count>(scheme.charges);
  app.chemCount = static_cast<model::Count>(scheme.chems);
  for (int k = 0; k < scheme.charges; ++k) {
    app.chargeSpecies(k + 1, 1) = static_cast<model::Count>(scheme.charge[k].first);
    app.chargeSpecies(k + 1, 2) = static_cast<model::Count>(scheme.charge[k].second);
  }
  for (int k = 0; k < scheme.chems; ++k) {
    app.chemSpecies(k + 1, 1) = static_cast<model::Count>(scheme.chem[k].first);
    app.chemSpecies(k + 1, 2) = static_cast<model::Count>(scheme.chem[k].second);
  }
  const double conductivity[] = {100, 200, 300, 400, 500, 500};
  for (int i = 1; i <= 6; ++i) {
    app.D(i) = 1e-5, app.Cinit(i) = i == 1 ? 1e-3 : 0.0, app.conductivity(i) = conductivity[i - 1];
  }
  const double E0[] = {0.1, -0.1, -0.2};
  for (int j = 1; j <= 3; ++j) {
    app.E0(j) = E0[j - 1], app.ks(j) = 1e4, app.alpha(j) = 0.5, app.n(j) = 1;
  }
  for (int k = 1; k <= 4; ++k) app.kf(k) = 10, app.kb(k) = 0.01, app.Keq(k) = 1000, app.p(k) = 1;
  return app;
}

// n F A C in amperes per (cm/s): the scale of every closed form below (C in mol/L).
inline double Nfac(const model::AppState& app, int species = 1, int reaction = 1) {
  return app.n(reaction) * model::kFaraday * app.area * app.Cinit(species) * 1e-3;
}

// Complexation C = A + pD with the complex reduced, 0.1 M ligand, the free metal ion in
// equilibrium with the complex.
inline void Complex(model::AppState& app) {
  app.Keq(1) = 1e-6;
  app.Cinit(1) = 1e-8;
  app.Cinit(3) = 1e-3;
  app.Cinit(4) = 0.1;
  app.Eend = -0.6;
}

// One analytical run of its own copy of the experiment into a fresh curve set.
struct Voltammogram {
  model::AppState app;
  model::CurveSet curves;
  model::PlotSettings plot;

  explicit Voltammogram(model::AppState experiment) : app(std::move(experiment)) {
    RunSimulation(app, curves, plot, false);
  }

  int count() const { return curves.pointCount; }
  double x(int i) const { return curves.x(i); }
  double y(int i) const { return curves.y(i, curves.currentCurve); }

  // The point of largest value among points first..last.
  int PeakIndex(int first = 1, int last = 0) const {
    if (last == 0) last = count();
    int best = first;
    for (int i = first; i <= last; ++i) {
      if (y(i) > y(best)) best = i;
    }
    return best;
  }
  double Peak() const { return y(PeakIndex()); }
  // The most negative point of the reverse sweep: the anodic peak of a cycle.
  int ReversePeakIndex() const {
    int best = curves.sweepPointCount + 1;
    for (int i = best; i <= count(); ++i) {
      if (y(i) < y(best)) best = i;
    }
    return best;
  }

  // The vertex of the parabola through the largest point and its neighbours.
  std::pair<double, double> InterpolatedPeak() const {
    const int i = PeakIndex();
    if (i <= 1 || i >= count()) return {x(i), y(i)};
    const double a = y(i - 1), b = y(i), c = y(i + 1);
    const double d = a - 2 * b + c;
    const double t = d == 0 ? 0 : 0.5 * (a - c) / d;
    const double h = x(i + 1) - x(i);
    return {x(i) + t * h, b - 0.25 * (a - c) * t};
  }

  // The potential where the curve first crosses `level` along points 1..last, linearly
  // interpolated (the half-wave potential for level = plateau / 2).
  double Crossing(double level, int last = 0) const {
    if (last == 0) last = count();
    for (int i = 2; i <= last; ++i) {
      if ((y(i - 1) - level) * (y(i) - level) <= 0 && y(i) != y(i - 1)) {
        return x(i - 1) + (level - y(i - 1)) / (y(i) - y(i - 1)) * (x(i) - x(i - 1));
      }
    }
    return NAN;
  }
};

}  // namespace kivex::simulation::physics
