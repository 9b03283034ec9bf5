#include "numerics/curve_column.h"

#include <cmath>
#include <string>

#include "model/checked_math.h"

namespace kivex::numerics {

void RequirePoints(std::span<const double> column, int count, int minimum,
                   std::string_view transform) {
  if (count > static_cast<int>(column.size()) - 1) model::ThrowIndexFailure();
  if (count < minimum) {
    throw model::Failure("The curve has " + std::to_string(count < 0 ? 0 : count) +
                         " points, too few to " + std::string(transform) + " (at least " +
                         std::to_string(minimum) + ")");
  }
}

double PointSpacing(const XAxis& x, std::string_view transform) {
  const double h = model::Finite(std::fabs(x(2) - x(1)));
  if (h == 0.0) {
    throw model::Failure(
        "The first two points have the same potential, so there is no spacing "
        "to " +
        std::string(transform) + " over");
  }
  return h;
}

}  // namespace kivex::numerics
