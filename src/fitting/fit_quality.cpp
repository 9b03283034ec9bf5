#include "fitting/fit_quality.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>

namespace kivex::fitting {

namespace {

// A pivot of the unit-diagonal normal matrix below this means the parameter's column is, to
// rounding, a combination of the others' (a correlation of 1 - 5e-11): the data cannot tell it
// apart from them.
constexpr double kDependentPivot = 1e-10;

bool Varies(const Problem& problem, int j) {
  return problem.varies[j] != 0 && problem.Min[j] < problem.Max[j];
}

// Inverts the symmetric positive definite m x m matrix `a` (row-major, over the parameters with
// `use` set) by Gauss-Jordan elimination in place. A parameter whose pivot falls below
// kDependentPivot is dropped (`use` cleared) and the inversion starts again without it; returns
// once every remaining pivot is sound.
void InvertDropping(std::vector<double>& a, const std::vector<double>& original,
                    std::vector<char>& use, int m) {
  for (;;) {
    a = original;
    for (int j = 0; j < m; ++j) {
      if (!use[j]) {
        for (int k = 0; k < m; ++k) a[j * m + k] = a[k * m + j] = 0.0;
        a[j * m + j] = 1.0;
      }
    }
    bool dropped = false;
    for (int p = 0; p < m && !dropped; ++p) {
      if (!use[p]) continue;
      const double pivot = a[p * m + p];
      if (!(pivot > kDependentPivot)) {
        use[p] = 0;
        dropped = true;
        break;
      }
      for (int q = 0; q < m; ++q) a[p * m + q] /= pivot;
      a[p * m + p] = 1.0 / pivot;
      for (int r = 0; r < m; ++r) {
        if (r == p) continue;
        const double factor = a[r * m + p];
        if (factor == 0.0) continue;
        for (int q = 0; q < m; ++q) {
          if (q != p) a[r * m + q] -= factor * a[p * m + q];
        }
        a[r * m + p] = -factor / pivot;
      }
    }
    if (!dropped) return;
  }
}

}  // namespace

ResidualPattern Residuals(const Problem& problem, const Summary& fit) {
  ResidualPattern pattern;
  const std::size_t np = problem.Yobs.size();
  pattern.points = static_cast<int>(np);
  if (np == 0 || fit.Fcalc.size() != np) return pattern;
  double mean = 0;
  double squares = 0;
  for (std::size_t i = 0; i < np; ++i) {
    const double r = problem.Yobs[i] - fit.Fcalc[i];
    mean += r;
    squares += r * r;
  }
  mean /= static_cast<double>(np);
  double spread = 0;
  double neighbours = 0;
  for (std::size_t i = 0; i < np; ++i) {
    const double r = problem.Yobs[i] - fit.Fcalc[i] - mean;
    spread += r * r;
    if (i > 0) neighbours += r * (problem.Yobs[i - 1] - fit.Fcalc[i - 1] - mean);
  }
  pattern.lag1 = spread > 0 ? neighbours / spread : 0.0;
  const double meanSquare = squares / static_cast<double>(np);
  if (problem.DataVariance > 0) {
    pattern.misfit = std::sqrt(meanSquare / problem.DataVariance);
  } else {
    pattern.misfit = meanSquare > 0 ? 1.0 : 0.0;
  }
  return pattern;
}

double StudentT95(int freedom) {
  // Few degrees of freedom from the tables; from 11 on the Cornish-Fisher expansion about the
  // normal quantile (Abramowitz and Stegun 26.7.5) is within 1e-4 of them.
  static constexpr double kTable[] = {12.7062, 4.3027, 3.1824, 2.7764, 2.5706,
                                      2.4469,  2.3646, 2.3060, 2.2622, 2.2281};
  if (freedom <= 10) return kTable[std::max(freedom, 1) - 1];
  const double z = 1.959963985;
  const double z2 = z * z;
  const double v = freedom;
  const double g1 = z * (z2 + 1) / 4;
  const double g2 = z * ((5 * z2 + 16) * z2 + 3) / 96;
  const double g3 = z * (((3 * z2 + 19) * z2 + 17) * z2 - 15) / 384;
  const double g4 = z * ((((79 * z2 + 776) * z2 + 1482) * z2 - 1920) * z2 - 945) / 92160;
  return z + g1 / v + g2 / (v * v) + g3 / (v * v * v) + g4 / (v * v * v * v);
}

Uncertainty EstimateUncertainty(const FitWork& work, const Problem& problem, const Summary& fit) {
  const int n = fit.n();
  const std::size_t np = problem.Yobs.size();
  Uncertainty result;
  result.parameters.resize(static_cast<std::size_t>(n));
  if (n == 0 || work.jacobian.size() != static_cast<std::size_t>(n) * np) return result;

  // J'J over the parameters that can move and move the model, scaled to a unit diagonal.
  std::vector<char> use(static_cast<std::size_t>(n), 0);
  std::vector<double> scale(static_cast<std::size_t>(n), 0.0);
  std::vector<double> normal(static_cast<std::size_t>(n * n), 0.0);
  for (int j = 0; j < n; ++j) {
    if (!Varies(problem, j)) continue;
    const double* rj = work.jacobian.data() + static_cast<std::size_t>(j) * np;
    for (int k = j; k < n; ++k) {
      if (!Varies(problem, k)) continue;
      const double* rk = work.jacobian.data() + static_cast<std::size_t>(k) * np;
      double sum = 0;
      for (std::size_t i = 0; i < np; ++i) sum += rj[i] * rk[i];
      normal[j * n + k] = normal[k * n + j] = sum;
    }
    scale[j] = std::sqrt(normal[j * n + j]);
    use[j] = scale[j] > 0 && std::isfinite(scale[j]);
  }
  for (int j = 0; j < n; ++j) {
    for (int k = 0; k < n; ++k) {
      normal[j * n + k] = use[j] && use[k] ? normal[j * n + k] / (scale[j] * scale[k]) : 0.0;
    }
  }
  std::vector<double> inverse;
  InvertDropping(inverse, normal, use, n);

  const int determined = static_cast<int>(std::count(use.begin(), use.end(), 1));
  const long freedom = static_cast<long>(np) - determined;
  if (determined == 0 || freedom < 1) {
    std::fill(use.begin(), use.end(), 0);
  }
  double ssq = 0;
  for (std::size_t i = 0; i < np; ++i) {
    const double r = problem.Yobs[i] - fit.Fcalc[i];
    ssq += r * r;
  }
  // The fit calls a sum below its exactness floor exact and stops there, so it cannot resolve the
  // parameters more finely than that sum allows: a noiseless fit keeps an interval that holds the
  // point it stopped short of, rather than one that collapses to rounding.
  const double resolvable = std::max(ssq, problem.DataVariance * work.options.exactnessFloor);
  const double variance = freedom >= 1 ? resolvable / static_cast<double>(freedom) : 0.0;

  // Residuals that run together hold fewer independent points than their number.
  const double points = static_cast<double>(np);
  const ResidualPattern pattern = Residuals(problem, fit);
  const double lag1 = pattern.lag1;
  result.points = static_cast<int>(np);
  result.independentPoints = points;
  long tFreedom = freedom;
  // Residuals at the rounding of exact data run together too, but carry no uncertainty worth
  // widening.
  if (determined > 0 && freedom >= 1 && lag1 > kCorrelatedResiduals &&
      lag1 * std::sqrt(points) > kCorrelatedScore && pattern.misfit > kNegligibleMisfit) {
    const double r = std::min(lag1, kLargestResidualCorrelation);
    result.lag1 = r;
    result.widening = std::sqrt((1 + r) / (1 - r));
    result.independentPoints = points * (1 - r) / (1 + r);
    tFreedom = std::max(1L, std::lround(result.independentPoints) - determined);
  }
  const double t = StudentT95(static_cast<int>(std::min<long>(tFreedom, 1000000)));

  for (int j = 0; j < n; ++j) {
    ParameterUncertainty& u = result.parameters[static_cast<std::size_t>(j)];
    if (!use[j]) continue;
    const double seInternal = result.widening * std::sqrt(variance * inverse[j * n + j]) / scale[j];
    if (!std::isfinite(seInternal)) continue;
    u.determined = true;
    const double x = fit.X[j];
    if (work.logScale[j]) {
      const double z = std::log10(x);
      u.standardError = x * std::numbers::ln10 * seInternal;
      u.low = std::max(problem.Min[j], std::pow(10.0, z - t * seInternal));
      u.high = std::min(problem.Max[j], std::pow(10.0, z + t * seInternal));
    } else {
      u.standardError = seInternal;
      u.low = std::max(problem.Min[j], x - t * seInternal);
      u.high = std::min(problem.Max[j], x + t * seInternal);
    }
  }
  for (int j = 0; j < n; ++j) {
    for (int k = j + 1; k < n; ++k) {
      if (!result.parameters[j].determined || !result.parameters[k].determined) continue;
      const double r = inverse[j * n + k] / std::sqrt(inverse[j * n + j] * inverse[k * n + k]);
      if (result.first < 0 || std::fabs(r) > std::fabs(result.largestCorrelation)) {
        result.largestCorrelation = r;
        result.first = j;
        result.second = k;
      }
    }
  }
  return result;
}

}  // namespace kivex::fitting
