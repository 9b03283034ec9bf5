#pragma once
// Point-by-point transforms of a curve over an axis taken as evenly spaced (h = |x(2) - x(1)|, the
// sign of the step ignored): first derivative, running integral, and the scale and sign changes of
// the X Data and Y Data commands. Each computes the whole result before writing it back; a refused
// curve, or one whose result would not be finite, is left as it was.

#include <span>

#include "analysis/curve_column.h"

namespace kivex::analysis {

// Forward difference at the first point, central inside, backward at the last; per volt of
// spacing, so a curve recorded towards negative potentials has the slope per point.
// Needs 2 points and a spacing.
void Differentiate(const XAxis& x, std::span<double> column, int count);

// Rectangle rule, running: g(i) = h * (f(1) + ... + f(i)). Needs 2 points and a spacing.
void Integrate(const XAxis& x, std::span<double> column, int count);

// x(i) *= factor for i = 1..count ("-X" is the factor -1); the axis of every curve.
void ScaleX(XAxis& x, int count, double factor);

// f(i) *= factor for i = 1..count ("-Y" is the factor -1).
void ScaleY(std::span<double> column, int count, double factor);

}  // namespace kivex::analysis
