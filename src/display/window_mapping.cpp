#include "display/window_mapping.h"

#include <cmath>

namespace kivex::display {

std::optional<SurfacePoint> MapToSurface(const UserWindow& window, double x, double y, double width,
                                         double height) {
  const double w = window.right - window.left;
  const double h = window.bottom - window.top;
  if (w == 0 || h == 0) return std::nullopt;
  const SurfacePoint point{(x - window.left) / w * width, (y - window.top) / h * height};
  if (!std::isfinite(point.x) || !std::isfinite(point.y)) return std::nullopt;
  return point;
}

}  // namespace kivex::display
