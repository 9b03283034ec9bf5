#pragma once
// Values of a sampled curve between its samples, for comparing curves recorded at different
// potentials and for putting an unevenly spaced curve onto an even grid. Linear: it never
// overshoots the samples, and on the 1 to 5 mV grids of a voltammogram its error, h^2/8 times the
// curvature, stays far below the noise of a measurement.
//
//   const double x[] = {0.0, 0.1, 0.3}, y[] = {1.0, 2.0, 0.0};
//   InterpolateLinear(x, y, 0.2);   // 1.0
//
// The axis must be monotonic (ascending or descending; equal neighbours are allowed); a point
// beyond either end takes the value at that end.

#include <cstddef>
#include <span>
#include <vector>

namespace kivex::numerics {

double InterpolateLinear(std::span<const double> x, std::span<const double> y, double at);

// Where `at` lies on the axis, found once for several curves over it: the sample `index` and the
// `share` of the way to the next one (0 at a sample, at the ends beyond them and on a zero
// span). InterpolateAt(y, LocateLinear(x, at)) is InterpolateLinear(x, y, at), to the bit.
//
//   const LinearPosition p = LocateLinear(x, 0.2);   // one search
//   InterpolateAt(current, p), InterpolateAt(concentration, p);
struct LinearPosition {
  std::size_t index = 0;
  double share = 0;
  bool empty = false;  // the axis has no sample
};
LinearPosition LocateLinear(std::span<const double> x, double at);
double InterpolateAt(std::span<const double> y, LinearPosition position);

// `y` over `x` at each of `at`, into `out` (as many values as `at`).
void InterpolateLinear(std::span<const double> x, std::span<const double> y,
                       std::span<const double> at, std::span<double> out);

// The even grid from x.front() towards x.back() in steps of `step` (> 0) that stays within them.
std::vector<double> EvenGrid(double from, double to, double step);

}  // namespace kivex::numerics
