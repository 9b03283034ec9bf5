#include "ui/qt/qt_platform.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QStringList>
#include <QThread>
#include <vector>

#include "display/picture.h"
#include "ui/file_extension.h"
#include "ui/qt/import_dialog.h"
#include "ui/qt/main_window.h"
#include "ui/qt/plot_window.h"
#include "ui/qt/qt_text.h"
#include "ui/qt/result_window.h"

namespace kivex::ui::qt {

namespace {

bool InWindowThread() { return QThread::currentThread() == QCoreApplication::instance()->thread(); }

// The patterns of a name filter: "*.csv *.txt" of "text (*.csv *.txt)".
QString FilterPatterns(const QString& nameFilter) {
  const qsizetype open = nameFilter.lastIndexOf('(');
  const qsizetype close = nameFilter.lastIndexOf(')');
  return open >= 0 && close > open ? nameFilter.mid(open + 1, close - open - 1) : QString();
}

QString NamedForFilter(const QString& path, const QString& nameFilter) {
  return FromUtf8(
      WithFilterExtension(path.toStdString(), FilterPatterns(nameFilter).toStdString()));
}

// The extension a save dialog proposes under a name filter: its first, none for "all (*.*)".
QString FilterSuffix(const QString& nameFilter) {
  const std::vector<std::string> extensions =
      PatternExtensions(FilterPatterns(nameFilter).toStdString());
  return extensions.empty() ? QString() : FromUtf8(extensions.front());
}

// The save dialog: the name gets the chosen filter's extension before the dialog checks whether
// that file exists, so that the file written is the one the filter lists (and the one Import then
// shows), and an existing one is not replaced without a question.
class SaveFileDialog : public QFileDialog {
 public:
  using QFileDialog::QFileDialog;

  void accept() override {
    setDefaultSuffix(FilterSuffix(selectedNameFilter()));  // "all" adds none
    const QStringList files = selectedFiles();
    if (!files.isEmpty()) {
      const QString named = NamedForFilter(files.constFirst(), selectedNameFilter());
      if (named != files.constFirst()) selectFile(named);
    }
    QFileDialog::accept();
  }
};

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

void QtPlatform::OnWindowThread(std::function<void()> call, bool wait) {
  if (InWindowThread()) {
    call();
    return;
  }
  QMetaObject::invokeMethod(&window_, std::move(call),
                            wait ? Qt::BlockingQueuedConnection : Qt::QueuedConnection);
}

void QtPlatform::ShowMessage(const std::string& text) {
  OnWindowThread(
      [this, text] {
        if (window_.closing()) return;  // the worker is being stopped: nobody would answer
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Kivex"), FromUtf8(text),
                        QMessageBox::Ok, &window_);
        box.setObjectName("MessageBox");
        // A message must be seen and acknowledged even in the middle of a busy command.
        if (busy_) QApplication::setOverrideCursor(Qt::ArrowCursor);
        box.exec();
        if (busy_) QApplication::restoreOverrideCursor();
      },
      true);
}

std::optional<std::string> QtPlatform::ChooseOpenFile(std::string_view filter) {
  std::optional<std::string> chosen;
  const QString filters = QtFileFilter(filter);
  OnWindowThread(
      [this, &chosen, &filters] {
        if (window_.closing()) return;
        const QString path = QFileDialog::getOpenFileName(&window_, QString(), QString(), filters);
        if (!path.isEmpty()) chosen = path.toStdString();
      },
      true);
  return chosen;
}

std::optional<QString> AskSaveFileName(QWidget* parent, const QString& title,
                                       std::string_view filter) {
  SaveFileDialog dialog(parent, title);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters(QtFileFilter(filter).split(";;"));
  // Proposed as the filter changes; a dialog of the desktop's own adds it itself.
  dialog.setDefaultSuffix(FilterSuffix(dialog.selectedNameFilter()));
  QObject::connect(
      &dialog, &QFileDialog::filterSelected, &dialog,
      [&dialog](const QString& chosen) { dialog.setDefaultSuffix(FilterSuffix(chosen)); });
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  // Once more for a dialog of the desktop's own, which does not call accept() above.
  return NamedForFilter(dialog.selectedFiles().constFirst(), dialog.selectedNameFilter());
}

std::optional<std::string> QtPlatform::ChooseSaveFile(std::string_view filter) {
  std::optional<std::string> chosen;
  OnWindowThread(
      [this, &chosen, filter] {
        if (window_.closing()) return;
        if (const std::optional<QString> path = AskSaveFileName(&window_, QString(), filter)) {
          chosen = path->toStdString();
        }
      },
      true);
  return chosen;
}

std::optional<ImportChoice> QtPlatform::ChooseImport(const io::CurveFile& file,
                                                     const ImportChoice& proposed) {
  if (!ImportNeedsAChoice(file, proposed)) return proposed;
  std::optional<ImportChoice> chosen;
  OnWindowThread(
      [this, &chosen, &file, &proposed] {
        if (!window_.closing()) chosen = AskImport(file, proposed, &window_);
      },
      true);
  return chosen;
}

void QtPlatform::SetBusy(bool busy) {
  // A long command's worker leaves the pointer to the window, which shows the hourglass for as
  // long as the command runs.
  if (!InWindowThread() || busy == busy_) return;
  busy_ = busy;
  if (busy) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

double QtPlatform::Timer() { return static_cast<double>(clock_.nsecsElapsed()) * 1e-9; }

void QtPlatform::ResultLineWritten(const std::string& line) {
  OnWindowThread([this, line] { window_.EnsureResultWindow()->AppendLine(line); }, false);
}

void QtPlatform::ResultCleared() {
  OnWindowThread([this] { window_.EnsureResultWindow()->Clear(); }, false);
}

void QtPlatform::PlotChanged() {
  // The worker owns the session's picture: the window paints a copy of it.
  OnWindowThread([this, picture = window_.session().picture] { window_.ShowPicture(picture); },
                 false);
}

void QtPlatform::WindowShown(std::string_view name) {
  OnWindowThread(
      [this, name = std::string(name)] {
        if (name == "About") {
          window_.ShowAbout();
        } else {
          window_.ShowChild(name);
        }
      },
      name == "About");
}

void QtPlatform::FitProgress(int iteration, double bestLeastSquare) {
  OnWindowThread(
      [this, iteration, bestLeastSquare] { window_.ShowFitProgress(iteration, bestLeastSquare); },
      false);
}

// Both take the picture the plot window shows, which is a closer look at the session's picture
// while the user has zoomed in.
void QtPlatform::CopyPlotToClipboard(const display::Picture& /*picture*/) {
  OnWindowThread(
      [this] {
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        PlotWindow* plot = window_.EnsurePlotWindow();
        clipboard->setImage(PlotWindow::Render(plot->shownPicture(), plot->size()));
      },
      true);
}

void QtPlatform::PrintPlot(const display::Picture& /*picture*/) {
  OnWindowThread(
      [this] {
        if (window_.closing()) return;
        QPrinter printer(QPrinter::HighResolution);
        QPrintDialog dialog(&printer, &window_);
        dialog.setWindowTitle("Print");
        if (dialog.exec() != QDialog::Accepted) return;
        PrintOn(window_.EnsurePlotWindow()->shownPicture(), printer);
      },
      true);
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
