#include "simulation/surface_conditions.h"

#include <algorithm>
#include <cmath>

#include "model/checked_math.h"

namespace kivex::simulation {

void BuildSurfaceConditions(const model::AppState& app, double delta, double h1,
                            double surfaceFactor, SurfaceConditions& surface) {
  surface = SurfaceConditions{};
  const int n = app.speciesCount;
  const int charges = app.chargeCount;
  surface.speciesCount = n;
  surface.chargeCount = charges;
  for (int r = 1; r <= charges; ++r) {
    surface.ox[r] = app.chargeSpecies(r, 1);
    surface.red[r] = app.chargeSpecies(r, 2);
  }
  auto isSpecies = [n](int s) { return s >= 1 && s <= n; };

  for (int s = 1; s <= n; ++s) {
    std::array<bool, kSpeciesSlots> upstream{};
    upstream[s] = true;
    for (bool grew = true; grew;) {
      grew = false;
      for (int r = 1; r <= charges; ++r) {
        const int O = surface.ox[r];
        const int R = surface.red[r];
        if (isSpecies(O) && isSpecies(R) && upstream[R] && !upstream[O]) {
          upstream[O] = true;
          grew = true;
        }
      }
    }

    surface.pattern[s][s] = 1.0;
    for (int t = 1; t <= n; ++t) {
      if (t != s && upstream[t]) surface.pattern[s][t] = model::Div(app.D(t), app.D(s));
    }
    for (int r = 1; r <= charges; ++r) {
      const int O = surface.ox[r];
      const int R = surface.red[r];
      if (isSpecies(O) && upstream[O] && !(isSpecies(R) && upstream[R])) {
        surface.kinetic[s] |= 1u << (r - 1);
      }
    }
    if (surface.kinetic[s] != 0) {
      surface.weight[s] = model::Div(surfaceFactor * delta * h1, app.D(s));
    }
  }
}

void BuildBoundaryMatrix(const SurfaceConditions& surface, const RateVector& kRed,
                         const RateVector& kOx, Block& B) {
  B = surface.pattern;
  for (int s = 1; s <= surface.speciesCount; ++s) {
    if (surface.kinetic[s] == 0) continue;
    const double w = surface.weight[s];
    for (int r = 1; r <= surface.chargeCount; ++r) {
      if ((surface.kinetic[s] & (1u << (r - 1))) == 0) continue;
      B[s][surface.ox[r]] += model::Finite(kRed[r] * w);
      B[s][surface.red[r]] -= model::Finite(kOx[r] * w);
    }
  }
}

void BuildFluxResponse(const SurfaceConditions& surface, const Block& reducedFirst,
                       const Block& surfaceProduct, const SpeciesVector& a1,
                       FluxResponse& response) {
  const int n = surface.speciesCount;
  response.zeroFlux = reducedFirst;
  for (int s = 1; s <= n; ++s) response.zeroFlux[s][s] -= a1[s];
  InvertMatrix(response.zeroFlux, n);
  for (int r = 1; r <= surface.chargeCount; ++r) {
    // D'(1) inv(P) w K, column r: the surface rows that transfer r's flux enters.
    SpeciesVector column{};
    for (int t = 1; t <= n; ++t) {
      for (int u = 1; u <= n; ++u) {
        if ((surface.kinetic[u] & (1u << (r - 1))) != 0) {
          column[t] += surfaceProduct[t][u] * surface.weight[u];
        }
      }
    }
    SpeciesVector& phi = response.phi[r];
    phi.fill(0.0);
    for (int s = 1; s <= n; ++s) {
      for (int t = 1; t <= n; ++t) phi[s] += response.zeroFlux[s][t] * column[t];
    }
  }
}

namespace {

// Gaussian elimination with partial pivoting on the rows scaled to unit size: the system has
// one row per transfer, and a row whose rate constants are huge must not swamp the others.
struct FluxSystem {
  // Left uninitialised: rows and columns 1..k are written before they are read.
  std::array<std::array<double, kChargeSlots>, kChargeSlots> m;
  std::array<double, kChargeSlots> scale;
  std::array<int, kChargeSlots> row;
  int k = 0;

  void Factor() {
    for (int r = 1; r <= k; ++r) {
      double largest = 0.0;
      for (int q = 1; q <= k; ++q) largest = std::max(largest, std::abs(m[r][q]));
      scale[r] = model::Div(1.0, largest);
      for (int q = 1; q <= k; ++q) m[r][q] *= scale[r];
      row[r] = r;
    }
    for (int i = 1; i <= k; ++i) {
      int pivot = i;
      for (int r = i + 1; r <= k; ++r) {
        if (std::abs(m[r][i]) > std::abs(m[pivot][i])) pivot = r;
      }
      std::swap(m[i], m[pivot]);
      std::swap(row[i], row[pivot]);
      for (int r = i + 1; r <= k; ++r) {
        m[r][i] = model::Div(m[r][i], m[i][i]);
        for (int q = i + 1; q <= k; ++q) m[r][q] -= m[r][i] * m[i][q];
      }
    }
  }

  // x = inv(A) b for the factored A; b in the original row order.
  void Solve(const RateVector& b, RateVector& x) const {
    RateVector y;
    for (int i = 1; i <= k; ++i) {
      double sum = b[row[i]] * scale[row[i]];
      for (int q = 1; q < i; ++q) sum -= m[i][q] * y[q];
      y[i] = sum;
    }
    for (int i = k; i >= 1; --i) {
      double sum = y[i];
      for (int q = i + 1; q <= k; ++q) sum -= m[i][q] * x[q];
      x[i] = model::Div(sum, m[i][i]);
    }
  }
};

}  // namespace

void SolveFluxes(const SurfaceConditions& surface, const FluxResponse& response,
                 const SpeciesVector& zeroFluxSurface, const RateVector& kRed,
                 const RateVector& kOx, RateVector& J, const RateSlopes* slope, RateVector* dJdE) {
  const int k = std::min(surface.chargeCount, model::kMaxCharge);
  const SpeciesVector& y = zeroFluxSurface;
  // The dummy species of an empty place stays at 1 and takes no flux.
  auto yOf = [&y](int s) { return s == 0 ? 1.0 : y[s]; };
  FluxSystem system;
  system.k = k;
  RateVector rhs;
  for (int r = 1; r <= k; ++r) {
    const int O = surface.ox[r];
    const int R = surface.red[r];
    for (int q = 1; q <= k; ++q) {
      system.m[r][q] =
          (r == q ? 1.0 : 0.0) + kRed[r] * response.phi[q][O] - kOx[r] * response.phi[q][R];
    }
    rhs[r] = kRed[r] * yOf(O) - kOx[r] * yOf(R);
  }
  system.Factor();
  system.Solve(rhs, J);
  if (slope == nullptr || dJdE == nullptr) return;

  // d(rate)/dE at fixed surface concentrations. Of the two terms of a flux, the smaller is
  // taken from its concentration and the larger from the flux, so that a depleted species,
  // whose surface value is a difference of nearly equal numbers, never enters times a huge
  // rate constant.
  auto surfaceOf = [&](int s) {
    if (s == 0) return 1.0;
    double value = y[s];
    for (int q = 1; q <= k; ++q) value -= response.phi[q][s] * J[q];
    return value;
  };
  RateVector d;
  for (int r = 1; r <= k; ++r) {
    double reduction = 0.0;
    double oxidation = 0.0;
    if (kRed[r] >= kOx[r]) {
      oxidation = kOx[r] * surfaceOf(surface.red[r]);
      reduction = J[r] + oxidation;
    } else {
      reduction = kRed[r] * surfaceOf(surface.ox[r]);
      oxidation = reduction - J[r];
    }
    d[r] = slope->red[r] * reduction - slope->ox[r] * oxidation;
  }
  system.Solve(d, *dJdE);
}

void SurfaceFromFluxes(const SurfaceConditions& surface, const FluxResponse& response,
                       const SpeciesVector& zeroFluxSurface, const RateVector& J,
                       SpeciesVector& c0) {
  const int k = std::min(surface.chargeCount, model::kMaxCharge);
  for (int s = 1; s <= surface.speciesCount; ++s) {
    double value = zeroFluxSurface[s];
    for (int q = 1; q <= k; ++q) value -= response.phi[q][s] * J[q];
    c0[s] = value;
  }
}

}  // namespace kivex::simulation
