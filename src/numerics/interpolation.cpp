#include "numerics/interpolation.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace kivex::numerics {

namespace {

// The index i with `at` between x[i] and x[i + 1] on an ascending axis.
std::size_t Bracket(std::span<const double> x, double at, bool ascending) {
  const auto upper = ascending ? std::upper_bound(x.begin(), x.end(), at)
                               : std::upper_bound(x.begin(), x.end(), at,
                                                  [](double a, double b) { return a > b; });
  const auto index = static_cast<std::size_t>(upper - x.begin());
  return std::clamp<std::size_t>(index, 1, x.size() - 1) - 1;
}

}  // namespace

LinearPosition LocateLinear(std::span<const double> x, double at) {
  if (x.empty()) return {0, 0.0, true};
  if (x.size() == 1) return {};
  const bool ascending = x.back() >= x.front();
  const double low = ascending ? x.front() : x.back();
  const double high = ascending ? x.back() : x.front();
  const std::size_t last = x.size() - 1;
  if (at <= low) return {ascending ? 0 : last, 0.0};
  if (at >= high) return {ascending ? last : 0, 0.0};
  const std::size_t i = Bracket(x, at, ascending);
  const double span = x[i + 1] - x[i];
  if (span == 0.0) return {i + 1, 0.0};
  return {i, (at - x[i]) / span};
}

double InterpolateAt(std::span<const double> y, LinearPosition position) {
  if (position.empty) return 0.0;
  const std::size_t i = position.index;
  if (position.share == 0.0) return y[i];
  return y[i] + position.share * (y[i + 1] - y[i]);
}

double InterpolateLinear(std::span<const double> x, std::span<const double> y, double at) {
  return InterpolateAt(y, LocateLinear(x, at));
}

void InterpolateLinear(std::span<const double> x, std::span<const double> y,
                       std::span<const double> at, std::span<double> out) {
  for (std::size_t j = 0; j < at.size(); ++j) out[j] = InterpolateLinear(x, y, at[j]);
}

std::vector<double> EvenGrid(double from, double to, double step) {
  std::vector<double> grid;
  if (!(step > 0.0) || !std::isfinite(from) || !std::isfinite(to)) return grid;
  const double direction = to >= from ? 1.0 : -1.0;
  const double count = std::floor(std::fabs(to - from) / step * (1 + 1e-12));
  if (count > 1e7) return grid;
  grid.reserve(static_cast<std::size_t>(count) + 1);
  for (double k = 0; k <= count; ++k) grid.push_back(from + direction * k * step);
  return grid;
}

}  // namespace kivex::numerics
