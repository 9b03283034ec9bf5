#pragma once
// The initial concentrations of the solution: the concentrations it is made up with, brought to
// equilibrium at the starting potential (pre-equilibration) and, after a preconcentration step,
// with the reduced species of charge reaction 1 enriched in the electrode. One computation for
// every caller: the Chemicals dialog, whose captions Simulate uses, and the fit, which derives
// them from its trial values.
//
// Pre-equilibration runs its steps in order, each on what the one before left:
//   1. each charge couple ox + n e = red to Nernst equilibrium at E start: [red] / [ox] becomes
//      exp(n f (E0 - E start)), the sum of the two stays;
//   2. each first-order reaction X = Y to [Y] / [X] = K (X raised to 0 if it would go negative,
//      Y not corrected for that);
//   3. each two-species reaction by the rule of two_species_equilibrium.h (X places raised to 0,
//      empty places not written); a row with a species in two places, or without its first
//      species on a side, by its net stoichiometry (A + A = C, the catalyst of A + B = A + C).
// A reaction with K = 0 (no equilibrium constant shown yet) is left out, and so are the couples
// while f = F/RT is not positive (no temperature committed). A step that cannot be computed (a
// species index of 0, an overflow, a division by zero, a quadratic without a usable root) is
// skipped whole and leaves every concentration as it was. Preconcentration then sets species 2 to
// the analytical concentration of species 1 times PreconcentrationFactor; when the factor fails,
// species 2 keeps what pre-equilibration gave. Each skipped step is noted, with why, for the
// caller that asks, so that the user hears of a run that starts from unequilibrated values.
//
// `round` is applied to every concentration as the computation starts and to every value a step
// writes, so that with the dialog's rounding to its four-digit captions each step works on the
// values as displayed; the fit passes FullPrecision, since its model must change smoothly with
// the trial values, which rounding between steps would turn into a staircase.
//
//   SolutionPreparation prep;                // default couple A + e = B, 25 C, E start 0.3 V
//   prep.analytical[1] = 1e-3;
//   prep.preEquilibrate = true;
//   prep.fOverRT = 38.923; prep.Estart = 0.3; prep.n[1] = 1; prep.E0[1] = 0.1;
//   Concentrations c = InitialConcentrations(app, prep);
//   // c[1] = 9.99584e-4 and c[2] = 4.159e-7 (to four digits): [B]/[A] = exp(f (E0 - E start))

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "model/app_state.h"
#include "model/preconcentration_factor.h"

namespace kivex::model {

// Species 1..6 (M); slot 0 is never used.
using Concentrations = std::array<double, kMaxSpecies + 1>;

// What the initial concentrations depend on besides the reaction scheme, as numbers.
struct SolutionPreparation {
  Concentrations analytical{};  // M, as made up
  bool preEquilibrate = false;
  double fOverRT = 0;                       // 1/V; not positive leaves the couples out
  double Estart = 0;                        // V
  std::array<double, kMaxCharge + 1> n{};   // electrons of charge reaction 1..3
  std::array<double, kMaxCharge + 1> E0{};  // V
  std::array<double, kMaxChem + 1> Keq{};   // chemical reaction 1..4, 0 for none
  bool preconcentrate = false;
  // The deposit's Nernst ratio is that of charge reaction 1: its n and E0 here are not read,
  // n[1] and E0[1] are.
  PreconcentrationInput preconcentration{};
};

// A step the computation skipped: which ("the pre-equilibration of chemical reaction 2", "the
// preconcentration") and why (a failure's description, or "no usable root").
struct SkippedStep {
  std::string step;
  std::string reason;
};
inline constexpr std::string_view kPreconcentrationStep = "the preconcentration";

// Applied to each concentration the computation holds (see above).
using Rounding = double (*)(double);
inline double FullPrecision(double value) { return value; }

// The initial concentrations for the reaction scheme of `scheme` (chargeCount, chargeSpecies,
// chemCount, chemSpecies, chem2Count, chem2Species; nothing else is read). Raises Failure only
// when `round` does on an analytical concentration. The steps it skipped are added to `skipped`
// when given.
Concentrations InitialConcentrations(const AppState& scheme, const SolutionPreparation& prep,
                                     Rounding round = FullPrecision,
                                     std::vector<SkippedStep>* skipped = nullptr);

// Every value of `prep` that the experiment state holds: f, E start, n, E0 and Keq of every
// reaction, and the temperature, electrode and solution values of the preconcentration. The
// analytical concentrations, the two choices and the deposition settings stay as they are.
void TakeExperimentValues(const AppState& app, SolutionPreparation& prep);

}  // namespace kivex::model
