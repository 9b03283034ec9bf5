#pragma once
// Pre-equilibration of the initial concentrations, as the Chemicals dialog shows them.
//
// The concentrations live in the dialog's labels, so every step reads the values as displayed
// (four significant digits, pattern "0.###e-#") and writes its results back in that pattern;
// a later step works on what an earlier one showed. A step that cannot be computed (a species
// index of 0, an overflow, a division by zero, a quadratic without a usable root) is skipped
// whole and leaves every label as it was.
//
//   ConcentrationLabels labels = {"", "1.e-3", "0.e0", ...};
//   EquilibrateCouple(labels, {1, 2, 1.0, 0.1}, 38.923, 0.3);
//   // labels[1] == "9.996e-4", labels[2] == "4.159e-7": [B]/[A] = exp(n f (E0 - E))

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "model/app_state.h"

namespace kivex::ui {

inline constexpr std::string_view kConcentrationPattern = "0.###e-#";

// The initial-concentration labels of species 1..6; slot 0 is never used.
using ConcentrationLabels = std::array<std::string, model::kMaxSpecies + 1>;

// The label text of a concentration.
std::string ConcentrationText(double value);

// A charge couple ox + n e = red (species indexes, 0 for none) with its standard potential.
struct Couple {
  int ox = 0;
  int red = 0;
  double n = 1;   // electrons
  double E0 = 0;  // V
};

// X = Y with K = [Y] / [X].
struct FirstOrderEquilibrium {
  int x = 0;
  int y = 0;
  double K = 0;
};

// X1 + X2 = Y1 + Y2; a place of 0 is an empty box.
struct TwoSpeciesEquilibrium {
  std::array<int, 4> places{};
  double K = 0;
};

// Nernst equilibrium at the potential E: [red] / [ox] becomes exp(n f (E0 - E)) and the sum
// of the two stays.
void EquilibrateCouple(ConcentrationLabels& labels, const Couple& couple, double fOverRT, double E);

// [Y] / [X] becomes K; X is raised to 0 if it would go negative (Y is not corrected). A K of 0
// (an empty label) leaves the reaction out.
void EquilibrateFirstOrder(ConcentrationLabels& labels, const FirstOrderEquilibrium& reaction);

// The two-species rule (two_species_equilibrium.h); the X places are raised to 0 if they would
// go negative, and empty places are not written. A K of 0 leaves the reaction out.
void EquilibrateTwoSpecies(ConcentrationLabels& labels, const TwoSpeciesEquilibrium& reaction);

// Every step in order: the couples, then X = Y, then the two-species reactions.
struct PreEquilibration {
  double fOverRT = 0;  // 1/V; not positive (no valid temperature yet) leaves the couples out
  double Estart = 0;   // V
  std::vector<Couple> couples;
  std::vector<FirstOrderEquilibrium> firstOrder;
  std::vector<TwoSpeciesEquilibrium> twoSpecies;
};
void PreEquilibrate(ConcentrationLabels& labels, const PreEquilibration& steps);

}  // namespace kivex::ui
