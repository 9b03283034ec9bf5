// Pre-equilibration at the starting potential, as the dialog shows it or in full precision.

#include "model/initial_concentrations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "model/failure.h"
#include "model/number_format.h"
#include "model/number_text.h"
#include "model/preconcentration_factor.h"

namespace kivex::model {
namespace {

const double kFOverRT = (kFaraday / kGasConstant) / 298.14;  // 25 degrees C

// The Chemicals dialog's captions: four significant digits, read back as shown.
std::string Shown(double value) { return FormatPattern(value, "0.###e-#"); }
double FourDigits(double value) { return ReadNumber(Shown(value)); }

struct Reaction {
  std::array<int, 4> species;  // couple: ox, red; X = Y: X, Y; two-species: X1, X2, Y1, Y2
  double constant;             // couple: E0 (with n = 1 unless set); otherwise K
  double n = 1;
};

// A scheme of couples, X = Y reactions and two-species reactions, at 25 degrees C and E start.
struct Solution {
  AppState scheme;
  SolutionPreparation prep;

  Solution(std::initializer_list<double> analytical, std::initializer_list<Reaction> couples,
           std::initializer_list<Reaction> firstOrder = {},
           std::initializer_list<Reaction> twoSpecies = {}, double Estart = 0.3)
      : prep{.preEquilibrate = true, .fOverRT = kFOverRT, .Estart = Estart} {
    std::copy(analytical.begin(), analytical.end(), prep.analytical.begin() + 1);
    for (const Reaction& r : couples) {
      const int j = ++scheme.chargeCount;
      scheme.chargeSpecies(j, 1) = r.species[0], scheme.chargeSpecies(j, 2) = r.species[1];
      prep.E0[j] = r.constant, prep.n[j] = r.n;
    }
    for (const Reaction& r : firstOrder) {
      const int k = ++scheme.chemCount;
      scheme.chemSpecies(k, 1) = r.species[0], scheme.chemSpecies(k, 2) = r.species[1];
      prep.Keq[k] = r.constant;
    }
    for (const Reaction& r : twoSpecies) {
      const int j = ++scheme.chem2Count;
      for (int q = 1; q <= 4; ++q) scheme.chem2Species(j, q) = r.species[q - 1];
      prep.Keq[scheme.chemCount + j] = r.constant;
    }
  }
  Concentrations Shown() const { return InitialConcentrations(scheme, prep, FourDigits); }
  Concentrations Full() const { return InitialConcentrations(scheme, prep); }
};

// 1 mM of A at the start; A, B and C as shown afterwards.
TEST(PreEquilibration, CouplesThenChemistryReachEquilibriumAtTheStartingPotential) {
  const std::pair<Solution, const char*> cases[] = {
      // A + e = B, E0 0.1 V, start at 0.3 V: [B]/[A] = exp(-0.2 f) = 4.16e-4.
      {Solution({1e-3}, {{{1, 2}, 0.1}}), "9.996e-4 4.159e-7 0.e0"},
      // Far beyond E0 all is reduced, far before it nothing, without overflow.
      {Solution({1e-3}, {{{1, 2}, 100.0, 3}}, {}, {}, -100.0), "0.e0 1.e-3 0.e0"},
      {Solution({1e-3}, {{{1, 2}, -100.0, 3}}, {}, {}, 100.0), "1.e-3 0.e0 0.e0"},
      // Then C = A with K = [A]/[C] = 1000, on the charge step's shown values: 9.996e-4 * 1000 /
      // 1001 of A.
      {Solution({1e-3}, {{{1, 2}, 0.1}}, {{{3, 1}, 1000.0}}), "9.986e-4 4.159e-7 9.986e-7"},
  };
  for (const auto& [solution, shown] : cases) {
    const Concentrations c = solution.Shown();
    EXPECT_EQ(Shown(c[1]) + " " + Shown(c[2]) + " " + Shown(c[3]), shown);
  }
}

TEST(PreEquilibration, LeftOutWithoutTemperatureOrWhenNotChosen) {
  Solution s({1e-3}, {{{1, 2}, 0.1}}, {{{3, 1}, 1000.0}});
  s.prep.fOverRT = 0.0;  // no temperature committed: the couple is left out, the chemistry runs
  Concentrations c = s.Shown();
  EXPECT_EQ(Shown(c[1]), "9.99e-4");
  EXPECT_EQ(c[2], 0.0);
  s.prep.preEquilibrate = false;
  c = s.Shown();
  EXPECT_EQ(c[1], 1e-3);
  EXPECT_EQ(c[3], 0.0);
}

// The captions are the full-precision result rounded once for a single step; between steps the
// dialog's rounding carries into the next one, full precision keeps the exact equilibria.
TEST(PreEquilibration, FullPrecisionKeepsTheExactEquilibria) {
  const Solution nernst({1e-3, 2e-4}, {{{1, 2}, 0.1}});
  const Concentrations full = nernst.Full();
  const Concentrations shown = nernst.Shown();
  const double theta = std::exp(kFOverRT * (0.1 - 0.3));
  EXPECT_NEAR(full[2] / full[1], theta, 1e-12 * theta);
  EXPECT_NEAR(full[1] + full[2], 1.2e-3, 1e-18);
  for (int i = 1; i <= 2; ++i) EXPECT_EQ(shown[i], FourDigits(full[i])) << i;

  const Solution two({1e-3}, {{{1, 2}, 0.1}}, {{{3, 1}, 1000.0}});
  const Concentrations exact = two.Full();
  EXPECT_NEAR(exact[1] / exact[3], 1000.0, 1e-9);
  EXPECT_NE(exact[3], two.Shown()[3]);
}

TEST(PreEquilibration, StepsThatCannotBeComputedLeaveEveryConcentration) {
  const std::initializer_list<double> start = {1e-3, 2e-4, 3e-5, 0, 0, 0};
  const Solution failing(start, {{{0, 2}, 0.1}, {{1, 7}, 0.1}},  // no oxidised form; no species 7
                         {{{1, 2}, 0.0}, {{1, 2}, -1.0}},        // no Keq yet; K + 1 = 0
                         {{{1, 2, 3, 4}, 1.0}, {{1, 0, 0, 0}, 5.0}});  // a = 0; no product
  const Solution negative(start, {}, {}, {{{1, 0, 3, 4}, -1e-3}});     // negative discriminant
  for (const Solution* s : {&failing, &negative}) {
    EXPECT_EQ(s->Shown(), s->Full());
    EXPECT_EQ(s->Full(), (Concentrations{0, 1e-3, 2e-4, 3e-5, 0, 0, 0}));
  }
  // Each is noted with why (K = 0 is left out, not skipped); the two-species reactions are
  // numbered after the first-order ones.
  std::vector<SkippedStep> skipped;
  InitialConcentrations(failing.scheme, failing.prep, FullPrecision, &skipped);
  InitialConcentrations(negative.scheme, negative.prep, FullPrecision, &skipped);
  std::vector<std::string> noted(skipped.size());
  std::transform(skipped.begin(), skipped.end(), noted.begin(),
                 [](const SkippedStep& step) { return step.step + ": " + step.reason; });
  const std::string couple = "the pre-equilibration of charge reaction ";
  const std::string chemical = "the pre-equilibration of chemical reaction ";
  const std::string index = " at the starting potential: Subscript out of range";
  EXPECT_EQ(noted, (std::vector<std::string>{
                       couple + "1" + index, couple + "2" + index, chemical + "2: Division by zero",
                       chemical + "3: no usable root", chemical + "4: no usable root",
                       chemical + "1: no usable root"}));
}

// Two-species rows against their mass balances solved here by hand, the forms' and those they
// cannot express.
TEST(PreEquilibration, SpeciesInTwoPlacesCountTwice) {
  const double K = 1000.0, C0 = 1e-3;
  // A + B = C beside D, which it leaves: K (C0 - x)(2 C0 - x) = x, so K x^2 - (3 K C0 + 1) x +
  // 2 K C0^2 = 0.
  const Concentrations pair = Solution({C0, 2 * C0, 0, 5e-4}, {}, {}, {{{1, 2, 3, 0}, K}}).Full();
  const double b = 3 * K * C0 + 1, x = (b - std::sqrt(b * b - 8 * K * K * C0 * C0)) / (2 * K);
  EXPECT_EQ(pair[4], 5e-4);
  EXPECT_NEAR(pair[3], x, 1e-12 * C0);
  EXPECT_NEAR(pair[1], C0 - x, 1e-12 * C0);
  // A + A = C: [C] = K [A]^2 with [A] + 2 [C] = C0, so 2 K A^2 + A - C0 = 0.
  const Concentrations dimer = Solution({C0}, {}, {}, {{{1, 1, 3, 0}, K}}).Full();
  const double A = (std::sqrt(1.0 + 8.0 * K * C0) - 1.0) / (4.0 * K);
  EXPECT_NEAR(dimer[1], A, 1e-12 * C0);
  EXPECT_NEAR(dimer[3], (C0 - A) / 2.0, 1e-12 * C0);
  // A + B = A + C, A a catalyst: [C]/[B] = K with [B] + [C] = C0, A untouched.
  const Concentrations catalyst = Solution({C0, C0}, {}, {}, {{{1, 2, 1, 3}, 10.0}}).Full();
  EXPECT_EQ(catalyst[1], C0);
  EXPECT_NEAR(catalyst[2], C0 / 11.0, 1e-12 * C0);
  EXPECT_NEAR(catalyst[3], 10.0 * C0 / 11.0, 1e-12 * C0);
  // B + B = A + A from the products' side: [A]^2 / [B]^2 = K with [A] + [B] = C0.
  const Concentrations swap = Solution({C0}, {}, {}, {{{2, 2, 1, 1}, 4.0}}).Full();
  EXPECT_NEAR(swap[2], C0 / 3.0, 1e-12 * C0);
  EXPECT_NEAR(swap[1], 2.0 * C0 / 3.0, 1e-12 * C0);
  // An empty first place: _ + B = A + _ is B = A, [A]/[B] = K.
  const Concentrations packed = Solution({0.0, C0}, {}, {}, {{{0, 2, 1, 0}, 4.0}}).Full();
  EXPECT_NEAR(packed[1], 0.8 * C0, 1e-12 * C0);
  EXPECT_NEAR(packed[2], 0.2 * C0, 1e-12 * C0);
}

// Levich transport over the deposit time, for a planar electrode of 1 cm2 x 0.01 cm: n, E0, Epre,
// temperature, stirring rate, electrode constant, area, D, viscosity, deposit time, volume.
const PreconcentrationInput kDeposit{1, 0.1, -0.3, 298.14, 100, 10, 1, 1e-5, 0.01, 600, 0.01};

// 10 * 1 * (1e-5)^(2/3) * sqrt(2 pi 100 / 60) * 0.01^(-1/6) * 600 / 0.01, the deposition at 0.4 V
// below E0 being complete to 2e-7. Far positive of E0 nothing is collected, without overflowing;
// no volume or no viscosity cannot be computed.
TEST(PreconcentrationFactor, LevichTransportOverTheDepositTime) {
  EXPECT_NEAR(PreconcentrationFactor(kDeposit), 1941.6256, 1e-3);
  auto changed = [](double PreconcentrationInput::*field, double value) {
    PreconcentrationInput input = kDeposit;
    input.*field = value;
    return input;
  };
  EXPECT_EQ(PreconcentrationFactor(changed(&PreconcentrationInput::Epre, 100.0)), 0.0);
  EXPECT_THROW(PreconcentrationFactor(changed(&PreconcentrationInput::electrodeVolume, 0)),
               Failure);
  EXPECT_THROW(PreconcentrationFactor(changed(&PreconcentrationInput::viscosity, 0)), Failure);
}

// (Species 2 set from the factor, species 1 pre-equilibrated: the ui_preconcentration scenario.)

}  // namespace
}  // namespace kivex::model
