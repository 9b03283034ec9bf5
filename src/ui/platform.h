#pragma once
// What the core needs from the front end it runs under: message boxes, the common file dialog,
// the busy pointer, the timer and word that the result window or the plot changed. The Qt window,
// the command-line tool and the tests each implement it.
//
// A command calls its platform from the thread it runs on. The command-line tool and the tests run
// every command on their one thread; the window runs a long command (a simulation, a fit) on a
// worker thread that owns the session meanwhile, and its platform carries each call over to the
// window's thread.

#include <optional>
#include <string>
#include <string_view>

#include "io/curve_file.h"
#include "io/curve_portion.h"

namespace kivex::display {
class Picture;
}

namespace kivex::ui {

// File dialog filters, descriptions and patterns separated by vertical bars.
inline constexpr std::string_view kCsvFilter = "csv|*.csv|all|*.*";
inline constexpr std::string_view kParameterFilter = "parameter (*.par)|*.par|all|*.*";
// Import reads any text file of columns, whatever its extension; these are the ones instruments
// and other programs' exports use.
inline constexpr std::string_view kImportFilter =
    "Text files|*.csv *.txt *.dat *.asc *.tsv *.prn *.xy|All files|*";

// What the user takes from a file being imported: the columns that give the potential and the
// value, and which of its points (a cycle, some sweeps, all of it).
struct ImportChoice {
  io::ColumnChoice columns;
  io::PortionRequest portion;
  bool operator==(const ImportChoice&) const = default;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // A message box with one OK button; returns when the user has pressed it.
  virtual void ShowMessage(const std::string& text) = 0;

  // The common file dialog; no value when the user cancels.
  virtual std::optional<std::string> ChooseOpenFile(std::string_view filter) = 0;
  virtual std::optional<std::string> ChooseSaveFile(std::string_view filter) = 0;

  // Import's columns and portion for the file just read (every file has at least two columns;
  // the pair format counts as two), starting from the import's proposal (the columns the
  // headings name, the first whole cycle); no value when the user cancels. A front end that
  // does not ask takes the proposal.
  virtual std::optional<ImportChoice> ChooseImport(const io::CurveFile& /*file*/,
                                                   const ImportChoice& proposed) {
    return proposed;
  }

  // Hourglass pointer on or off.
  virtual void SetBusy(bool busy) = 0;

  // Seconds from an arbitrary origin.
  virtual double Timer() = 0;

  // A line was appended to the result window, or the window was cleared. A long fit calls these
  // while it runs; a window shows each line as it comes.
  virtual void ResultLineWritten(const std::string& /*line*/) {}
  virtual void ResultCleared() {}

  // The plot picture was redrawn.
  virtual void PlotChanged() {}

  // The plot window's picture onto the clipboard as an image, and onto the printer. A front end
  // without either says so.
  virtual void CopyPlotToClipboard(const display::Picture& /*picture*/) {
    ShowMessage("There is no clipboard here.");
  }
  virtual void PrintPlot(const display::Picture& /*picture*/) {
    ShowMessage("There is no printer here.");
  }

  // A window or dialog was asked to show itself ("FormResult", "FormPlot", "FormIns", ...).
  virtual void WindowShown(std::string_view /*name*/) {}

  // A fit asks before each of its simulations whether the user wants it stopped, and says after
  // each how far it has come: the iteration under way and the least square of the best trial so
  // far. A front end without a Cancel lets every fit run to its end.
  virtual bool CancelRequested() { return false; }
  virtual void FitProgress(int /*iteration*/, double /*bestLeastSquare*/) {}
};

// Hourglass for the lifetime of the guard, restored however the command ends.
class BusyPointer {
 public:
  explicit BusyPointer(Platform& platform) : platform_(platform) { platform_.SetBusy(true); }
  ~BusyPointer() { platform_.SetBusy(false); }
  BusyPointer(const BusyPointer&) = delete;
  BusyPointer& operator=(const BusyPointer&) = delete;

 private:
  Platform& platform_;
};

}  // namespace kivex::ui
