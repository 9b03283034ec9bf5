#pragma once
// The plot's drawing surface on a QPainter: the user coordinate window is mapped onto the
// painter's target rectangle, as the plot window maps it onto its client area.

#include <QFont>
#include <QPainter>
#include <QPointF>
#include <QRectF>

#include "display/canvas.h"

namespace kivex::ui::qt {

class QtCanvas : public display::Canvas {
 public:
  QtCanvas(QPainter& painter, const QRectF& target);

  void Clear() override;
  void SetWindow(double left, double top, double right, double bottom) override;
  void SetPen(display::PenStyle style) override;
  void MoveTo(double x, double y) override;
  void SetTextAnchor(display::TextAnchor anchor) override;
  void Text(std::string_view text) override;
  void Point(double x, double y) override;
  void Line(double x1, double y1, double x2, double y2) override;
  void Rectangle(double x1, double y1, double x2, double y2) override;

 private:
  QPointF Map(double x, double y) const;

  QPainter& painter_;
  QRectF target_;
  double left_ = 0, top_ = 1, right_ = 1, bottom_ = 0;
  QPointF position_;
  display::TextAnchor anchor_ = display::TextAnchor::TopLeft;
};

}  // namespace kivex::ui::qt
