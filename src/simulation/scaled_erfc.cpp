#include "simulation/scaled_erfc.h"

#include <cmath>

#include "model/checked_math.h"
#include "numerics/constants.h"

namespace kivex::simulation {

namespace {

constexpr double kSqrt2 = 1.4142136;
using numerics::kSqrtPiErfc;

// exp(u^2) erfc(u) for u >= 1.5 from the continued fraction 1/(y + 1/(y + 2/(y + 3/(y + ...))))
// in y = sqrt(2) u, evaluated from the tail; Int(32/u) + 2 terms suffice for u >= 1.5.
double ContinuedFraction(double u) {
  const int terms = static_cast<int>(std::floor(32.0 / u)) + 2;
  const double y = kSqrt2 * u;
  double v = 1.0 / y;
  for (int m = terms; m >= 1; --m) v = 1.0 / (y + m * v);
  return v * kSqrt2 / kSqrtPiErfc;
}

}  // namespace

double ScaledErfc(double x) {
  if (std::fabs(x) >= 1.5) {
    if (x <= 0.0) return 2.0 * model::Exp(x * x) - ContinuedFraction(-x);
    return ContinuedFraction(x);
  }
  // erf(x) = 2x/sqrt(pi) * sum_m (1/2)_m (-x^2)^m / ((3/2)_m m!), summed by Horner from the tail.
  const double x2 = x * x;
  const int terms = static_cast<int>(std::floor(9.0 * std::fabs(x))) + 2;
  double v = terms / (terms + x2);
  for (int m = terms; m >= 1; --m) v = 1.0 + v * (0.5 - m) * x2 / (m * (m + 0.5));
  const double erf = 2.0 * x * v / kSqrtPiErfc;
  return std::exp(x2) * (1.0 - erf);
}

}  // namespace kivex::simulation
