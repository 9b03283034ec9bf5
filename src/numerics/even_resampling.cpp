#include "numerics/even_resampling.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "model/sweeps.h"
#include "numerics/interpolation.h"

namespace kivex::numerics {

StepSpread SpreadOfSteps(std::span<const double> x) {
  StepSpread spread;
  spread.typical = model::MedianStep(x);
  bool any = false;
  for (std::size_t i = 1; i < x.size(); ++i) {
    const double step = std::fabs(x[i] - x[i - 1]);
    if (!(step > kEvenSpread * spread.typical) || !std::isfinite(step)) continue;
    spread.least = any ? std::min(spread.least, step) : step;
    spread.most = any ? std::max(spread.most, step) : step;
    any = true;
  }
  return spread;
}

std::vector<double> SweptDistance(std::span<const double> x) {
  std::vector<double> distance(x.size(), 0.0);
  double start = 0.0;  // the distance of the present sweep's first point
  for (const model::Sweep& sweep : model::FindSweeps(x)) {
    const auto first = static_cast<std::size_t>(sweep.first);
    const auto last = static_cast<std::size_t>(sweep.last);
    if (first > 0) start = distance[first - 1] + std::fabs(x[first] - x[first - 1]);
    // An axis too short to have shown its direction runs towards its last point.
    const double direction = sweep.direction != 0 ? sweep.direction : x[last] >= x[first] ? 1 : -1;
    for (std::size_t i = first; i <= last; ++i) distance[i] = start + (x[i] - x[first]) * direction;
  }
  return distance;
}

EvenResampling::EvenResampling(std::span<const double> x, double step)
    : step_(step), distance_(SweptDistance(x)), order_(x.size()) {
  std::iota(order_.begin(), order_.end(), 0);
  std::stable_sort(order_.begin(), order_.end(),
                   [this](int a, int b) { return distance_[a] < distance_[b]; });
  sortedDistance_.reserve(order_.size());
  for (const int i : order_) sortedDistance_.push_back(distance_[i]);
  if (sortedDistance_.empty() || !(step > 0.0) || !std::isfinite(step)) return;

  const double from = sortedDistance_.front();
  const double to = sortedDistance_.back();
  if (!std::isfinite(from) || !std::isfinite(to) || (to - from) / step >= kMaxGridPoints - 1) {
    return;
  }
  grid_ = EvenGrid(from, to, step);
  // One step past the last point, so that every point lies between two grid points.
  if (grid_.back() < to - 1e-9 * step) grid_.push_back(grid_.back() + step);
}

std::vector<double> EvenResampling::SortedValues(std::span<const double> y) const {
  std::vector<double> sorted;
  sorted.reserve(order_.size());
  for (const int i : order_) sorted.push_back(y[static_cast<std::size_t>(i)]);
  return sorted;
}

void EvenResampling::ToGrid(std::span<const double> y, std::span<double> onGrid) const {
  const std::vector<double> values = SortedValues(y);
  InterpolateLinear(sortedDistance_, values, grid_, onGrid);
  // The last point and the one before it at a shorter distance, if any.
  const std::size_t last = values.size() - 1;
  std::size_t before = last;
  while (before > 0 && sortedDistance_[before] == sortedDistance_[last]) --before;
  if (before == last || grid_.empty()) return;
  const double slope =
      (values[last] - values[before]) / (sortedDistance_[last] - sortedDistance_[before]);
  for (std::size_t k = grid_.size(); k-- > 0 && grid_[k] > sortedDistance_[last];) {
    onGrid[k] = values[last] + slope * (grid_[k] - sortedDistance_[last]);
  }
}

void EvenResampling::FromGrid(std::span<const double> onGrid, std::span<double> y) const {
  InterpolateLinear(grid_, onGrid, distance_, y);
}

std::vector<double> EvenResampling::Between(std::span<const double> y, int first, int last) const {
  const std::vector<double> at = EvenGrid(distance_[static_cast<std::size_t>(first)],
                                          distance_[static_cast<std::size_t>(last)], step_);
  std::vector<double> values(at.size());
  InterpolateLinear(sortedDistance_, SortedValues(y), at, values);
  return values;
}

}  // namespace kivex::numerics
