#include "simulation/laplace_inversion.h"

#include <algorithm>
#include <cmath>

namespace kivex::simulation {

namespace {

double Factorial(int n) {
  double f = 1.0;
  for (int i = 2; i <= n; ++i) f *= i;
  return f;
}

std::array<double, kStehfestTerms + 1> MakeWeights() {
  constexpr int N = kStehfestTerms;
  constexpr int half = N / 2;
  std::array<double, N + 1> V{};
  for (int j = 1; j <= N; ++j) {
    double sum = 0.0;
    for (int k = (j + 1) / 2; k <= std::min(j, half); ++k) {
      sum += std::pow(k, half) * Factorial(2 * k) /
             (Factorial(half - k) * Factorial(k) * Factorial(k - 1) * Factorial(j - k) *
              Factorial(2 * k - j));
    }
    V[j] = ((j + half) % 2 == 0 ? 1.0 : -1.0) * sum;
  }
  return V;
}

}  // namespace

const std::array<double, kStehfestTerms + 1>& StehfestWeights() {
  static const std::array<double, kStehfestTerms + 1> weights = MakeWeights();
  return weights;
}

}  // namespace kivex::simulation
