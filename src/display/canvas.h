#pragma once
// The drawing surface of the plot window, as the plot uses it: a user coordinate window mapped
// onto the whole surface, a current position for text, points, lines, outlined rectangles and a
// solid or dashed pen. Everything is drawn in the one foreground colour.

#include <string_view>

namespace kivex::display {

enum class PenStyle { Solid, Dashed };

// The point of a text's box that is placed at the current position, as the text appears on the
// surface (left and right of the screen, whichever way the window's X axis runs). TopLeft is the
// start state of every surface and after Clear.
enum class TextAnchor { TopLeft, TopCentre, MiddleLeft, MiddleRight };

class Canvas {
 public:
  virtual ~Canvas() = default;

  virtual void Clear() = 0;
  // User coordinates of the surface's left, top, right and bottom edges. Left may exceed right
  // (a reversed axis); top is normally above bottom (top > bottom).
  virtual void SetWindow(double left, double top, double right, double bottom) = 0;
  virtual void SetPen(PenStyle style) = 0;
  // Text is written with the anchor point of its box (SetTextAnchor) at the current position,
  // upright and unscaled whatever the window; the surface chooses the font size.
  virtual void MoveTo(double x, double y) = 0;
  virtual void SetTextAnchor(TextAnchor anchor) = 0;
  virtual void Text(std::string_view text) = 0;
  virtual void Point(double x, double y) = 0;
  virtual void Line(double x1, double y1, double x2, double y2) = 0;
  virtual void Rectangle(double x1, double y1, double x2, double y2) = 0;
};

}  // namespace kivex::display
