#pragma once
// The constants the kernels of simulation and analysis share.

#include "model/physical_constants.h"

namespace kivex::numerics {

using model::kCelsiusZero;
using model::kFaraday;
using model::kGasConstant;
using model::kPiTenDigits;

// sqrt(pi), twice on purpose: the analytical currents and theoretical peaks have always used the
// nine-digit literal, the scaled erfc the eight-digit one (its agreement with std::erfc to about
// 1e-7 was measured with it). They are different doubles; merging them would move every result
// in the last digits.
inline constexpr double kSqrtPi = 1.77245385;
inline constexpr double kSqrtPiErfc = 1.7724539;

}  // namespace kivex::numerics
