#include "model/two_species_equilibrium.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>

namespace kivex::model {

namespace {

// The places on the X side lose d, those on the Y side gain it; none may go below zero
// (up to rounding in the roots).
bool Admissible(TwoSpeciesForm form, const std::array<double, 4>& C, double d) {
  double scale = 0.0;
  for (int q = 1; q <= 4; ++q) {
    if (UsesPlace(form, q)) scale = std::max(scale, std::fabs(C[q - 1]));
  }
  const double tolerance = 1e-9 * scale;
  for (int q = 1; q <= 4; ++q) {
    if (!UsesPlace(form, q)) continue;
    const double after = q <= 2 ? C[q - 1] - d : C[q - 1] + d;
    if (after < -tolerance) return false;
  }
  return true;
}

}  // namespace

TwoSpeciesForm FormOfRow(bool secondFilled, bool fourthFilled) {
  if (!fourthFilled) return TwoSpeciesForm::kCombination;
  if (!secondFilled) return TwoSpeciesForm::kDissociation;
  return TwoSpeciesForm::kExchange;
}

bool UsesPlace(TwoSpeciesForm form, int q) {
  switch (form) {
    case TwoSpeciesForm::kCombination: return q != 4;
    case TwoSpeciesForm::kDissociation: return q != 2;
    case TwoSpeciesForm::kExchange: return true;
  }
  return false;
}

Quadratic TwoSpeciesQuadratic(TwoSpeciesForm form, double K, const std::array<double, 4>& C) {
  const double C1 = C[0], C2 = C[1], C3 = C[2], C4 = C[3];
  switch (form) {
    case TwoSpeciesForm::kCombination: return {K, -(K * (C1 + C2) + 1.0), K * C1 * C2 - C3};
    case TwoSpeciesForm::kDissociation: return {1.0, K + C3 + C4, C3 * C4 - K * C1};
    case TwoSpeciesForm::kExchange:
      return {1.0 - K, K * (C1 + C2) + C3 + C4, C3 * C4 - K * C1 * C2};
  }
  return {};
}

std::optional<double> TwoSpeciesAdvancement(TwoSpeciesForm form, double K,
                                            const std::array<double, 4>& C) {
  const Quadratic q = TwoSpeciesQuadratic(form, K, C);
  const double discriminant = q.b * q.b - 4.0 * q.a * q.c;
  if (q.a == 0.0 || !(discriminant >= 0.0) || !std::isfinite(discriminant)) return std::nullopt;

  // Both roots without cancellation: s = -(b + sign(b) sqrt(D)) / 2 gives s / a and c / s.
  const double root = std::sqrt(discriminant);
  double r1, r2;
  if (q.b >= 0.0) {
    const double s = -(q.b + root) / 2.0;
    r1 = s / q.a;
    r2 = s != 0.0 ? q.c / s : r1;  // s = 0 only when b = c = 0: a double root at 0
  } else {
    const double s = (root - q.b) / 2.0;
    r2 = s / q.a;
    r1 = q.c / s;
  }
  if (!std::isfinite(r1) || !std::isfinite(r2)) return std::nullopt;

  double chosen = r2;
  double other = r1;
  if (!(r1 < 0.0)) {
    chosen = (r2 < 0.0) ? r1 : std::min(r1, r2);
    other = (chosen == r1) ? r2 : r1;
  }
  if (!Admissible(form, C, chosen) && Admissible(form, C, other)) return other;
  return chosen;
}

std::optional<double> NetAdvancement(double K, const std::array<NetSpecies, 4>& species) {
  // P(d) = prod over nu > 0 of (C + nu d)^nu - K prod over nu < 0 of (C + nu d)^-nu, as the
  // coefficients p[0] + p[1] d + p[2] d^2; each side holds at most two factors.
  std::array<double, 3> products{1.0, 0.0, 0.0};
  std::array<double, 3> reactants{1.0, 0.0, 0.0};
  double lowest = -HUGE_VAL;  // the admissible advancements
  double highest = HUGE_VAL;
  bool anyProduct = false;
  bool anyReactant = false;
  for (const NetSpecies& s : species) {
    if (s.nu == 0) continue;
    std::array<double, 3>& side = s.nu > 0 ? products : reactants;
    for (int k = 0; k < std::abs(s.nu); ++k) {
      side = {side[0] * s.C, side[1] * s.C + side[0] * s.nu, side[2] * s.C + side[1] * s.nu};
    }
    if (s.nu > 0) {
      anyProduct = true;
      lowest = std::max(lowest, -s.C / s.nu);
    } else {
      anyReactant = true;
      highest = std::min(highest, s.C / -s.nu);
    }
  }
  if (!anyProduct || !anyReactant) return std::nullopt;
  const double a = products[2] - K * reactants[2];
  const double b = products[1] - K * reactants[1];
  const double c = products[0] - K * reactants[0];
  std::array<double, 2> roots{};
  std::size_t count = 0;
  if (a == 0.0) {
    if (b == 0.0) return std::nullopt;
    roots[count++] = -c / b;
  } else {
    const double discriminant = b * b - 4.0 * a * c;
    if (!(discriminant >= 0.0)) return std::nullopt;
    // Both roots without cancellation.
    const double s = -(b + std::copysign(std::sqrt(discriminant), b)) / 2.0;
    roots[count++] = s / a;
    if (s != 0.0) roots[count++] = c / s;
  }
  // The root inside the admissible interval; rounding may put it just outside, so the nearest.
  std::optional<double> best;
  double bestDistance = HUGE_VAL;
  for (std::size_t k = 0; k < count; ++k) {
    const double d = roots[k];
    if (!std::isfinite(d)) continue;
    const double distance = std::max({lowest - d, d - highest, 0.0});
    if (distance < bestDistance) {
      best = d;
      bestDistance = distance;
    }
  }
  return best;
}

}  // namespace kivex::model
