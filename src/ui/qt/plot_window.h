#pragma once
// FormPlot ("Plot"): paints the retained picture of the last drawing pass. The picture is kept in
// the plot's own user coordinates, so a resize simply paints it again at the new size; the same
// picture goes to the clipboard and the printer.

#include <QImage>
#include <QWidget>

#include "display/picture.h"

namespace kivex::ui::qt {

class PlotWindow : public QWidget {
 public:
  explicit PlotWindow(const display::Picture& picture, QWidget* parent = nullptr);

  // The picture rendered onto an image of the given size (white background).
  static QImage Render(const display::Picture& picture, QSize size);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const display::Picture& picture_;
};

// Renders the picture onto a painter's whole target rectangle.
void PaintPicture(const display::Picture& picture, class QPainter& painter, const QRectF& target);

}  // namespace kivex::ui::qt
