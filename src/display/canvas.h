#pragma once
// The drawing surface of the plot window, as the plot uses it: a user coordinate window mapped
// onto the whole surface, a current position for text, points, lines, outlined rectangles, a
// solid or dashed pen in a colour and width, a clip to a rectangle and a key to the curves. Text
// is always black.

#include <span>
#include <string>
#include <string_view>

namespace kivex::display {

enum class PenStyle { Solid, Dashed };

// The point of a text's box that is placed at the current position, as the text appears on the
// surface (left and right of the screen, whichever way the window's X axis runs). TopLeft is the
// start state of every surface and after Clear.
enum class TextAnchor { TopLeft, TopCentre, MiddleLeft, MiddleRight };

struct Colour {
  unsigned char r = 0, g = 0, b = 0;
  friend bool operator==(const Colour&, const Colour&) = default;
};
inline constexpr Colour kBlack{0, 0, 0};

// How a curve is drawn, as its key shows it: a point per data point, a small square per data
// point, or a line through them.
enum class CurveMark { Dots, Markers, Line };

struct LegendEntry {
  std::string text;
  Colour colour;
  CurveMark mark = CurveMark::Line;
  friend bool operator==(const LegendEntry&, const LegendEntry&) = default;
};

class Canvas {
 public:
  virtual ~Canvas() = default;

  // Clears the surface and restores the start state: black solid pen one pixel wide, no clip,
  // text anchored top-left.
  virtual void Clear() = 0;
  // User coordinates of the surface's left, top, right and bottom edges. Left may exceed right
  // (a reversed axis); top is normally above bottom (top > bottom).
  virtual void SetWindow(double left, double top, double right, double bottom) = 0;
  virtual void SetPen(PenStyle style) = 0;
  // Colour of lines, rectangles and points; lines and rectangles `width` pixels wide.
  virtual void SetColour(Colour colour) = 0;
  virtual void SetLineWidth(double width) = 0;
  // Lines, rectangles and points are cut at the rectangle from (x1, y1) to (x2, y2) in the
  // window in effect, until NoClip. Text is never cut.
  virtual void ClipTo(double x1, double y1, double x2, double y2) = 0;
  virtual void NoClip() = 0;
  // Text is written with the anchor point of its box (SetTextAnchor) at the current position,
  // upright and unscaled whatever the window; the surface chooses the font size.
  virtual void MoveTo(double x, double y) = 0;
  virtual void SetTextAnchor(TextAnchor anchor) = 0;
  virtual void Text(std::string_view text) = 0;
  virtual void Point(double x, double y) = 0;
  virtual void Line(double x1, double y1, double x2, double y2) = 0;
  virtual void Rectangle(double x1, double y1, double x2, double y2) = 0;
  // A key to the curves just above the span from `x1` to `x2` at height `y` (the top edge of the
  // frame): entries side by side in reading order, right-aligned to whichever of x1, x2 is on
  // the right of the surface, in rows that stack upwards when one row is too wide. The surface
  // lays the key out in its own pixels, so it stays legible at any size (see LayOutLegend).
  virtual void Legend(double x1, double x2, double y, std::span<const LegendEntry> entries) = 0;
};

}  // namespace kivex::display
