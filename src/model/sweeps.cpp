#include "model/sweeps.h"

#include <algorithm>
#include <cmath>

namespace kivex::model {

namespace {

double Median(std::vector<double>& values) {
  if (values.empty()) return 0.0;
  const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  return *middle;
}

}  // namespace

double MedianStep(std::span<const double> x) {
  std::vector<double> steps;
  steps.reserve(x.size());
  for (std::size_t i = 1; i < x.size(); ++i) {
    const double step = std::fabs(x[i] - x[i - 1]);
    if (step > 0.0 && std::isfinite(step)) steps.push_back(step);
  }
  return Median(steps);
}

double TurnThreshold(std::span<const double> x) {
  // The noise of the potentials from their second differences, which a staircase or a linear
  // ramp leaves at zero: for independent noise of deviation s they scatter with deviation
  // s sqrt(6), and their median absolute value is 0.6745 of that.
  std::vector<double> bends;
  bends.reserve(x.size());
  for (std::size_t i = 1; i + 1 < x.size(); ++i) {
    const double bend = std::fabs(x[i + 1] - 2.0 * x[i] + x[i - 1]);
    if (std::isfinite(bend)) bends.push_back(bend);
  }
  const double noise = Median(bends) / (0.6745 * std::sqrt(6.0));
  return std::max(1.5 * MedianStep(x), 4.0 * noise);
}

std::vector<Sweep> FindSweeps(std::span<const double> x) {
  std::vector<Sweep> sweeps;
  const int n = static_cast<int>(x.size());
  if (n == 0) return sweeps;
  const double threshold = TurnThreshold(x);
  Sweep sweep;
  int extreme = 0;  // the point furthest along the sweep's direction so far
  for (int i = 1; i < n; ++i) {
    if (sweep.direction == 0) {
      const double moved = x[i] - x[sweep.first];
      if (std::fabs(moved) > threshold) {
        sweep.direction = moved > 0 ? 1 : -1;
        extreme = i;
      }
      continue;
    }
    const double along = (x[i] - x[extreme]) * sweep.direction;
    if (along >= 0.0) {
      extreme = i;  // ties too: the last point of a held vertex ends the sweep
    } else if (-along > threshold) {
      sweep.last = extreme;
      sweeps.push_back(sweep);
      sweep = Sweep{extreme + 1, 0, -sweep.direction};
      extreme = sweep.first;
      for (int j = sweep.first + 1; j <= i; ++j) {
        if ((x[j] - x[extreme]) * sweep.direction >= 0.0) extreme = j;
      }
    }
  }
  sweep.last = n - 1;
  sweeps.push_back(sweep);
  return sweeps;
}

}  // namespace kivex::model
