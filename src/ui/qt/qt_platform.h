#pragma once
// The core's platform on Qt: message boxes, the common file dialog, the hourglass, the timer,
// and the live result and plot windows of the main window.

#include <QElapsedTimer>

#include "ui/platform.h"

class QPrinter;

namespace kivex::ui::qt {

class MainWindow;

class QtPlatform : public Platform {
 public:
  explicit QtPlatform(MainWindow& window);

  void ShowMessage(const std::string& text) override;
  std::optional<std::string> ChooseOpenFile(std::string_view filter) override;
  std::optional<std::string> ChooseSaveFile(std::string_view filter) override;
  void SetBusy(bool busy) override;
  double Timer() override;
  void ResultLineWritten(const std::string& line) override;
  void ResultCleared() override;
  void PlotChanged() override;
  void WindowShown(std::string_view name) override;
  void CopyPlotToClipboard(const display::Picture& picture) override;
  void PrintPlot(const display::Picture& picture) override;

  // Prints onto a printer that is already set up (the print dialog's choice, or a PDF file).
  static void PrintOn(const display::Picture& picture, QPrinter& printer);

  bool busy() const { return busy_; }

 private:
  MainWindow& window_;
  QElapsedTimer clock_;
  bool busy_ = false;
};

// "csv|*.csv|all|*.*" as a Qt file dialog filter: "csv (*.csv);;all (*.*)".
QString QtFileFilter(std::string_view filter);

}  // namespace kivex::ui::qt
