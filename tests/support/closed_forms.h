#pragma once
// Textbook closed forms for voltammetry, written from the books, never from the program: currents
// in amperes for the experiment's n, area and concentration (mol/L), true pi throughout.

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <vector>

#include "model/app_state.h"

namespace kivex::simulation::physics {

inline constexpr double kPiTrue = 3.14159265358979323846;

// n F A C in amperes per (cm/s): the scale of every closed form below (C in mol/L).
inline double Nfac(const model::AppState& app, int species = 1, int reaction = 1) {
  return app.n(reaction) * model::kFaraday * app.area * app.Cinit(species) * 1e-3;
}

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

// Reversible differential-pulse peak n F A C sqrt(D / pi tp) (1 - s) / (1 + s), s = exp(nf dE/2).
inline double DifferentialPulsePeak(const model::AppState& app, int species = 1) {
  const double sigma = std::exp(app.n(1) * app.fOverRT * app.Epulse / 2);
  return Cottrell(app, app.tPulse, species) * (1 - sigma) / (1 + sigma);
}

inline double DiscSteadyState(const model::AppState& app) {  // 4 n F D C r
  return 4 * app.n(1) * model::kFaraday * app.D(1) * app.Cinit(1) * 1e-3 * app.radius;
}

// A disc's step current over its steady state at time t, Shoup and Szabo (within 0.6 % at every
// time).
inline double ShoupSzaboFactor(const model::AppState& app, double t) {
  const double tau = 4 * app.D(1) * t / (app.radius * app.radius);
  return 0.7854 + 0.8862 / std::sqrt(tau) + 0.2146 * std::exp(-0.7823 / std::sqrt(tau));
}

// A band of width w and length L at short times: Cottrell on w L and the edges' n F D C L,
// i = n F C L (w sqrt(D / pi t) + D), within 1e-3 up to D t / w^2 of 0.1.
inline double BandShortTime(const model::AppState& app, double t) {
  const double nFCL = app.n(1) * model::kFaraday * app.Cinit(1) * 1e-3 * app.length;
  return nFCL * (app.radius * std::sqrt(app.D(1) / (model::kPiTenDigits * t)) + app.D(1));
}

// The same from the disc's long-time series (Shoup and Szabo; Aoki and Osteryoung), within 1e-4
// from tau = 4 D t / r^2 of 1 on.
inline double DiscLongTimeFactor(const model::AppState& app, double t) {
  const double tau = 4 * app.D(1) * t / (app.radius * app.radius);
  return 1 + 0.71835 / std::sqrt(tau) + 0.05626 / std::pow(tau, 1.5) - 0.00646 / std::pow(tau, 2.5);
}

// Jaeger-Clarke: a cylinder's current per side area is n F C (D / r) f(tau), tau = D t / r^2, f =
// (4 / pi^2) int exp(-tau u^2) / (u (J0^2 + Y0^2)) du by Simpson in ln u; below u0 the integrand is
// 1 / (u (1 + v^2)), v = (2 / pi)(ln(u / 2) + gamma), whose integral closes the slow tail exactly.
inline double JaegerClarke(double tau) {
  const double gamma = 0.57721566490153286;
  const double u0 = 1e-7 / std::sqrt(tau);
  const double v0 = 2 / kPiTrue * (std::log(u0 / 2) + gamma);
  const double tail = kPiTrue / 2 * (std::atan(v0) + kPiTrue / 2);
  const double a = std::log(u0), b = std::log(std::sqrt(45 / tau));
  const int n = 4000;
  const double h = (b - a) / n;
  auto g = [tau](double x) {
    const double u = std::exp(x);
    const double J = std::cyl_bessel_j(0.0, u), Y = std::cyl_neumann(0.0, u);
    return std::exp(-tau * u * u) / (J * J + Y * Y);
  };
  double sum = g(a) + g(b);
  for (int i = 1; i < n; ++i) sum += (i % 2 ? 4 : 2) * g(a + i * h);
  return 4 / (kPiTrue * kPiTrue) * (sum * h / 3 + tail);
}

// Band of width w and length l, i / (n F D C l) at theta = D t / w^2 (0.5, 5 or 100; NaN for
// any other), computed apart from the program: a boundary-integral solution in the Laplace domain
// (24 Chebyshev terms, kernel K0, converged to 1e-10) inverted by Gaver-Stehfest (16 terms).
inline double BandReferenceAt(double theta) {
  const double table[][2] = {{0.5, 1.779191594}, {5, 1.126490943}, {100, 0.7459758308}};
  for (const auto& r : table) {
    if (std::fabs(theta / r[0] - 1) < 1e-9) return r[1];
  }
  return NAN;
}

// Band of width w and length l at long times (Aoki): 2 pi n F D C l / ln(64 D t / w^2).
inline double BandLongTime(const model::AppState& app, double t, double width) {
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

// Catalytic (EC') step current over Cottrell (Delahay-Stiehl), S = sqrt(k t).
inline double CatalyticRatio(double k, double t) {
  const double S = std::sqrt(k * t);
  return std::sqrt(kPiTrue) * S * std::erf(S) + std::exp(-S * S);
}

// Preceding equilibrium C = A (K = [A]/[C]) in a step over i_d(total), Koutecky, (kf + kb) t >> 1.
inline double PrecedingReactionRatio(double K, double k, double t) {
  return KineticFunction(K * std::sqrt(k * t));
}

// Following step B -> C of rate k: the wave moves by RT/nF ln(sqrt(k t) / x), KineticFunction(x) =
// 1/2.
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

// A reversible couple's differential-pulse current over n F A C at E from a fresh layer, theta0
// reduced at rest: the base step held for tDrop and the pulse for its last tPulse superposed; K(t)
// the electrode's step current / nFAC.
template <class Flux>
double FreshPulseCurrent(const model::AppState& app, double E, const Flux& K, double theta0 = 0) {
  auto theta = [&](double x) {
    return 1 / (1 + std::exp(app.n(1) * app.fOverRT * (x - app.E0(1)))) - theta0;
  };
  return (theta(E + app.Epulse) - theta(E)) * K(app.tPulse) +
         theta(E) * (K(app.tDrop) - K(app.tDrop - app.tPulse));
}

// Square-wave net currents over n F A C of a reversible couple by superposing the steps
// E_k -/+ Epulse / 2 about the stairs E_k, tPulse each, from a solution theta0 reduced, sampled at
// the end of each half-period; flux(t) the electrode's step current / nFAC.
template <class Flux>
std::vector<double> SquareWaveNetCurrents(const model::AppState& app,
                                          const std::vector<double>& stairs, const Flux& flux,
                                          double theta0 = 0) {
  std::vector<double> theta(1, theta0);
  for (double stair : stairs) {
    for (double E : {stair - app.Epulse / 2, stair + app.Epulse / 2}) {
      theta.push_back(1 / (1 + std::exp(app.n(1) * app.fOverRT * (E - app.E0(1)))));
    }
  }
  const int steps = static_cast<int>(stairs.size());
  std::vector<double> K(2 * steps + 1), net;
  for (int m = 1; m <= 2 * steps; ++m) K[m] = flux(m * app.tPulse);
  auto sampled = [&](int j) {
    double sum = 0;
    for (int l = 1; l <= j; ++l) sum += (theta[l] - theta[l - 1]) * K[j - l + 1];
    return sum;
  };
  for (int k = 1; k <= steps; ++k) net.push_back(sampled(2 * k) - sampled(2 * k - 1));
  return net;
}

// Its net peak over the staircase from E start, nothing reduced before the programme.
template <class Flux>
double SquareWaveNetPeak(const model::AppState& app, int steps, const Flux& flux) {
  const double s = app.Eend > app.Estart ? 1.0 : -1.0;
  std::vector<double> stairs;
  for (int k = 1; k <= steps; ++k) stairs.push_back(app.Estart + s * app.Estep * (k - 1));
  double best = 0;
  for (double I : SquareWaveNetCurrents(app, stairs, flux)) best = std::max(best, I);
  return Nfac(app) * best;
}

inline double SquareWaveNetPeak(const model::AppState& app, int steps) {
  return SquareWaveNetPeak(app, steps,
                           [&](double t) { return std::sqrt(app.D(1) / (kPiTrue * t)); });
}

// A reversible sweep by Duhamel's integral over the continuous ramp, i = nFAC (theta(0) flux(t) +
// int flux(t - u) theta'(u) du), taken in w = sqrt(t - u) (where 2 w flux(w^2) stays finite) by
// 8-point Gauss-Legendre panels.
template <class Flux>
double NernstianSweepCurrent(const model::AppState& app, double t, const Flux& flux) {
  const double s = app.Eend > app.Estart ? 1.0 : -1.0;
  const double nf = app.n(1) * app.fOverRT;
  auto theta = [&](double u) {
    return 1 / (1 + std::exp(nf * (app.Estart + s * app.scanRate * u - app.E0(1))));
  };
  static const double x[] = {0.1834346424956498, 0.5255324099163290, 0.7966664774136267,
                             0.9602898564975363};
  static const double w[] = {0.3626837833783620, 0.3137066458778873, 0.2223810344533745,
                             0.1012285362903763};
  const int panels = 400;
  const double h = std::sqrt(t) / panels;
  double sum = 0;
  for (int p = 0; p < panels; ++p) {
    for (int k = 0; k < 4; ++k) {
      for (double sign : {-1.0, 1.0}) {
        const double v = (p + 0.5) * h + sign * x[k] * h / 2;
        const double u = t - v * v;
        const double th = theta(u);
        const double dtheta = -nf * s * app.scanRate * th * (1 - th);
        sum += w[k] * h / 2 * 2 * v * flux(v * v) * dtheta;
      }
    }
  }
  return Nfac(app) * (theta(0) * flux(t) + sum);
}

// The largest NernstianSweepCurrent: a scan every second, then golden sections around the best.
template <class Flux>
double NernstianSweepPeak(const model::AppState& app, const Flux& flux) {
  const double end = std::fabs(app.Eend - app.Estart) / app.scanRate;
  double best = 1;
  for (double t = 1; t <= end; t += 1) {
    if (NernstianSweepCurrent(app, t, flux) > NernstianSweepCurrent(app, best, flux)) best = t;
  }
  double a = std::max(best - 1, 1e-3), b = std::min(best + 1, end);
  const double g = 0.6180339887498949;
  for (int i = 0; i < 40; ++i) {
    const double c = b - g * (b - a), d = a + g * (b - a);
    if (NernstianSweepCurrent(app, c, flux) > NernstianSweepCurrent(app, d, flux)) {
      b = d;
    } else {
      a = c;
    }
  }
  return NernstianSweepCurrent(app, 0.5 * (a + b), flux);
}

// A reversible couple (equal D) at a plane, stepped from the solution as made to the potential E
// applied through Ru, at time t: the surface holds Nernst's deficit a(E + Ru i) and a is the
// semi-integral of the current, a(t) = int i(u) / sqrt(pi D (t - u)) du / (n F A). The current is
// taken constant over each of `steps` equal steps (Abel's integral then exact step by step) and
// found at each by bisection; first order in the step, so the result is extrapolated from `steps`
// and twice as many.
inline double OhmicNernstianStep(const model::AppState& app, double E, double Ru, double t,
                                 int steps = 1000) {
  const double nfa = app.n(1) * model::kFaraday * app.area * std::sqrt(app.D(1)) * 1e-3;
  const double cR = app.Cinit(1), cP = app.Cinit(2);
  auto current = [&](int N) {
    const double dt = t / N, k = 2 / std::sqrt(kPiTrue);
    std::vector<double> i(static_cast<std::size_t>(N) + 1, 0.0);
    for (int n = 1; n <= N; ++n) {
      double earlier = 0;  // the semi-integral of the steps before, times sqrt(pi) / 2
      for (int j = 1; j < n; ++j)
        earlier += i[j] * (std::sqrt((n - j + 1) * dt) - std::sqrt((n - j) * dt));
      auto excess = [&](double I) {  // rises with I: the deficit made minus Nernst's
        const double theta =
            std::exp(std::min(app.n(1) * app.fOverRT * (E + Ru * I - app.E0(1)), 700.0));
        return k * (earlier + I * std::sqrt(dt)) / nfa - (cR - theta * cP) / (1 + theta);
      };
      double low = -1, high = 1;  // amperes
      for (int b = 0; b < 200 && high - low > 1e-16 * std::fabs(high); ++b) {
        const double mid = 0.5 * (low + high);
        (excess(mid) > 0 ? high : low) = mid;
      }
      i[n] = 0.5 * (low + high);
    }
    return i[N];
  };
  return 2 * current(2 * steps) - current(steps);
}

// A reversible couple (equal D) at a plane swept from E start at rest, with the double layer
// (Cdl A) in parallel with the faradaic current and both through Ru: explicit finite differences
// on an even grid (the surface gradient to second order), and at every step the interface
// potential e that satisfies e = E(t) + Ru (i_f(e) + Cdl A (e_before - e) / dt), by bisection (the
// right-hand side falls as e rises). Returns the largest total current i_f + i_c and the applied
// potential E(t) at it. dx in cm; the time step is 0.4 dx^2 / D.
struct ChargedSweepPeak {
  double E = 0, I = 0;
};
inline ChargedSweepPeak ChargedPlanarSweep(const model::AppState& app, double dx) {
  const double D = app.D(1), v = app.scanRate, f = app.n(1) * app.fOverRT;
  const double span = std::fabs(app.Eend - app.Estart) / v;
  const double dt = 0.4 * dx * dx / D, lambda = D * dt / (dx * dx);
  const int nodes = static_cast<int>(6 * std::sqrt(D * span) / dx) + 3;
  const int steps = static_cast<int>(span / dt);
  const double direction = app.Eend > app.Estart ? 1.0 : -1.0;
  const double nfad = app.n(1) * model::kFaraday * app.area * D * 1e-3 / (2 * dx);
  const double Q = app.Cdl * app.area / dt;
  std::vector<double> a(static_cast<std::size_t>(nodes), app.Cinit(1));
  std::vector<double> b(static_cast<std::size_t>(nodes), app.Cinit(2));
  std::vector<double> a2 = a, b2 = b;
  ChargedSweepPeak peak{app.Estart, -1e300};
  double before = app.Estart;
  for (int k = 1; k <= steps; ++k) {
    for (std::size_t j = 1; j + 1 < a.size(); ++j) {
      a2[j] = a[j] + lambda * (a[j + 1] - 2 * a[j] + a[j - 1]);
      b2[j] = b[j] + lambda * (b[j + 1] - 2 * b[j] + b[j - 1]);
    }
    std::swap(a, a2);
    std::swap(b, b2);
    const double sum = (4 * (a[1] + b[1]) - (a[2] + b[2])) / 3;  // no net flux of A + B
    auto faradaic = [&](double e) {
      const double theta = std::exp(std::clamp(f * (e - app.E0(1)), -700.0, 700.0));
      a[0] = theta * sum / (1 + theta);
      b[0] = sum - a[0];
      return nfad * (-3 * a[0] + 4 * a[1] - a[2]);
    };
    const double E = app.Estart + direction * v * k * dt;
    double low = E - 2, high = E + 2;
    for (int bisection = 0; bisection < 60; ++bisection) {
      const double mid = 0.5 * (low + high);
      const double g = mid - E - app.Ru * (faradaic(mid) + Q * (before - mid));
      (g > 0 ? high : low) = mid;
    }
    const double e = 0.5 * (low + high);
    const double total = faradaic(e) + Q * (before - e);
    before = e;
    if (total > peak.I) peak = {E, total};
  }
  return peak;
}

// The Jaeger-Clarke function tabulated in ln tau (16 a decade, 1e-4 to 1e8), cubic Lagrange
// between.
class JaegerClarkeTable {
 public:
  JaegerClarkeTable() {
    for (int i = 0; i <= kCount; ++i) value_[i] = std::log(JaegerClarke(std::exp(X(i))));
  }
  double operator()(double tau) const {
    const double x = std::log(tau);
    int i = std::clamp(static_cast<int>((x - X(0)) / kStep) - 1, 0, kCount - 3);
    double sum = 0;
    for (int a = i; a < i + 4; ++a) {
      double term = value_[a];
      for (int b = i; b < i + 4; ++b) {
        if (b != a) term *= (x - X(b)) / (X(a) - X(b));
      }
      sum += term;
    }
    return std::exp(sum);
  }

 private:
  static constexpr int kCount = 192;
  static constexpr double kStep = 2.302585092994046 / 16;
  static double X(int i) { return std::log(1e-4) + i * kStep; }
  double value_[kCount + 1];
};

}  // namespace kivex::simulation::physics
