#include "simulation/surface_conditions.h"

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

}  // namespace kivex::simulation
