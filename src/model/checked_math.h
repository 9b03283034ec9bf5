#pragma once
// Arithmetic that fails instead of producing inf or NaN. Doubles never trap by themselves, so
// every operation that can leave the finite numbers is written through these helpers; each
// raises a `Failure` whose description says what went wrong.

#include <cmath>
#include <string>

#include "model/failure.h"

namespace kivex::model {

[[noreturn]] void ThrowFailure(std::string_view description);

// Raises "Overflow" (or "Invalid procedure call or argument" for NaN) when v is not finite.
inline double Finite(double v) {
  if (!std::isfinite(v)) ThrowFailure(std::isnan(v) ? kInvalidArgument : kOverflow);
  return v;
}

inline double Div(double a, double b) {
  if (b == 0.0) ThrowFailure(kDivisionByZero);
  return Finite(a / b);
}

inline double Sqrt(double v) {
  if (!(v >= 0.0)) ThrowFailure(kInvalidArgument);
  return std::sqrt(v);
}

inline double Log(double v) {
  if (!(v > 0.0)) ThrowFailure(kInvalidArgument);
  return Finite(std::log(v));
}

inline double Exp(double v) { return Finite(std::exp(Finite(v))); }

inline double Pow(double base, double exponent) {
  if (base == 0.0 && exponent < 0.0) ThrowFailure(kDivisionByZero);
  if (base < 0.0 && exponent != std::floor(exponent)) ThrowFailure(kInvalidArgument);
  return Finite(std::pow(base, exponent));
}

}  // namespace kivex::model
