// The computations behind the Chemicals and Instrument dialogs: pre-equilibration of the initial
// concentrations, two-species equilibria, the preconcentration factor and the electrode geometry.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

#include "model/app_state.h"
#include "model/failure.h"
#include "model/number_text.h"
#include "ui/electrode_geometry.h"
#include "ui/initial_concentrations.h"
#include "ui/preconcentration_factor.h"
#include "ui/two_species_equilibrium.h"

namespace kivex::ui {
namespace {

using model::kPi;

const double kFOverRT = (model::kFaraday / model::kGasConstant) / 298.14;  // 25 degrees C

ConcentrationLabels Labels(std::array<double, 6> values) {
  ConcentrationLabels labels;
  for (int i = 1; i <= 6; ++i) labels[i] = ConcentrationText(values[i - 1]);
  return labels;
}

double Read(const ConcentrationLabels& labels, int i) { return model::ReadNumber(labels[i]); }

// 1 mM of A at the start; the shown labels of A, B and C afterwards.
TEST(PreEquilibration, CouplesThenChemistryReachEquilibriumAtTheStartingPotential) {
  struct Case {
    const char* what;
    PreEquilibration steps;
    std::array<const char*, 3> labels;
  };
  const Case cases[] = {
      // [B]/[A] = exp(-0.2 f) = 4.16e-4
      {"A + e = B, E0 0.1 V, start at 0.3 V",
       {kFOverRT, 0.3, {{1, 2, 1.0, 0.1}}, {}, {}},
       {"9.996e-4", "4.159e-7", "0.e0"}},
      {"far beyond E0: all reduced, no overflow",
       {kFOverRT, -100.0, {{1, 2, 3.0, 100.0}}, {}, {}},
       {"0.e0", "1.e-3", "0.e0"}},
      {"far before E0: untouched, no overflow",
       {kFOverRT, 100.0, {{1, 2, 3.0, -100.0}}, {}, {}},
       {"1.e-3", "0.e0", "0.e0"}},
      // 9.996e-4 * 1000 / 1001 of A; the charge step ran first
      {"mechanism 5: then C = A with K = [A]/[C] = 1000",
       {kFOverRT, 0.3, {{1, 2, 1.0, 0.1}}, {{3, 1, 1000.0}}, {}},
       {"9.986e-4", "4.159e-7", "9.986e-7"}},
      {"no temperature yet: the couple is left out, the chemistry still runs",
       {0.0, 0.3, {{1, 2, 1.0, 0.1}}, {{3, 1, 1000.0}}, {}},
       {"9.99e-4", "0.e0", "9.99e-7"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ConcentrationLabels labels = Labels({1e-3, 0, 0, 0, 0, 0});
    PreEquilibrate(labels, c.steps);
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(labels[i], c.labels[i - 1]) << i;
  }
}

TEST(PreEquilibration, StepsThatCannotBeComputedLeaveEveryLabel) {
  const ConcentrationLabels start = Labels({1e-3, 2e-4, 3e-5, 0, 0, 0});
  ConcentrationLabels labels = start;
  EquilibrateCouple(labels, {0, 2, 1.0, 0.1}, kFOverRT, 0.3);  // no oxidised species
  EquilibrateCouple(labels, {1, 7, 1.0, 0.1}, kFOverRT, 0.3);
  EquilibrateFirstOrder(labels, {1, 2, 0.0});            // empty Keq label
  EquilibrateFirstOrder(labels, {1, 2, -1.0});           // K + 1 = 0
  EquilibrateTwoSpecies(labels, {{1, 2, 3, 4}, 1.0});    // X1 + X2 = Y1 + Y2 with K = 1: a = 0
  EquilibrateTwoSpecies(labels, {{1, 0, 3, 0}, 5.0});    // X1 = Y1 fits none of the forms
  EquilibrateTwoSpecies(labels, {{1, 0, 3, 4}, -1e-3});  // negative discriminant
  EXPECT_EQ(labels, start);
}

TEST(PreEquilibration, TwoSpeciesStepWritesOnlyItsPlaces) {
  // A + B = C (fourth place empty), K = 1000 / M.
  ConcentrationLabels labels = Labels({1e-3, 2e-3, 0, 5e-4, 0, 0});
  EquilibrateTwoSpecies(labels, {{1, 2, 3, 0}, 1000.0});
  EXPECT_EQ(labels[4], "5.e-4");
  const double A = Read(labels, 1), B = Read(labels, 2), C = Read(labels, 3);
  EXPECT_NEAR(A + C, 1e-3, 1e-6);  // to the four digits shown
  EXPECT_NEAR(B + C, 2e-3, 1e-6);
  EXPECT_NEAR(1000.0 * A * B, C, 2e-3 * C);
}

struct TwoSpeciesCase {
  const char* what;
  TwoSpeciesForm form;
  double K;
  std::array<double, 4> C;
};

// Equilibrium K [X1][X2] = [Y1][Y2] with every place non-negative afterwards (a product alone
// dissociates instead of growing). Tolerance: the roots are exact to rounding, a relative 1e-9 of
// the largest term.
TEST(TwoSpeciesEquilibrium, AdvancementReachesEquilibriumInBothDirections) {
  using F = TwoSpeciesForm;
  const TwoSpeciesCase cases[] = {
      {"combination forward", F::kCombination, 1000, {1e-3, 2e-3, 0, 0}},
      {"combination backward, product alone", F::kCombination, 10, {0, 0, 1e-3, 0}},
      {"combination both present", F::kCombination, 100, {1e-3, 1e-3, 1e-3, 0}},
      {"dissociation forward", F::kDissociation, 1e-4, {1e-3, 0, 0, 0}},
      {"dissociation backward", F::kDissociation, 1e-6, {0, 0, 1e-3, 1e-3}},
      {"exchange K < 1 forward", F::kExchange, 0.5, {1e-3, 1e-3, 0, 0}},
      {"exchange K < 1 backward", F::kExchange, 0.01, {1e-4, 1e-4, 1e-3, 1e-3}},
      {"exchange K > 1 forward", F::kExchange, 1000, {1e-3, 2e-3, 0, 0}},
      {"exchange K > 1 backward", F::kExchange, 4, {0, 0, 1e-3, 1e-3}},
  };
  for (const TwoSpeciesCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::optional<double> d = TwoSpeciesAdvancement(c.form, c.K, c.C);
    ASSERT_TRUE(d.has_value());
    double X = c.K, Y = 1.0;
    for (int q = 1; q <= 4; ++q) {
      if (!UsesPlace(c.form, q)) continue;
      const double after = q <= 2 ? c.C[q - 1] - *d : c.C[q - 1] + *d;
      EXPECT_GE(after, -1e-15) << "place " << q;
      (q <= 2 ? X : Y) *= after;
    }
    EXPECT_NEAR(X, Y, 1e-9 * std::max(std::fabs(X), std::fabs(Y)));
  }
}

// Levich transport over the deposit time: 10 * 1 * (1e-5)^(2/3) * sqrt(2 pi 100 / 60) *
// 0.01^(-1/6) * 600 / 0.01 for a planar electrode of 1 cm2 x 0.01 cm, deposition at 0.4 V below
// E0 being complete to 2e-7. Far positive of E0 nothing is collected, without overflowing; no
// volume or no viscosity cannot be computed.
TEST(PreconcentrationFactor, LevichTransportOverTheDepositTime) {
  const PreconcentrationInput in{.n = 1,
                                 .E0 = 0.1,
                                 .Epre = -0.3,
                                 .temperature = 298.14,
                                 .stirRate = 100,
                                 .electrodeConstant = 10,
                                 .area = 1,
                                 .D = 1e-5,
                                 .viscosity = 0.01,
                                 .tPre = 600,
                                 .electrodeVolume = 0.01};
  EXPECT_NEAR(PreconcentrationFactor(in), 1941.6256, 1e-3);
  PreconcentrationInput changed = in;
  changed.Epre = 100.0;
  EXPECT_EQ(PreconcentrationFactor(changed), 0.0);
  changed = in;
  changed.electrodeVolume = 0;
  EXPECT_THROW(PreconcentrationFactor(changed), model::Failure);
  changed = in;
  changed.viscosity = 0;
  EXPECT_THROW(PreconcentrationFactor(changed), model::Failure);
}

// The area box starts at "3.e-1" and the volume at 0.5 each time; planar and thin film keep the
// typed area, and a value that cannot be computed keeps its target.
TEST(ElectrodeGeometry, EveryElectrodeShowsItsAreaAndVolume) {
  const double r = 0.2821;  // radius box and the committed radius
  const double L = 0.01;    // length box
  struct Case {
    const char* what;
    GeometryInput input;
    const char* area;
    double volume;
  };
  const Case cases[] = {
      {"planar: typed area times thickness", {1, "0.2821", "0.01", r}, "3.e-1", 0.3 * L},
      {"sphere: 4 pi r^2 = 1.00004", {2, "0.2821", "0.01", r}, "1.e0", 4 * kPi * r * r * r / 3},
      {"hemisphere", {3, "0.2821", "0.01", r}, "5.e-1", 2 * kPi * r * r * r / 3},
      {"disk: pi r^2, volume from the area shown", {4, "0.2821", "0.01", r}, "2.5e-1", 0.25 * L},
      {"cylinder: pi r^2 + 2 pi r L", {5, "0.2821", "0.01", r}, "2.68e-1", kPi * r * r * L},
      {"hemicylinder", {6, "0.2821", "0.01", r}, "1.34e-1", kPi / 2 * r * r * L},
      {"band: L x width", {7, "0.2821", "0.01", r}, "2.82e-3", 0.00282 * L},
      {"band, committed radius a quarter of the width", {7, "0.01", "0.1", 0.0025}, "1.e-3", 1e-4},
      {"rotating disk", {8, "0.2821", "0.01", r}, "2.5e-1", 0.25 * L},
      {"thin film", {9, "0.2821", "0.01", r}, "3.e-1", 0.3 * L},
      {"r^2 overflows", {2, "1e200", "0.01", 1e200}, "3.e-1", 0.5},
      {"no committed radius yet", {3, "0.1", "0.01", 0.0}, "6.28e-2", 0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string area = "3.e-1";
    double volume = 0.5;
    UpdateElectrodeGeometry(c.input, area, volume);
    EXPECT_EQ(area, c.area);
    EXPECT_NEAR(volume, c.volume, 1e-12 * c.volume);
  }
}

}  // namespace
}  // namespace kivex::ui
