#include "model/two_species_equilibrium.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace kivex::model {
namespace {

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

}  // namespace
}  // namespace kivex::model
