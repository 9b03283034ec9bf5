#pragma once
// The plot's drawing surface on a QPainter: the user coordinate window is mapped onto the
// painter's target rectangle, as the plot window maps it onto its client area. A clip is cut
// within whatever clip the painter had when the canvas was made. Pixel sizes (pen widths, points,
// the key's samples) are those of a 96 dpi screen, scaled to the device's resolution, so that a
// printed page shows them as the window does.

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <optional>

#include "display/canvas.h"
#include "display/window_mapping.h"

namespace kivex::ui::qt {

class QtCanvas : public display::Canvas {
 public:
  QtCanvas(QPainter& painter, const QRectF& target);

  void Clear() override;
  void SetWindow(double left, double top, double right, double bottom) override;
  void SetPen(display::PenStyle style) override;
  void SetColour(display::Colour colour) override;
  void SetLineWidth(double width) override;
  void ClipTo(double x1, double y1, double x2, double y2) override;
  void NoClip() override;
  void MoveTo(double x, double y) override;
  void SetTextAnchor(display::TextAnchor anchor) override;
  void Text(std::string_view text) override;
  void Point(double x, double y) override;
  void Line(double x1, double y1, double x2, double y2) override;
  void Rectangle(double x1, double y1, double x2, double y2) override;
  void Legend(double x1, double x2, double y,
              std::span<const display::LegendEntry> entries) override;

 private:
  // The position of a user point on the target, as the last window maps it; none where the SVG
  // page places nothing either (a window of zero width or height, a point beyond the doubles).
  std::optional<QPointF> Map(double x, double y) const;

  void ApplyPen();

  QPainter& painter_;
  QRectF target_;
  bool hadClip_ = false;
  QPainterPath baseClip_;
  display::UserWindow window_{0, 1, 1, 0};
  std::optional<QPointF> position_;
  display::TextAnchor anchor_ = display::TextAnchor::TopLeft;
  display::PenStyle style_ = display::PenStyle::Solid;
  display::Colour colour_ = display::kBlack;
  double width_ = 1;
  double scale_ = 1;  // device pixels per pixel of a 96 dpi screen
};

}  // namespace kivex::ui::qt
