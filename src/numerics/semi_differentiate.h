#pragma once
// Half-order derivative of a curve by the L1 scheme (Oldham and Spanier): with the value one step
// before the first point taken as 0,
//   s(i) = factor * (f(i) + sum_{j=1}^{i-1} w(i - j) f(j)),
//   w(m) = sqrt(m + 1) - 2 sqrt(m) + sqrt(m - 1),
// for i = 3..N-1; s(N), s(2) and s(1) are extrapolated linearly from their neighbours. The result
// is computed from the curve as it was and written back in one pass; a refused curve is left as
// it was.

#include <span>

#include "numerics/curve_column.h"

namespace kivex::numerics {

// Two interior values are needed for the extrapolated ends.
inline constexpr int kSemiDifferentiateMinPoints = 5;

// The scheme with an explicit factor; the factor of the textbook L1 derivative in time over steps
// dt is 2 / sqrt(pi dt). Raises model::Failure for fewer than 5 points.
void SemiDifferentiateL1(std::span<double> column, int count, double factor);

// The Analysis command's factor over a spacing h in volts: 0.25 / sqrt(pi h).
double SemiDifferentiateFactor(double h);

// The Analysis command: SemiDifferentiateL1 with SemiDifferentiateFactor(|x(2) - x(1)|).
void SemiDifferentiate(const XAxis& x, std::span<double> column, int count);

// Running integral, then the half-order derivative, all or nothing.
void SemiIntegrate(const XAxis& x, std::span<double> column, int count);

// The same over a spacing `h` (> 0) given by the caller, for a curve already put onto an even
// grid (even_resampling.h); the commands above are these with h = |x(2) - x(1)|.
void SemiDifferentiate(std::span<double> column, int count, double h);
void SemiIntegrate(std::span<double> column, int count, double h);

}  // namespace kivex::numerics
