#include "ui/qt/plot_window.h"

#include <QPainter>

#include "ui/qt/qt_canvas.h"

namespace kivex::ui::qt {

void PaintPicture(const display::Picture& picture, QPainter& painter, const QRectF& target) {
  painter.fillRect(target, Qt::white);
  QtCanvas canvas(painter, target);
  picture.Replay(canvas);
}

PlotWindow::PlotWindow(const display::Picture& picture, QWidget* parent)
    : QWidget(parent), picture_(picture) {
  setObjectName("FormPlot");
  setWindowTitle("Plot");
  setMinimumSize(320, 240);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

QImage PlotWindow::Render(const display::Picture& picture, QSize size) {
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  QPainter painter(&image);
  PaintPicture(picture, painter, QRectF(QPointF(0, 0), QSizeF(size)));
  return image;
}

void PlotWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintPicture(picture_, painter, QRectF(rect()));
}

}  // namespace kivex::ui::qt
