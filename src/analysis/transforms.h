#pragma once
// The scale and sign changes of the X Data and Y Data commands. (The derivative and integral of
// the Analysis menu are numerics/calculus.h; the simulation shares them.) A refused change, or one
// whose result would not be finite, leaves the curve as it was.

#include <span>

#include "numerics/curve_column.h"

namespace kivex::analysis {

// x(i) *= factor for i = 1..count ("-X" is the factor -1); the axis of every curve.
void ScaleX(numerics::XAxis& x, int count, double factor);

// f(i) *= factor for i = 1..count ("-Y" is the factor -1).
void ScaleY(std::span<double> column, int count, double factor);

}  // namespace kivex::analysis
