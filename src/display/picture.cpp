#include "display/picture.h"

#include <algorithm>

namespace kivex::display {

namespace {

Picture::Op MakeOp(Picture::OpKind kind, double a = 0, double b = 0, double c = 0, double d = 0) {
  Picture::Op op{};
  op.kind = kind;
  op.a = a;
  op.b = b;
  op.c = c;
  op.d = d;
  return op;
}

}  // namespace

bool PlotFrame::Holds(double x, double y) const {
  return x >= std::min(xMin, xMax) && x <= std::max(xMin, xMax) && y >= std::min(yMin, yMax) &&
         y <= std::max(yMin, yMax);
}

// Clearing starts a new picture: nothing drawn before it can show any more.
void Picture::Clear() {
  ops_.clear();
  frame_.reset();
  ops_.push_back(MakeOp(OpKind::Clear));
}

void Picture::SetWindow(double left, double top, double right, double bottom) {
  ops_.push_back(MakeOp(OpKind::Window, left, top, right, bottom));
}

void Picture::SetPen(PenStyle style) {
  Op op = MakeOp(OpKind::Pen);
  op.pen = style;
  ops_.push_back(op);
}

void Picture::SetColour(Colour colour) {
  Op op = MakeOp(OpKind::Colour);
  op.colour = colour;
  ops_.push_back(op);
}

void Picture::SetLineWidth(double width) { ops_.push_back(MakeOp(OpKind::Width, width)); }

void Picture::ClipTo(double x1, double y1, double x2, double y2) {
  ops_.push_back(MakeOp(OpKind::Clip, x1, y1, x2, y2));
}

void Picture::NoClip() { ops_.push_back(MakeOp(OpKind::NoClip)); }

void Picture::MoveTo(double x, double y) { ops_.push_back(MakeOp(OpKind::MoveTo, x, y)); }

void Picture::SetTextAnchor(TextAnchor anchor) {
  Op op = MakeOp(OpKind::Anchor);
  op.anchor = anchor;
  ops_.push_back(op);
}

void Picture::Text(std::string_view text) {
  Op op = MakeOp(OpKind::Text);
  op.text = std::string(text);
  ops_.push_back(op);
}

void Picture::Point(double x, double y) { ops_.push_back(MakeOp(OpKind::Point, x, y)); }

void Picture::Line(double x1, double y1, double x2, double y2) {
  ops_.push_back(MakeOp(OpKind::Line, x1, y1, x2, y2));
}

void Picture::Rectangle(double x1, double y1, double x2, double y2) {
  ops_.push_back(MakeOp(OpKind::Rectangle, x1, y1, x2, y2));
}

void Picture::Legend(double x1, double x2, double y, std::span<const LegendEntry> entries) {
  Op op = MakeOp(OpKind::Legend, x1, x2, y);
  op.legend.assign(entries.begin(), entries.end());
  ops_.push_back(op);
}

void Picture::Replay(Canvas& canvas) const {
  for (const Op& op : ops_) {
    switch (op.kind) {
      case OpKind::Clear: canvas.Clear(); break;
      case OpKind::Window: canvas.SetWindow(op.a, op.b, op.c, op.d); break;
      case OpKind::Pen: canvas.SetPen(op.pen); break;
      case OpKind::Colour: canvas.SetColour(op.colour); break;
      case OpKind::Width: canvas.SetLineWidth(op.a); break;
      case OpKind::Clip: canvas.ClipTo(op.a, op.b, op.c, op.d); break;
      case OpKind::NoClip: canvas.NoClip(); break;
      case OpKind::MoveTo: canvas.MoveTo(op.a, op.b); break;
      case OpKind::Anchor: canvas.SetTextAnchor(op.anchor); break;
      case OpKind::Text: canvas.Text(op.text); break;
      case OpKind::Point: canvas.Point(op.a, op.b); break;
      case OpKind::Line: canvas.Line(op.a, op.b, op.c, op.d); break;
      case OpKind::Rectangle: canvas.Rectangle(op.a, op.b, op.c, op.d); break;
      case OpKind::Legend: canvas.Legend(op.a, op.b, op.c, op.legend); break;
    }
  }
}

}  // namespace kivex::display
