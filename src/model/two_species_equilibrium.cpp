#include "model/two_species_equilibrium.h"

#include <algorithm>
#include <cmath>

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

}  // namespace kivex::model
