#pragma once
// Pre-equilibration of a chemical reaction with up to two species on each side,
// X1 + X2 = Y1 + Y2 with K = [Y1][Y2] / ([X1][X2]) (an empty place counts as 1).
//
// The advancement d (mol/L moved from the X side to the Y side) solves a d^2 + b d + c = 0:
//   X1 + X2 = Y1       a = K      b = -(K (C1 + C2) + 1)       c = K C1 C2 - C3
//   X1 = Y1 + Y2       a = 1      b = K + C3 + C4              c = C3 C4 - K C1
//   X1 + X2 = Y1 + Y2  a = 1 - K  b = K (C1 + C2) + C3 + C4    c = C3 C4 - K C1 C2
// With r1 = (-b - sqrt(D)) / 2a and r2 = (-b + sqrt(D)) / 2a the root taken is r2 when r1 < 0,
// otherwise r1 when r2 < 0, otherwise the smaller one, unless that root would leave a place
// with a negative concentration and the other one would not (products in excess of
// equilibrium, where the reaction runs backwards).

#include <array>
#include <optional>

namespace kivex::model {

enum class TwoSpeciesForm {
  kCombination,   // X1 + X2 = Y1 (fourth place empty)
  kDissociation,  // X1 = Y1 + Y2 (second place empty)
  kExchange,      // X1 + X2 = Y1 + Y2
};

// The form of a row from which of its places are filled; the fourth place decides first.
TwoSpeciesForm FormOfRow(bool secondFilled, bool fourthFilled);

// Whether the form reads place q (1..4).
bool UsesPlace(TwoSpeciesForm form, int q);

struct Quadratic {
  double a = 0;
  double b = 0;
  double c = 0;
};

// C holds the concentrations of places 1..4 at [0..3]; unused places are ignored.
Quadratic TwoSpeciesQuadratic(TwoSpeciesForm form, double K, const std::array<double, 4>& C);

// The advancement, or nothing when the step cannot be solved: a = 0, a negative discriminant,
// or a value that overflows.
std::optional<double> TwoSpeciesAdvancement(TwoSpeciesForm form, double K,
                                            const std::array<double, 4>& C);

// One species of a row with its net stoichiometric number: +1 for each place it fills on the Y
// side, -1 for each on the X side (A + B = A + C: A 0, B -1, C +1; A + A = C: A -2, C +1).
struct NetSpecies {
  int nu = 0;
  double C = 0;  // its concentration before the step
};

// The advancement d of a row written by net stoichiometry, so that a species in two places counts
// twice (or not at all, as a catalyst on both sides): prod (C + nu d)^nu = K over the species with
// nu != 0. The equation is at most quadratic; the root taken is the one that leaves every
// concentration non-negative, where the left side grows monotonically with d. Nothing when the
// row has no species left on a side, or no root is real.
std::optional<double> NetAdvancement(double K, const std::array<NetSpecies, 4>& species);

}  // namespace kivex::model
