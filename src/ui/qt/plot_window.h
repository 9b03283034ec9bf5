#pragma once
// FormPlot ("Plot"): paints the retained picture of the last drawing pass. The picture is kept in
// the plot's own user coordinates, so a resize simply paints it again at the new size; the same
// picture goes to the clipboard, the printer and the saved files.
//
// Its context menu copies, saves (SVG, PNG or PDF at a chosen size) and prints the picture on
// show. Over the frame the mouse position is read out as E and the quantity shown; dragging a
// rectangle draws the curves again within it, a double-click goes back. Such a closer look is
// the window's own: it changes no plot option, and the next picture from a command ends it.

#include <QImage>
#include <QWidget>
#include <functional>
#include <optional>
#include <string_view>

#include "display/picture.h"
#include "ui/run_simulation.h"

class QRubberBand;

namespace kivex::ui::qt {

class PlotWindow : public QWidget {
 public:
  explicit PlotWindow(const display::Picture& picture, QWidget* parent = nullptr);

  // The picture rendered onto an image of the given size (white background).
  static QImage Render(const display::Picture& picture, QSize size);

  // Draws the curves within the limits into the picture; false when that cannot be done now (a
  // long command owns the curves). Set by the main window.
  std::function<bool(const PlotLimits&, display::Picture&)> drawZoomed;

  // The closer look while there is one, else the last pass.
  const display::Picture& shownPicture() const { return zoomed_ ? *zoomed_ : picture_; }
  bool zoomed() const { return zoomed_.has_value(); }
  // A new picture has come: any closer look ends.
  void PictureChanged();
  // Looks closer at the part of the frame between two points of the window; false when the
  // rectangle holds no part of the frame or the curves cannot be drawn now.
  bool ZoomTo(QPointF from, QPointF to);
  void ZoomOut();

  // The picture on show written to `path` in `format` ("svg", "png" or "pdf"), whatever the
  // file's name ends in; false when the file cannot be written.
  bool SaveAs(const QString& path, QSize size, const QString& format) const;
  // "E = -0.1234 V   I = 5.678e-05 A" for a point of the window inside the frame; empty
  // elsewhere.
  QString ReadOut(QPointF position) const;
  // The read-out on show: that of the mouse's last place over the window, in the picture on show.
  const QString& shownReadOut() const { return readOut_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void CreateActions();
  // Asks for the size and the file, then saves; says so when the file cannot be written.
  // `filter` as the file dialogs take it ("PNG image|*.png").
  void SaveWithDialogs(const QString& format, std::string_view filter);
  void Print();
  void Copy() const;
  // The read-out again where the mouse last was: a new picture or a closer look moves the frame
  // under a mouse that has not moved.
  void RefreshReadOut();

  const display::Picture& picture_;
  std::optional<display::Picture> zoomed_;
  QRubberBand* band_ = nullptr;
  std::optional<QPoint> dragFrom_;
  std::optional<QPointF> mouseAt_;  // while the mouse is over the window
  QString readOut_;
};

// Renders the picture onto a painter's whole target rectangle.
void PaintPicture(const display::Picture& picture, class QPainter& painter, const QRectF& target);

}  // namespace kivex::ui::qt
