#include "ui/qt/qt_canvas.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPen>
#include <QString>
#include <algorithm>
#include <vector>

#include "display/legend.h"
#include "ui/qt/qt_text.h"

namespace kivex::ui::qt {

namespace {

QColor ToQColor(display::Colour colour) { return {colour.r, colour.g, colour.b}; }

}  // namespace

QtCanvas::QtCanvas(QPainter& painter, const QRectF& target)
    : painter_(painter),
      target_(target),
      hadClip_(painter.hasClipping()),
      baseClip_(painter.hasClipping() ? painter.clipPath() : QPainterPath()),
      scale_(painter.device() != nullptr ? std::max(1.0, painter.device()->logicalDpiX() / 96.0)
                                         : 1.0) {
  painter_.setBrush(Qt::NoBrush);
  painter_.setRenderHint(QPainter::Antialiasing, true);
  ApplyPen();
}

void QtCanvas::ApplyPen() {
  QPen pen(ToQColor(colour_));
  pen.setWidthF(width_ * scale_);
  pen.setCosmetic(true);
  pen.setStyle(style_ == display::PenStyle::Dashed ? Qt::DashLine : Qt::SolidLine);
  painter_.setPen(pen);
}

void QtCanvas::Clear() {
  NoClip();
  painter_.fillRect(target_, Qt::white);
  style_ = display::PenStyle::Solid;
  colour_ = display::kBlack;
  width_ = 1;
  anchor_ = display::TextAnchor::TopLeft;
  ApplyPen();
}

void QtCanvas::SetWindow(double left, double top, double right, double bottom) {
  window_ = {left, top, right, bottom};
}

void QtCanvas::SetPen(display::PenStyle style) {
  style_ = style;
  ApplyPen();
}

void QtCanvas::SetColour(display::Colour colour) {
  colour_ = colour;
  ApplyPen();
}

void QtCanvas::SetLineWidth(double width) {
  width_ = width;
  ApplyPen();
}

void QtCanvas::ClipTo(double x1, double y1, double x2, double y2) {
  NoClip();
  const std::optional<QPointF> a = Map(x1, y1);
  const std::optional<QPointF> b = Map(x2, y2);
  if (!a || !b) return;
  const QRectF rect = QRectF(*a, *b).normalized();
  painter_.setClipRect(rect, hadClip_ ? Qt::IntersectClip : Qt::ReplaceClip);
}

void QtCanvas::NoClip() {
  if (hadClip_) {
    painter_.setClipPath(baseClip_);
  } else {
    painter_.setClipping(false);
  }
}

std::optional<QPointF> QtCanvas::Map(double x, double y) const {
  const std::optional<display::SurfacePoint> point =
      display::MapToSurface(window_, x, y, target_.width(), target_.height());
  if (!point) return std::nullopt;
  return QPointF(target_.left() + point->x, target_.top() + point->y);
}

void QtCanvas::MoveTo(double x, double y) { position_ = Map(x, y); }

void QtCanvas::SetTextAnchor(display::TextAnchor anchor) { anchor_ = anchor; }

// The anchor point of the text's box sits at the current position. Text is black whatever the
// pen, and never clipped.
void QtCanvas::Text(std::string_view text) {
  if (!position_) return;
  const QString shown = FromUtf8(text);
  const QFontMetricsF metrics(painter_.font(), painter_.device());
  const double width = metrics.horizontalAdvance(shown);
  double x = position_->x();
  double top = position_->y();
  switch (anchor_) {
    case display::TextAnchor::TopLeft: break;
    case display::TextAnchor::TopCentre: x -= width / 2; break;
    case display::TextAnchor::MiddleLeft: top -= metrics.height() / 2; break;
    case display::TextAnchor::MiddleRight:
      x -= width;
      top -= metrics.height() / 2;
      break;
  }
  painter_.save();
  painter_.setPen(Qt::black);
  if (hadClip_) {
    painter_.setClipPath(baseClip_);
  } else {
    painter_.setClipping(false);
  }
  painter_.drawText(QPointF(x, top + metrics.ascent()), shown);
  painter_.restore();
}

// A point is a square of two pixels, so that a dotted curve shows its colour.
void QtCanvas::Point(double x, double y) {
  const std::optional<QPointF> p = Map(x, y);
  if (!p) return;
  painter_.fillRect(QRectF(p->x() - scale_, p->y() - scale_, 2 * scale_, 2 * scale_),
                    ToQColor(colour_));
}

void QtCanvas::Line(double x1, double y1, double x2, double y2) {
  const std::optional<QPointF> a = Map(x1, y1);
  const std::optional<QPointF> b = Map(x2, y2);
  if (a && b) painter_.drawLine(*a, *b);
}

void QtCanvas::Rectangle(double x1, double y1, double x2, double y2) {
  const std::optional<QPointF> a = Map(x1, y1);
  const std::optional<QPointF> b = Map(x2, y2);
  if (a && b) painter_.drawRect(QRectF(*a, *b).normalized());
}

void QtCanvas::Legend(double x1, double x2, double y,
                      std::span<const display::LegendEntry> entries) {
  const std::optional<QPointF> left = Map(x1, y);
  const std::optional<QPointF> right = Map(x2, y);
  if (entries.empty() || !left || !right) return;
  const QPointF a = *left;
  const QPointF b = *right;
  const QFontMetricsF metrics(painter_.font(), painter_.device());
  std::vector<double> widths;
  for (const display::LegendEntry& entry : entries) {
    widths.push_back(metrics.horizontalAdvance(FromUtf8(entry.text)));
  }
  const double k = scale_;
  const display::LegendLayout layout = display::LayOutLegend(
      widths, std::max(a.x(), b.x()), a.y(), std::abs(b.x() - a.x()), 1.25 * metrics.height(), k);
  painter_.save();
  for (std::size_t j = 0; j < entries.size(); ++j) {
    const display::LegendEntry& entry = entries[j];
    const display::LegendPlace& place = layout.places[j];
    const QColor colour = ToQColor(entry.colour);
    const double middle = place.sampleLeft + k * display::kLegendSample / 2;
    QPen pen(colour);
    pen.setCosmetic(true);
    pen.setWidthF(k);
    switch (entry.mark) {
      case display::CurveMark::Line:
        pen.setWidthF(1.5 * k);
        painter_.setPen(pen);
        painter_.drawLine(QPointF(place.sampleLeft, place.y),
                          QPointF(place.sampleLeft + k * display::kLegendSample, place.y));
        break;
      case display::CurveMark::Markers:
        painter_.setPen(pen);
        painter_.drawRect(QRectF(middle - 3 * k, place.y - 3 * k, 6 * k, 6 * k));
        break;
      case display::CurveMark::Dots:
        for (double dx : {-6.0, 0.0, 6.0}) {
          painter_.fillRect(QRectF(middle + (dx - 1) * k, place.y - k, 2 * k, 2 * k), colour);
        }
        break;
    }
    painter_.setPen(Qt::black);
    painter_.drawText(QPointF(place.textLeft, place.y - metrics.height() / 2 + metrics.ascent()),
                      FromUtf8(entry.text));
  }
  painter_.restore();
}

}  // namespace kivex::ui::qt
