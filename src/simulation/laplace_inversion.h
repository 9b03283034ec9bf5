#pragma once
// Numerical inversion of a Laplace transform on the real axis (Gaver-Stehfest).
//
//   f(t) ~ (ln 2 / t) sum_{j=1..N} V_j F(j ln 2 / t)
//
// The method needs F only at real s, which suits the diffusion transforms here (Bessel functions
// of real argument, tanh), and it is accurate for smooth, non-oscillating f such as the current
// after a potential step: with N = 14 in double precision about six significant digits, limited
// by the cancellation among the V_j (largest |V_j| ~ 1e6). Stehfest, Comm. ACM 13 (1970) 47.
//
//   const double f = InvertLaplace([](double s) { return 1 / (s * std::sqrt(s)); }, 2.0);
//   // ~ 2 sqrt(t / pi) = 1.5958

#include <array>

namespace kivex::simulation {

inline constexpr int kStehfestTerms = 14;

// The Stehfest weights V_1..V_N for N = kStehfestTerms (index 0 unused).
const std::array<double, kStehfestTerms + 1>& StehfestWeights();

// The abscissae s_j = j ln 2 / t at which the transform is sampled for time t.
inline double StehfestNode(int j, double t) { return j * 0.69314718055994531 / t; }

template <class Transform>
double InvertLaplace(const Transform& F, double t) {
  const auto& V = StehfestWeights();
  double sum = 0.0;
  for (int j = 1; j <= kStehfestTerms; ++j) sum += V[j] * F(StehfestNode(j, t));
  return sum * 0.69314718055994531 / t;
}

}  // namespace kivex::simulation
