#include "ui/qt/qt_platform.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QStringList>

#include "display/picture.h"
#include "ui/qt/main_window.h"
#include "ui/qt/plot_window.h"
#include "ui/qt/result_window.h"

namespace kivex::ui::qt {

namespace {

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// While a command runs, only paint events are processed: the user cannot act in the middle of a
// computation, but sees its lines and the plot as they come.
void RepaintNow() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

}  // namespace

QString QtFileFilter(std::string_view filter) {
  const QStringList parts = FromUtf8(filter).split('|');
  QStringList entries;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    const QString& description = parts[i];
    const QString pattern = "(" + parts[i + 1] + ")";
    entries << (description.endsWith(pattern) ? description : description + " " + pattern);
  }
  return entries.join(";;");
}

QtPlatform::QtPlatform(MainWindow& window) : window_(window) { clock_.start(); }

void QtPlatform::ShowMessage(const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Kivex"), FromUtf8(text), QMessageBox::Ok,
                  &window_);
  box.setObjectName("MessageBox");
  // A message must be seen and acknowledged even in the middle of a busy command.
  if (busy_) QApplication::setOverrideCursor(Qt::ArrowCursor);
  box.exec();
  if (busy_) QApplication::restoreOverrideCursor();
}

std::optional<std::string> QtPlatform::ChooseOpenFile(std::string_view filter) {
  const QString path =
      QFileDialog::getOpenFileName(&window_, QString(), QString(), QtFileFilter(filter));
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

std::optional<std::string> QtPlatform::ChooseSaveFile(std::string_view filter) {
  const QString path =
      QFileDialog::getSaveFileName(&window_, QString(), QString(), QtFileFilter(filter));
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

void QtPlatform::SetBusy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

double QtPlatform::Timer() { return static_cast<double>(clock_.nsecsElapsed()) * 1e-9; }

void QtPlatform::ResultLineWritten(const std::string& line) {
  window_.resultWindow()->AppendLine(line);
  if (busy_) RepaintNow();
}

void QtPlatform::ResultCleared() { window_.resultWindow()->clear(); }

void QtPlatform::PlotChanged() {
  window_.ShowChild("FormPlot");
  window_.plotWindow()->update();
  if (busy_) RepaintNow();
}

void QtPlatform::WindowShown(std::string_view name) {
  if (name == "About") {
    window_.ShowAbout();
  } else {
    window_.ShowChild(name);
  }
}

void QtPlatform::CopyPlotToClipboard(const display::Picture& picture) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->clear();
  clipboard->setImage(PlotWindow::Render(picture, window_.plotWindow()->size()));
}

void QtPlatform::PrintPlot(const display::Picture& picture) {
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, &window_);
  dialog.setWindowTitle("Print");
  if (dialog.exec() != QDialog::Accepted) return;
  PrintOn(picture, printer);
}

void QtPlatform::PrintOn(const display::Picture& picture, QPrinter& printer) {
  QPainter painter;
  if (!painter.begin(&printer)) return;
  // Keep the plot's proportions (4:3) on the page.
  QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
  page.moveTo(0, 0);
  const double height = std::min(page.height(), page.width() * 0.75);
  PaintPicture(picture, painter, QRectF(page.left(), page.top(), page.width(), height));
  painter.end();
}

}  // namespace kivex::ui::qt
