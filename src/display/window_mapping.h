#pragma once
// Where a point of a canvas's user window (Canvas::SetWindow) falls on its surface. The SVG page
// and the window on screen both place every mark through here, so a picture saved and a picture
// shown agree, down to what neither can place.
//
//   MapToSurface({-1, 1, 1, -1}, 0, 0, 200, 100);  // {100, 50}: the middle of the surface

#include <optional>

namespace kivex::display {

// User coordinates of the surface's left, top, right and bottom edges.
struct UserWindow {
  double left = 0;
  double top = 0;
  double right = 1;
  double bottom = 1;
};

struct SurfacePoint {
  double x = 0;
  double y = 0;
};

// (x, y) in surface units from the surface's top-left corner, for a surface `width` by `height`.
// None for a window of zero width or height, which has no place for anything, and for a point
// that does not land at a finite place: the canvases draw nothing for it.
std::optional<SurfacePoint> MapToSurface(const UserWindow& window, double x, double y, double width,
                                         double height);

}  // namespace kivex::display
