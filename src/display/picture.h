#pragma once
// The plot window's retained picture: every drawing call of the last pass, in order, so that the
// window, the clipboard copy, the printer and the SVG writer can each replay it on their own
// surface at their own size. Beside the calls it keeps what the plot's frame shows, so that a
// surface can read a pixel back as a potential and a value (the cursor read-out, zoom) and
// marks can be added over the curves (the peaks found).

#include <optional>
#include <string>
#include <vector>

#include "display/canvas.h"

namespace kivex::display {

// The frame of a drawn plot: its data limits, the window the picture ends with (left > right
// when the potential axis runs from + to -) and what the Y axis shows ("I" in "A").
struct PlotFrame {
  double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
  double left = 0, top = 0, right = 0, bottom = 0;
  std::string quantity;  // "I", "R", "Cond", "C"; empty for a quantity the plot does not know
  std::string unit;      // "A", "Ohm", "1/Ohm", "M"

  // The user coordinates at a fraction (u, v) of the surface's width and height, from its top-left.
  double XAt(double u) const { return left + u * (right - left); }
  double YAt(double v) const { return top - v * (top - bottom); }
  // The fractions of a user point, the inverse of XAt and YAt.
  double UOf(double x) const { return (x - left) / (right - left); }
  double VOf(double y) const { return (top - y) / (top - bottom); }
  bool Holds(double x, double y) const;
};

class Picture : public Canvas {
 public:
  enum class OpKind {
    Clear,
    Window,
    Pen,
    Colour,
    Width,
    Clip,
    NoClip,
    MoveTo,
    Anchor,
    Text,
    Point,
    Line,
    Rectangle,
    Legend
  };
  struct Op {
    OpKind kind;
    double a = 0, b = 0, c = 0, d = 0;
    PenStyle pen = PenStyle::Solid;
    TextAnchor anchor = TextAnchor::TopLeft;
    Colour colour;
    std::string text;
    std::vector<LegendEntry> legend;
  };

  void Clear() override;
  void SetWindow(double left, double top, double right, double bottom) override;
  void SetPen(PenStyle style) override;
  void SetColour(Colour colour) override;
  void SetLineWidth(double width) override;
  void ClipTo(double x1, double y1, double x2, double y2) override;
  void NoClip() override;
  void MoveTo(double x, double y) override;
  void SetTextAnchor(TextAnchor anchor) override;
  void Text(std::string_view text) override;
  void Point(double x, double y) override;
  void Line(double x1, double y1, double x2, double y2) override;
  void Rectangle(double x1, double y1, double x2, double y2) override;
  void Legend(double x1, double x2, double y, std::span<const LegendEntry> entries) override;

  const std::vector<Op>& ops() const { return ops_; }
  bool empty() const { return ops_.empty(); }

  // What the frame of the last pass shows; none until a pass has drawn one (Clear forgets it).
  const std::optional<PlotFrame>& frame() const { return frame_; }
  void SetFrame(const PlotFrame& frame) { frame_ = frame; }

  // Draws the recorded calls onto another surface.
  void Replay(Canvas& canvas) const;

 private:
  std::vector<Op> ops_;
  std::optional<PlotFrame> frame_;
};

}  // namespace kivex::display
