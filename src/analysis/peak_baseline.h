#pragma once
// The tangent baseline under a peak: the straight line below the peak that touches the curve on
// both sides of it, as instrument software draws it. With s the sign of the peak's value, it is
// the edge of the lower convex hull of s*y, over the peak's region, whose potentials span the
// peak's potential. On a peak riding on a straight background the line lies on the background
// where the peak has died away on either side, so the height above it is the peak's own; on a
// curved background it rests on the background's lowest points either side.
//
//   // A peak of 4 on the background 1 + x: the baseline touches points 0 and 4.
//   const double x[] = {0, 1, 2, 3, 4}, y[] = {1, 2, 7, 4, 5};
//   const TangentBaseline b = FindTangentBaseline(x, y, 0, 4, 2);
//   y[2] - b.At(x[2]);   // 4

#include <span>

namespace kivex::analysis {

struct TangentBaseline {
  bool found = false;
  double E1 = 0, I1 = 0;  // the touching point at the lower potential, V and the curve's value
  double E2 = 0, I2 = 0;  // the one at the higher potential

  // The line's value at potential E.
  double At(double E) const { return I1 + (I2 - I1) * (E - E1) / (E2 - E1); }
};

// Over points from..to (0-based, inclusive) of `x` and `y`, which hold the point `peak`. Not found
// when a value in the region is not finite or its points lie at fewer than two potentials.
TangentBaseline FindTangentBaseline(std::span<const double> x, std::span<const double> y, int from,
                                    int to, int peak);

}  // namespace kivex::analysis
