#include "numerics/semi_differentiate.h"

#include <cmath>
#include <vector>

#include "model/checked_math.h"
#include "numerics/calculus.h"
#include "numerics/constants.h"

namespace kivex::numerics {

void SemiDifferentiateL1(std::span<double> column, int count, double factor) {
  RequirePoints(column, count, kSemiDifferentiateMinPoints, "semi-differentiate");
  const int n = count;

  // Second differences of the square root; computed once, identical to recomputing them per term.
  std::vector<double> w(static_cast<std::size_t>(n) + 1, 0.0);
  w[0] = 1.0;
  for (int m = 1; m <= n; ++m) {
    w[m] = std::sqrt(m + 1.0) - 2.0 * std::sqrt(static_cast<double>(m)) + std::sqrt(m - 1.0);
  }

  std::vector<double> s(static_cast<std::size_t>(n) + 1, 0.0);
  for (int i = 3; i <= n - 1; ++i) {
    double sum = column[i];
    for (int j = 1; j <= i - 1; ++j) sum += w[i - j] * column[j];
    s[i] = model::Finite(factor * sum);
  }
  // Both lower ends take the same increment s(4) - s(3).
  s[n] = model::Finite(s[n - 1] + (s[n - 1] - s[n - 2]));
  s[2] = model::Finite(s[3] - (s[4] - s[3]));
  s[1] = model::Finite(s[2] - (s[4] - s[3]));

  for (int i = 1; i <= count; ++i) column[i] = s[i];
}

double SemiDifferentiateFactor(double h) { return 0.25 * std::sqrt(1.0 / (kPiTenDigits * h)); }

void SemiDifferentiate(const XAxis& x, std::span<double> column, int count) {
  RequirePoints(column, count, kSemiDifferentiateMinPoints, "semi-differentiate");
  SemiDifferentiate(column, count, PointSpacing(x, "semi-differentiate"));
}

void SemiIntegrate(const XAxis& x, std::span<double> column, int count) {
  RequirePoints(column, count, kSemiDifferentiateMinPoints, "semi-integrate");
  SemiIntegrate(column, count, PointSpacing(x, "semi-integrate"));
}

void SemiDifferentiate(std::span<double> column, int count, double h) {
  SemiDifferentiateL1(column, count, SemiDifferentiateFactor(h));
}

void SemiIntegrate(std::span<double> column, int count, double h) {
  RequirePoints(column, count, kSemiDifferentiateMinPoints, "semi-integrate");
  std::vector<double> copy(column.begin(), column.begin() + count + 1);
  Integrate(copy, count, h);
  SemiDifferentiate(copy, count, h);
  for (int i = 1; i <= count; ++i) column[i] = copy[i];
}

}  // namespace kivex::numerics
