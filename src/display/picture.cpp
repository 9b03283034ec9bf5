#include "display/picture.h"

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

// Clearing starts a new picture: nothing drawn before it can show any more.
void Picture::Clear() {
  ops_.clear();
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

void Picture::Replay(Canvas& canvas) const {
  for (const Op& op : ops_) {
    switch (op.kind) {
      case OpKind::Clear: canvas.Clear(); break;
      case OpKind::Window: canvas.SetWindow(op.a, op.b, op.c, op.d); break;
      case OpKind::Pen: canvas.SetPen(op.pen); break;
      case OpKind::MoveTo: canvas.MoveTo(op.a, op.b); break;
      case OpKind::Anchor: canvas.SetTextAnchor(op.anchor); break;
      case OpKind::Text: canvas.Text(op.text); break;
      case OpKind::Point: canvas.Point(op.a, op.b); break;
      case OpKind::Line: canvas.Line(op.a, op.b, op.c, op.d); break;
      case OpKind::Rectangle: canvas.Rectangle(op.a, op.b, op.c, op.d); break;
    }
  }
}

}  // namespace kivex::display
