#pragma once
// The plot window's retained picture: every drawing call of the last pass, in order, so that the
// window, the clipboard copy, the printer and the SVG writer can each replay it on their own
// surface at their own size.

#include <string>
#include <vector>

#include "display/canvas.h"

namespace kivex::display {

class Picture : public Canvas {
 public:
  enum class OpKind { Clear, Window, Pen, MoveTo, Anchor, Text, Point, Line, Rectangle };
  struct Op {
    OpKind kind;
    double a = 0, b = 0, c = 0, d = 0;
    PenStyle pen = PenStyle::Solid;
    TextAnchor anchor = TextAnchor::TopLeft;
    std::string text;
  };

  void Clear() override;
  void SetWindow(double left, double top, double right, double bottom) override;
  void SetPen(PenStyle style) override;
  void MoveTo(double x, double y) override;
  void SetTextAnchor(TextAnchor anchor) override;
  void Text(std::string_view text) override;
  void Point(double x, double y) override;
  void Line(double x1, double y1, double x2, double y2) override;
  void Rectangle(double x1, double y1, double x2, double y2) override;

  const std::vector<Op>& ops() const { return ops_; }
  bool empty() const { return ops_.empty(); }

  // Draws the recorded calls onto another surface.
  void Replay(Canvas& canvas) const;

 private:
  std::vector<Op> ops_;
};

}  // namespace kivex::display
