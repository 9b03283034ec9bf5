#pragma once
// Textbook closed forms for voltammetry (Bard and Faulkner; Oldham and Myland; Osteryoung;
// Shoup and Szabo; Koutecky; Delahay and Stiehl), written from the books, never from the program.
// Currents in amperes for the experiment's n, area and concentration (mol/L); true pi throughout.

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <vector>

#include "model/app_state.h"
#include "simulation/analytical_experiment.h"

namespace kivex::simulation::physics {

inline constexpr double kPiTrue = 3.14159265358979323846;

// Diffusion-limited current at a plane after a potential step, at time t.
inline double Cottrell(const model::AppState& app, double t, int species = 1) {
  return Nfac(app, species) * std::sqrt(app.D(species) / (kPiTrue * t));
}

// Reversible linear-sweep peak, 0.4463 n F A C sqrt(n f v D).
inline double RandlesSevcik(const model::AppState& app) {
  return 0.4463 * Nfac(app) * std::sqrt(app.n(1) * app.fOverRT * app.scanRate * app.D(1));
}

// Totally irreversible linear-sweep peak, 0.4958 n F A C sqrt(alpha n f v D).
inline double IrreversibleSweepPeak(const model::AppState& app) {
  return 0.4958 * Nfac(app) *
         std::sqrt(app.alpha(1) * app.n(1) * app.fOverRT * app.scanRate * app.D(1));
}

// Levich plateau at a rotating disk.
inline double Levich(const model::AppState& app, int species = 1) {
  return 0.62 * Nfac(app, species) * std::pow(app.D(species), 2.0 / 3.0) * std::sqrt(app.omega) *
         std::pow(app.viscosity, -1.0 / 6.0);
}

// Reversible differential-pulse peak n F A C sqrt(D / pi tp) (1 - s) / (1 + s), s = exp(nf dE/2),
// at E1/2 - dE / 2.
inline double DifferentialPulsePeak(const model::AppState& app, int species = 1) {
  const double sigma = std::exp(app.n(1) * app.fOverRT * app.Epulse / 2);
  return Cottrell(app, app.tPulse, species) * (1 - sigma) / (1 + sigma);
}

// Diffusion-limited current at a sphere of radius r, exact: n F A C (sqrt(D / pi t) + D / r).
inline double SphereCurrent(const model::AppState& app, double t) {
  return Cottrell(app, t) + Nfac(app) * app.D(1) / app.radius;
}

// Disc of radius r after a step, Shoup and Szabo (within 0.6 % at every time).
inline double ShoupSzabo(const model::AppState& app, double t) {
  const double tau = 4 * app.D(1) * t / (app.radius * app.radius);
  const double f = 0.7854 + 0.8862 / std::sqrt(tau) + 0.2146 * std::exp(-0.7823 / std::sqrt(tau));
  return 4 * app.n(1) * model::kFaraday * app.D(1) * app.Cinit(1) * 1e-3 * app.radius * f;
}

inline double DiscSteadyState(const model::AppState& app) {
  return 4 * app.n(1) * model::kFaraday * app.D(1) * app.Cinit(1) * 1e-3 * app.radius;
}

// Cylinder of radius r and length l at long times (D t / r^2 >> 1), Szabo's leading term:
// n F A C D / r * 2 / ln(4 D t / r^2) plus the planar part.
inline double CylinderCurrent(const model::AppState& app, double t, double radius) {
  const double D = app.D(1);
  return Cottrell(app, t) + Nfac(app) * D / radius * 2 / std::log(4 * D * t / (radius * radius));
}

// Band of width w and length l at long times (Aoki): 2 pi n F D C l / ln(64 D t / w^2).
inline double BandCurrent(const model::AppState& app, double t, double width) {
  const double D = app.D(1);
  return 2 * kPiTrue * app.n(1) * model::kFaraday * D * app.Cinit(1) * 1e-3 * app.length /
         std::log(64 * D * t / (width * width));
}

// Thin-layer sweep peak n^2 F^2 v V C / 4RT, V = A l.
inline double ThinLayerPeak(const model::AppState& app) {
  return Nfac(app) * app.n(1) * app.fOverRT * app.scanRate * app.length / 4;
}

// sqrt(pi) x exp(x^2) erfc(x), the kinetic step-current function.
inline double KineticFunction(double x) {
  return std::sqrt(kPiTrue) * x * std::exp(x * x) * std::erfc(x);
}

// Catalytic (EC') step current over Cottrell, Delahay and Stiehl: sqrt(pi) S erf(S) + exp(-S^2),
// S = sqrt(k t).
inline double CatalyticRatio(double k, double t) {
  const double S = std::sqrt(k * t);
  return std::sqrt(kPiTrue) * S * std::erf(S) + std::exp(-S * S);
}

// Preceding equilibrium C = A (K = [A]/[C]) in a step, Koutecky's reaction-layer form:
// i / i_d(total) = KineticFunction(K sqrt((kf + kb) t)), for (kf + kb) t >> 1.
inline double PrecedingReactionRatio(double K, double k, double t) {
  return KineticFunction(K * std::sqrt(k * t));
}

// Following irreversible step B -> C of rate k: the sampled wave moves positive by
// RT/nF ln(sqrt(k t) / x), with KineticFunction(x) = 1/2 (reaction layer, k t >> 1).
inline double FollowingReactionShift(const model::AppState& app, double k, double t) {
  double lo = 0.01, hi = 5;
  for (int i = 0; i < 100; ++i) {
    const double mid = 0.5 * (lo + hi);
    (KineticFunction(mid) < 0.5 ? lo : hi) = mid;
  }
  return std::log(std::sqrt(k * t) / lo) / (app.n(1) * app.fOverRT);
}

// Complexation C = A + pD: E1/2 = E0 + RT/nF (ln Keq - p ln [D]) (Lingane).
inline double LinganePotential(const model::AppState& app) {
  return app.E0(1) +
         (std::log(app.Keq(1)) - app.p(1) * std::log(app.Cinit(4))) / (app.n(1) * app.fOverRT);
}

// Square-wave peak of a reversible couple by superposition of the half-cycle steps (Osteryoung):
// staircase E_k from Estart by Estep, forward half-cycle at E_k + Epulse / 2, reverse at
// E_k - Epulse / 2, each lasting tPulse, currents sampled at the end of each half-cycle.
inline double OsteryoungSquareWavePeak(const model::AppState& app, int steps) {
  const double s = app.Eend > app.Estart ? 1.0 : -1.0;
  std::vector<double> theta(1, 0.0);  // theta_0 = 0: nothing reduced before the programme
  for (int k = 1; k <= steps; ++k) {
    const double stair = app.Estart + s * app.Estep * (k - 1);
    for (double E : {stair + app.Epulse / 2, stair - app.Epulse / 2}) {
      theta.push_back(1 / (1 + std::exp(app.n(1) * app.fOverRT * (E - app.E0(1)))));
    }
  }
  auto psi = [&](int j) {
    double sum = 0;
    for (int l = 1; l <= j; ++l) sum += (theta[l] - theta[l - 1]) / std::sqrt(j - l + 1.0);
    return sum;
  };
  double best = 0;
  for (int k = 1; k <= steps; ++k) best = std::max(best, psi(2 * k - 1) - psi(2 * k));
  return Cottrell(app, app.tPulse) * best;
}

}  // namespace kivex::simulation::physics
