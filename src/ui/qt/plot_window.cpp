#include "ui/qt/plot_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QRubberBand>
#include <QSaveFile>
#include <QSpinBox>
#include <algorithm>
#include <cmath>

#include "display/svg_canvas.h"
#include "ui/qt/qt_canvas.h"
#include "ui/qt/qt_platform.h"
#include "ui/qt/qt_text.h"

namespace kivex::ui::qt {

namespace {

// A drag shorter than this either way is a click, not a rectangle.
constexpr int kMinDrag = 4;
constexpr int kMaxSide = 10000;  // pixels of a saved picture

// The size of a saved picture, the window's own to start with.
std::optional<QSize> AskSize(QWidget* parent, QSize start) {
  QDialog dialog(parent);
  dialog.setObjectName("PictureSize");
  dialog.setWindowTitle("Picture size");
  auto* layout = new QFormLayout(&dialog);
  auto* width = new QSpinBox(&dialog);
  auto* height = new QSpinBox(&dialog);
  width->setObjectName("width");
  height->setObjectName("height");
  for (QSpinBox* box : {width, height}) {
    box->setRange(16, kMaxSide);
    box->setSuffix(" px");
  }
  width->setValue(start.width());
  height->setValue(start.height());
  layout->addRow("Width", width);
  layout->addRow("Height", height);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addRow(buttons);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return QSize(width->value(), height->value());
}

bool SaveSvg(const display::Picture& picture, const QString& path, QSize size) {
  const std::string document = display::PictureToSvg(picture, size.width(), size.height());
  // Written beside the target and renamed, so an earlier file is never left half-written.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  file.write(document.data(), static_cast<qint64>(document.size()));
  return file.commit();
}

// A vector page of the picture's size, a pixel counted as 1/96 inch.
bool SavePdf(const display::Picture& picture, const QString& path, QSize size) {
  QPdfWriter writer(path);
  writer.setResolution(96);
  writer.setPageSize(QPageSize(QSizeF(size) * 72.0 / 96.0, QPageSize::Point));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  QPainter painter;
  if (!painter.begin(&writer)) return false;
  PaintPicture(picture, painter, QRectF(QPointF(0, 0), QSizeF(size)));
  return painter.end();
}

}  // namespace

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
  setMouseTracking(true);
  band_ = new QRubberBand(QRubberBand::Rectangle, this);
  CreateActions();
}

void PlotWindow::CreateActions() {
  setContextMenuPolicy(Qt::ActionsContextMenu);
  auto add = [this](const char* name, const QString& caption, auto slot) {
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, slot);
    addAction(action);
  };
  add("plotCopy", "Copy", [this] { Copy(); });
  add("plotSaveSvg", "Save as SVG...",
      [this] { SaveWithDialogs("svg", "SVG image, vector|*.svg"); });
  add("plotSavePng", "Save as PNG...", [this] { SaveWithDialogs("png", "PNG image|*.png"); });
  add("plotSavePdf", "Save as PDF...",
      [this] { SaveWithDialogs("pdf", "PDF document, vector|*.pdf"); });
  add("plotPrint", "Print...", [this] { Print(); });
}

QImage PlotWindow::Render(const display::Picture& picture, QSize size) {
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  QPainter painter(&image);
  PaintPicture(picture, painter, QRectF(QPointF(0, 0), QSizeF(size)));
  return image;
}

void PlotWindow::PictureChanged() {
  zoomed_.reset();
  RefreshReadOut();
  update();
}

void PlotWindow::RefreshReadOut() { readOut_ = mouseAt_ ? ReadOut(*mouseAt_) : QString(); }

bool PlotWindow::ZoomTo(QPointF from, QPointF to) {
  const auto& frame = shownPicture().frame();
  if (!frame || !drawZoomed || width() <= 0 || height() <= 0) return false;
  auto x = [&](QPointF p) { return frame->XAt(p.x() / width()); };
  auto y = [&](QPointF p) { return frame->YAt(p.y() / height()); };
  // Within the frame on show: a drag past its edge stops at the edge.
  const double xLo = std::min(frame->xMin, frame->xMax);
  const double xHi = std::max(frame->xMin, frame->xMax);
  const double yLo = std::min(frame->yMin, frame->yMax);
  const double yHi = std::max(frame->yMin, frame->yMax);
  PlotLimits limits;
  limits.xMin = std::clamp(std::min(x(from), x(to)), xLo, xHi);
  limits.xMax = std::clamp(std::max(x(from), x(to)), xLo, xHi);
  limits.yMin = std::clamp(std::min(y(from), y(to)), yLo, yHi);
  limits.yMax = std::clamp(std::max(y(from), y(to)), yLo, yHi);
  if (!(limits.xMax > limits.xMin) || !(limits.yMax > limits.yMin)) return false;
  display::Picture view;
  if (!drawZoomed(limits, view)) return false;
  zoomed_ = std::move(view);
  RefreshReadOut();
  update();
  return true;
}

void PlotWindow::ZoomOut() {
  zoomed_.reset();
  RefreshReadOut();
  update();
}

bool PlotWindow::SaveAs(const QString& path, QSize size, const QString& format) const {
  const display::Picture& picture = shownPicture();
  if (format == "svg") return SaveSvg(picture, path, size);
  if (format == "pdf") return SavePdf(picture, path, size);
  return Render(picture, size).save(path, "PNG");
}

QString PlotWindow::ReadOut(QPointF position) const {
  const auto& frame = shownPicture().frame();
  if (!frame || width() <= 0 || height() <= 0) return {};
  const double x = frame->XAt(position.x() / width());
  const double y = frame->YAt(position.y() / height());
  if (!frame->Holds(x, y)) return {};
  QString text = "E = " + QString::number(x, 'g', 4) + " V";
  if (!frame->quantity.empty()) {
    text += "   " + FromUtf8(frame->quantity) + " = " + QString::number(y, 'g', 4) + " " +
            FromUtf8(frame->unit);
  }
  return text;
}

void PlotWindow::SaveWithDialogs(const QString& format, std::string_view filter) {
  const std::optional<QSize> size = AskSize(this, this->size());
  if (!size) return;
  const std::optional<QString> path = AskSaveFileName(this, "Save the plot", filter);
  if (!path) return;
  if (!SaveAs(*path, *size, format)) {
    QMessageBox box(QMessageBox::NoIcon, "Kivex", "The plot could not be written to " + *path + ".",
                    QMessageBox::Ok, this);
    box.setObjectName("MessageBox");
    box.exec();
  }
}

void PlotWindow::Print() {
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, this);
  dialog.setWindowTitle("Print");
  if (dialog.exec() != QDialog::Accepted) return;
  QtPlatform::PrintOn(shownPicture(), printer);
}

void PlotWindow::Copy() const {
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->clear();
  clipboard->setImage(Render(shownPicture(), size()));
}

void PlotWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintPicture(shownPicture(), painter, QRectF(rect()));
  if (readOut_.isEmpty()) return;
  // The read-out belongs to the window, not to the picture: it is neither copied nor saved.
  const QFontMetrics metrics(painter.font());
  const QRect box(4, height() - metrics.height() - 8, metrics.horizontalAdvance(readOut_) + 8,
                  metrics.height() + 4);
  painter.fillRect(box, QColor(255, 255, 255, 220));
  painter.setPen(Qt::black);
  painter.drawText(box, Qt::AlignCenter, readOut_);
}

void PlotWindow::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  dragFrom_ = event->position().toPoint();
  band_->setGeometry(QRect(*dragFrom_, QSize()));
  band_->show();
}

void PlotWindow::mouseMoveEvent(QMouseEvent* event) {
  mouseAt_ = event->position();
  const QString readOut = ReadOut(event->position());
  if (readOut != readOut_) {
    readOut_ = readOut;
    update();
  }
  if (dragFrom_) band_->setGeometry(QRect(*dragFrom_, event->position().toPoint()).normalized());
}

void PlotWindow::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !dragFrom_) {
    QWidget::mouseReleaseEvent(event);
    return;
  }
  band_->hide();
  mouseAt_ = event->position();
  const QPoint from = *std::exchange(dragFrom_, std::nullopt);
  const QPoint to = event->position().toPoint();
  if (std::abs(to.x() - from.x()) >= kMinDrag && std::abs(to.y() - from.y()) >= kMinDrag) {
    ZoomTo(from, to);
  }
}

void PlotWindow::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    ZoomOut();
  } else {
    QWidget::mouseDoubleClickEvent(event);
  }
}

void PlotWindow::resizeEvent(QResizeEvent* event) {
  RefreshReadOut();
  QWidget::resizeEvent(event);
}

void PlotWindow::leaveEvent(QEvent* event) {
  mouseAt_.reset();
  if (!readOut_.isEmpty()) {
    readOut_.clear();
    update();
  }
  QWidget::leaveEvent(event);
}

}  // namespace kivex::ui::qt
