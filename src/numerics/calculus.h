#pragma once
// First derivative and running integral of a curve over an axis taken as evenly spaced
// (h = |x(2) - x(1)|, the sign of the step ignored). Each computes the whole result before writing
// it back; a refused curve, or one whose result would not be finite, is left as it was.

#include <span>

#include "numerics/curve_column.h"

namespace kivex::numerics {

// Forward difference at the first point, central inside, backward at the last; per volt of
// spacing, so a curve recorded towards negative potentials has the slope per point.
// Needs 2 points and a spacing.
void Differentiate(const XAxis& x, std::span<double> column, int count);

// Rectangle rule, running: g(i) = h * (f(1) + ... + f(i)). Needs 2 points and a spacing.
void Integrate(const XAxis& x, std::span<double> column, int count);

// The same over a spacing `h` (> 0) given by the caller, for a curve already put onto an even
// grid (even_resampling.h). Differentiate(x, ...) is Differentiate(..., PointSpacing(x)).
void Differentiate(std::span<double> column, int count, double h);
void Integrate(std::span<double> column, int count, double h);

}  // namespace kivex::numerics
