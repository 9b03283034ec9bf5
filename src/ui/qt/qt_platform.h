#pragma once
// The core's platform on Qt: message boxes, the common file dialog, the hourglass, the timer,
// and the live result and plot windows of the main window.
//
// A long command (a simulation, a fit) runs on a worker thread that owns the session meanwhile
// (MainWindow::ActInBackground). Whatever it asks of the platform is carried out on the window's
// thread: lines, pictures and progress are posted and shown as they come; a message box or a file
// dialog is shown there while the worker waits for the user's answer. The worker never touches a
// widget, and the window never touches the session while the worker has it.

#include <QElapsedTimer>
#include <QString>
#include <atomic>
#include <functional>

#include "ui/platform.h"

class QPrinter;
class QWidget;

namespace kivex::ui::qt {

class MainWindow;

class QtPlatform : public Platform {
 public:
  explicit QtPlatform(MainWindow& window);

  void ShowMessage(const std::string& text) override;
  std::optional<std::string> ChooseOpenFile(std::string_view filter) override;
  std::optional<std::string> ChooseSaveFile(std::string_view filter) override;
  // Asks only when the file has more than two columns.
  std::optional<ImportChoice> ChooseImport(const io::CurveFile& file,
                                           const ImportChoice& proposed) override;
  void SetBusy(bool busy) override;
  double Timer() override;
  void ResultLineWritten(const std::string& line) override;
  void ResultCleared() override;
  void PlotChanged() override;
  void WindowShown(std::string_view name) override;
  void CopyPlotToClipboard(const display::Picture& picture) override;
  void PrintPlot(const display::Picture& picture) override;
  bool CancelRequested() override { return cancel_.load(); }
  void FitProgress(int iteration, double bestLeastSquare) override;

  // The user's Cancel, from the window's thread; cleared when the next long command starts.
  void RequestCancel() { cancel_.store(true); }
  void ClearCancel() { cancel_.store(false); }

  // Prints onto a printer that is already set up (the print dialog's choice, or a PDF file).
  static void PrintOn(const display::Picture& picture, QPrinter& printer);

  bool busy() const { return busy_; }

 private:
  // Runs `call` on the window's thread: at once when already there; from the worker posted in
  // order, and with `wait` the worker waits until it has run (for what the user must answer).
  void OnWindowThread(std::function<void()> call, bool wait);

  MainWindow& window_;
  QElapsedTimer clock_;
  bool busy_ = false;  // the window's thread only
  std::atomic<bool> cancel_{false};
};

// "csv|*.csv|all|*.*" as a Qt file dialog filter: "csv (*.csv);;all (*.*)".
QString QtFileFilter(std::string_view filter);

// The save dialog of every file the program writes, offering `filter` (as QtFileFilter takes it).
// The name chosen ends in the chosen filter's extension (ui::WithFilterExtension) before the
// dialog asks whether to replace a file of that name. No value when the user cancels.
std::optional<QString> AskSaveFileName(QWidget* parent, const QString& title,
                                       std::string_view filter);

}  // namespace kivex::ui::qt
