#include "simulation/scaled_erfc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "model/failure.h"

namespace kivex::simulation {
namespace {

// exp(x^2) erfc(x) in extended precision, the reference.
double Reference(double x) {
  const long double lx = x;
  return static_cast<double>(std::exp(lx * lx) * std::erfc(lx));
}

// 1e-6 relative: the seven-digit constants cost about 3e-8, the erf series at the top of its
// branch (|x| just below 1.5, 15 terms) about 8e-7.
constexpr double kRelative = 1e-6;

TEST(ScaledErfc, AgreesWithTheStandardErfcOnBothBranchesWhereTheyMeetAndAtTheExtremes) {
  EXPECT_EQ(ScaledErfc(0.0), 1.0);
  std::vector<double> xs = {-1.5000001, -1.5, -1.4999999, 1.4999999, 1.5, 1.5000001};
  for (double x = -6.0; x <= 20.0; x += 0.0137) xs.push_back(x);
  for (double x : xs) {
    EXPECT_NEAR(ScaledErfc(x), Reference(x), kRelative * Reference(x)) << "x = " << x;
  }
  // No jump where the series hands over to the continued fraction.
  EXPECT_NEAR(ScaledErfc(1.5 - 1e-12) / ScaledErfc(1.5), 1.0, kRelative);
  EXPECT_NEAR(ScaledErfc(-1.5 + 1e-12) / ScaledErfc(-1.5), 1.0, kRelative);
  // Reflection below -1.5: erfc(-u) = 2 - erfc(u); large arguments follow the asymptote, very
  // negative ones overflow.
  EXPECT_NEAR(ScaledErfc(-2.0), 2.0 * std::exp(4.0) - ScaledErfc(2.0), 1e-12);
  for (double x : {50.0, 1e3, 1e8}) {
    const double asymptote = 1.0 / (x * std::sqrt(M_PI)) * (1.0 - 0.5 / (x * x));
    EXPECT_NEAR(ScaledErfc(x), asymptote, 1e-6 * asymptote) << "x = " << x;
  }
  EXPECT_THROW(ScaledErfc(-30.0), model::Failure);
}

}  // namespace
}  // namespace kivex::simulation
