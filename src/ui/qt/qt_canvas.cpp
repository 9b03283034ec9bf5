#include "ui/qt/qt_canvas.h"

#include <QFontMetricsF>
#include <QPen>
#include <QString>

namespace kivex::ui::qt {

QtCanvas::QtCanvas(QPainter& painter, const QRectF& target) : painter_(painter), target_(target) {
  QPen pen(Qt::black);
  pen.setWidthF(1.0);
  pen.setCosmetic(true);
  painter_.setPen(pen);
  painter_.setBrush(Qt::NoBrush);
  painter_.setRenderHint(QPainter::Antialiasing, true);
}

void QtCanvas::Clear() { painter_.fillRect(target_, Qt::white); }

void QtCanvas::SetWindow(double left, double top, double right, double bottom) {
  left_ = left;
  top_ = top;
  right_ = right;
  bottom_ = bottom;
}

void QtCanvas::SetPen(display::PenStyle style) {
  QPen pen = painter_.pen();
  pen.setStyle(style == display::PenStyle::Dashed ? Qt::DashLine : Qt::SolidLine);
  painter_.setPen(pen);
}

QPointF QtCanvas::Map(double x, double y) const {
  const double width = right_ - left_;
  const double height = top_ - bottom_;
  const double u = width != 0 ? (x - left_) / width : 0.0;
  const double v = height != 0 ? (top_ - y) / height : 0.0;
  return {target_.left() + u * target_.width(), target_.top() + v * target_.height()};
}

void QtCanvas::MoveTo(double x, double y) { position_ = Map(x, y); }

void QtCanvas::SetTextAnchor(display::TextAnchor anchor) { anchor_ = anchor; }

// The anchor point of the text's box sits at the current position.
void QtCanvas::Text(std::string_view text) {
  const QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  const QFontMetricsF metrics(painter_.font());
  const double width = metrics.horizontalAdvance(shown);
  double x = position_.x();
  double top = position_.y();
  switch (anchor_) {
    case display::TextAnchor::TopLeft: break;
    case display::TextAnchor::TopCentre: x -= width / 2; break;
    case display::TextAnchor::MiddleLeft: top -= metrics.height() / 2; break;
    case display::TextAnchor::MiddleRight:
      x -= width;
      top -= metrics.height() / 2;
      break;
  }
  painter_.drawText(QPointF(x, top + metrics.ascent()), shown);
}

void QtCanvas::Point(double x, double y) { painter_.drawPoint(Map(x, y)); }

void QtCanvas::Line(double x1, double y1, double x2, double y2) {
  painter_.drawLine(Map(x1, y1), Map(x2, y2));
}

void QtCanvas::Rectangle(double x1, double y1, double x2, double y2) {
  painter_.drawRect(QRectF(Map(x1, y1), Map(x2, y2)).normalized());
}

}  // namespace kivex::ui::qt
