#include "model/count.h"

#include <cmath>
#include <limits>

#include "model/checked_math.h"

namespace kivex::model {

double RoundHalfEven(double v) {
  const double lower = std::floor(v);
  const double fraction = v - lower;
  if (fraction < 0.5) return lower;
  if (fraction > 0.5) return lower + 1.0;
  return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

Count ToCount(double v) {
  if (!std::isfinite(v)) ThrowFailure(kOverflow);
  const double r = RoundHalfEven(v);
  if (r < std::numeric_limits<Count>::min() || r > std::numeric_limits<Count>::max()) {
    ThrowFailure(kOverflow);
  }
  return static_cast<Count>(r);
}

Count ToCount(long long v) {
  if (v < std::numeric_limits<Count>::min() || v > std::numeric_limits<Count>::max()) {
    ThrowFailure(kOverflow);
  }
  return static_cast<Count>(v);
}

}  // namespace kivex::model
