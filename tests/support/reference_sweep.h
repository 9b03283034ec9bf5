#pragma once
// An independent solution of a linear sweep at a plane, written apart from the program's digital
// route to measure how far that route is from converged: finite volumes on a smoothly stretched
// grid (second order), the second-order backward formula in time with many steps per point, the
// potential ramped linearly between the points' potentials (the first point held), Butler-Volmer
// kinetics at the electrode and first-order chemistry, every step one block-tridiagonal solve
// with dense species blocks. Second-order chemistry, resistance and double layer are left out.

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "model/app_state.h"
#include "model/physical_constants.h"
#include "support/experiments.h"

namespace kivex::testing {

struct ReferenceResolution {
  int nodes = 300;         // grid nodes from the electrode to six diffusion lengths
  int stepsPerPoint = 20;  // time steps between two points of the sweep
};

namespace reference_detail {

constexpr int kMax = 6;
using Vec = std::array<double, kMax>;
using Mat = std::array<Vec, kMax>;
using Wide = std::array<std::array<double, kMax + 1>, kMax>;  // a block and one more column

// Solves a x = b for the n + 1 columns of b by elimination with partial pivoting; a is destroyed.
inline void SolveDense(int n, Mat& a, Wide& b) {
  for (int k = 0; k < n; ++k) {
    int pivot = k;
    for (int i = k + 1; i < n; ++i) {
      if (std::fabs(a[i][k]) > std::fabs(a[pivot][k])) pivot = i;
    }
    std::swap(a[k], a[pivot]);
    std::swap(b[k], b[pivot]);
    for (int i = k + 1; i < n; ++i) {
      const double f = a[i][k] / a[k][k];
      for (int j = k; j < n; ++j) a[i][j] -= f * a[k][j];
      for (int j = 0; j <= n; ++j) b[i][j] -= f * b[k][j];
    }
  }
  for (int k = n - 1; k >= 0; --k) {
    for (int j = 0; j <= n; ++j) {
      for (int i = k + 1; i < n; ++i) b[k][j] -= a[k][i] * b[i][j];
      b[k][j] /= a[k][k];
    }
  }
}

}  // namespace reference_detail

// The total current (A, reduction positive) at each potential of `E`, point i sampled at time
// i tDrop. Planar electrode of app.area; species, transfers and first-order chemistry of `app`.
inline std::vector<double> ReferenceSweep(const model::AppState& app, const std::vector<double>& E,
                                          const ReferenceResolution& resolution = {}) {
  using namespace reference_detail;
  const int n = app.speciesCount, J = resolution.nodes, K = resolution.stepsPerPoint;
  const double dt = app.tDrop / K;
  const double f = model::kFaraday / (model::kGasConstant * app.temperature);

  // The grid: x_j = L (e^(a j / J) - 1) / (e^a - 1), its first box 1/40 of the thinnest layer
  // (diffusion in one step, or a reaction layer).
  double Dmax = 0, Dmin = 1e300, kmax = 0;
  for (int s = 1; s <= n; ++s) Dmax = std::max(Dmax, app.D(s)), Dmin = std::min(Dmin, app.D(s));
  for (int q = 1; q <= app.chemCount; ++q) kmax = std::max({kmax, app.kf(q), app.kb(q)});
  const double L = 6 * std::sqrt(Dmax * app.tDrop * static_cast<double>(E.size() + 1));
  double thinnest = std::sqrt(Dmin * app.tDrop);
  if (kmax > 0) thinnest = std::min(thinnest, std::sqrt(Dmin / kmax));
  double lo = 1e-9, hi = 60;  // the stretch a giving that first box
  for (int it = 0; it < 200; ++it) {
    const double a = 0.5 * (lo + hi);
    (L * std::expm1(a / J) / std::expm1(a) > 0.025 * thinnest ? lo : hi) = a;
  }
  const double a = 0.5 * (lo + hi);
  std::vector<double> x(J + 1);
  for (int j = 0; j <= J; ++j) x[j] = L * std::expm1(a * j / J) / std::expm1(a);

  Vec bulk{};
  for (int s = 0; s < n; ++s) bulk[s] = app.Cinit(s + 1) * 1e-3;  // mol/cm3
  std::vector<Vec> c(J + 1, bulk), back(J + 1, bulk), rhs(J + 1), dp(J + 1);
  std::vector<Mat> Cp(J + 1);  // eliminated upper blocks

  // The chemistry's Jacobian (per volume), the same everywhere.
  Mat chem{};
  for (int q = 1; q <= app.chemCount; ++q) {
    const int X = app.chemSpecies(q, 1) - 1, Y = app.chemSpecies(q, 2) - 1;
    if (X < 0 || Y < 0) continue;
    chem[X][X] -= app.kf(q), chem[X][Y] += app.kb(q);
    chem[Y][X] += app.kf(q), chem[Y][Y] -= app.kb(q);
  }
  // Each electron transfer at potential e with its rate constants of reduction and oxidation over
  // ks: the electrode's rows (d(c0)/dt gains surf c0 over the surface box) and the current.
  auto transfers = [&](double e, const auto& use) {
    for (int r = 1; r <= app.chargeCount; ++r) {
      const int ox = app.chargeSpecies(r, 1) - 1, red = app.chargeSpecies(r, 2) - 1;
      if (ox < 0 || red < 0) continue;
      const double eta = app.n(r) * f * (e - app.E0(r));
      use(r, ox, red, std::exp(-app.alpha(r) * eta), std::exp((1 - app.alpha(r)) * eta));
    }
  };
  auto current = [&](double e) {
    double I = 0;
    transfers(e, [&](int r, int ox, int red, double fRed, double fOx) {
      I +=
          app.n(r) * model::kFaraday * app.area * (app.ks(r) * (fRed * c[0][ox] - fOx * c[0][red]));
    });
    return I;
  };

  // One step to potential e: backward Euler (gamma 1) or the second-order formula (gamma 2/3,
  // right-hand side (4 c - c_back) / 3).
  auto step = [&](double e, bool bdf2) {
    const double g = bdf2 ? dt * 2 / 3 : dt;
    for (int j = 0; j < J; ++j) {
      for (int s = 0; s < n; ++s) rhs[j][s] = bdf2 ? (4 * c[j][s] - back[j][s]) / 3 : c[j][s];
    }
    back = c;
    Mat surf{};
    transfers(e, [&](int r, int ox, int red, double fRed, double fOx) {
      const double kRed = app.ks(r) * fRed, kOx = app.ks(r) * fOx;
      surf[ox][ox] -= kRed, surf[ox][red] += kOx;
      surf[red][ox] += kRed, surf[red][red] -= kOx;
    });
    for (int j = 0; j < J; ++j) {
      // Box width w, conductances to the left and right neighbours.
      const double w = j == 0 ? x[1] / 2 : (x[j + 1] - x[j - 1]) / 2;
      const double left = j == 0 ? 0 : 1 / (x[j] - x[j - 1]);
      const double right = 1 / (x[j + 1] - x[j]);
      Mat B{};
      Wide rhsBlock{};
      for (int s = 0; s < n; ++s) {
        for (int t = 0; t < n; ++t) B[s][t] = -g * chem[s][t] - (j == 0 ? g * surf[s][t] / w : 0);
        B[s][s] += 1 + g * app.D(s + 1) * (left + right) / w;
        rhsBlock[s][s] = -g * app.D(s + 1) * right / w;  // upper block
        rhsBlock[s][n] = rhs[j][s];
        if (j > 0) {  // minus lower block times the eliminated unknowns before
          const double lower = -g * app.D(s + 1) * left / w;
          rhsBlock[s][n] -= lower * dp[j - 1][s];
          for (int t = 0; t < n; ++t) B[s][t] -= lower * Cp[j - 1][s][t];
        }
        if (j == J - 1) rhsBlock[s][n] -= rhsBlock[s][s] * bulk[s];  // the bulk beyond is known
      }
      SolveDense(n, B, rhsBlock);
      for (int s = 0; s < n; ++s) {
        for (int t = 0; t < n; ++t) Cp[j][s][t] = j == J - 1 ? 0 : rhsBlock[s][t];
        dp[j][s] = rhsBlock[s][n];
      }
    }
    for (int j = J - 1; j >= 0; --j) {
      for (int s = 0; s < n; ++s) {
        c[j][s] = dp[j][s];
        for (int t = 0; j < J - 1 && t < n; ++t) c[j][s] -= Cp[j][s][t] * c[j + 1][t];
      }
    }
  };

  std::vector<double> I;
  for (std::size_t i = 0; i < E.size(); ++i) {
    const double from = E[i > 0 ? i - 1 : 0];
    double e = from;
    for (int k = 1; k <= K; ++k) step(e = from + (E[i] - from) * k / K, i > 0 || k > 1);
    I.push_back(current(e));
  }
  return I;
}

// The sweeps the digital route's convergence is measured on: a cycle 0.3 V -> -0.3 V -> 0.3 V at
// 10 mV/s in steps of `step`, 1 mM of A, of a fast couple, a slow one, an EC and two couples
// each followed by a reaction.
enum class SweepCase { Reversible, Slow, EC, SixSpecies };
inline constexpr SweepCase kSweepCases[] = {SweepCase::Reversible, SweepCase::Slow, SweepCase::EC,
                                            SweepCase::SixSpecies};

inline const char* NameOf(SweepCase c) {
  static const char* const names[] = {"A + e = B, ks 1e4 cm/s", "A + e = B, ks 1e-3 cm/s",
                                      "A + e = B, B -> C 1000 /s",
                                      "A + e = B, C + e = D, B -> E, D -> F"};
  return names[static_cast<int>(c)];
}

inline model::AppState SweepCaseExperiment(SweepCase c, double step) {
  model::AppState app = CoupleExperiment();
  app.scanRate = 0.01, app.cycles = 1;
  app = WithStep(app, step);
  switch (c) {
    case SweepCase::Reversible: break;
    case SweepCase::Slow: app.ks(1) = 1e-3; break;
    case SweepCase::EC:
      app.speciesCount = 3;
      AddFirstOrder(app, 2, 3, 1000, 0);
      break;
    case SweepCase::SixSpecies:
      app.speciesCount = 6;
      app.Cinit(3) = 1e-3;
      AddTransfer(app, 3, 4, -0.15);
      AddFirstOrder(app, 2, 5, 1, 0);
      AddFirstOrder(app, 4, 6, 10, 0);
      break;
  }
  return app;
}

// The largest and the rms deviation of `I` from `reference` over the whole curve, each over the
// reference's largest magnitude.
struct Deviation {
  double largest = 0, rms = 0;
};

inline Deviation DeviationOf(const std::vector<double>& I, const std::vector<double>& reference) {
  double peak = 0, largest = 0, squares = 0;
  for (std::size_t i = 0; i < I.size(); ++i) {
    peak = std::max(peak, std::fabs(reference[i]));
    largest = std::max(largest, std::fabs(I[i] - reference[i]));
    squares += (I[i] - reference[i]) * (I[i] - reference[i]);
  }
  return {largest / peak, std::sqrt(squares / static_cast<double>(I.size())) / peak};
}

}  // namespace kivex::testing
