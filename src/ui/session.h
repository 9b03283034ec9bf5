#pragma once
// The one session of the program: the shared experiment state, the working curves, the plot
// settings, the dialogs, the result window and the menu. Every command is a plain function on it,
// so the window, the command-line tool and the tests all drive the same code.
//
//   TestPlatform platform;
//   Session session(platform);          // start-up: Mechanism dialog loaded, digital, planar
//   RunMenuItem(session, "mnuSimulate");

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/peak_finding.h"
#include "display/picture.h"
#include "fitting/fit_driver.h"
#include "model/app_state.h"
#include "model/curve_set.h"
#include "model/plot_settings.h"
#include "model/print_line.h"
#include "simulation/digital_workspace.h"
#include "ui/file_experiment.h"
#include "ui/menu.h"
#include "ui/platform.h"
#include "ui/result_window.h"

namespace kivex::ui {

class Dialog;
class FormTech;
class FormMech;
class FormIns;
class FormExpr;
class FormOption;

class Session {
 public:
  explicit Session(Platform& platform);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  model::AppState app;
  model::CurveSet curves;
  model::PlotSettings plot;
  ResultWindow result;
  Menu menu;
  display::Picture picture;            // the plot window's retained picture
  std::vector<std::string> aboutText;  // the about window's lines, written by About
  bool exitRequested = false;          // Exit was chosen; the front end ends the program
  analysis::PeakTables peaks;          // the peaks of the last Find Peak
  fitting::FitMemory fitMemory;        // kept from fit to fit: damping, last fitted slots
  // The storage of the digital runs of every Simulate and fit, trials included, kept from
  // command to command. Only the command holding the session uses it, on whichever thread runs
  // that command (the window's own, or its worker for a long one): never two runs at once.
  simulation::DigitalWorkspace workspace;
  // The experiment the last imported file describes, until the next import.
  std::optional<FileExperiment> fileExperiment;

  Platform& platform() { return platform_; }

  // The dialogs, created (and loaded) the first time anything refers to them.
  FormTech& Tech();
  FormMech& Mech();
  FormIns& Ins();
  FormExpr& Expr();
  FormOption& Option();

  // The dialogs' names, in menu order, and a dialog by its name ("FormIns"), created if needed;
  // null for an unknown name.
  static constexpr std::string_view kDialogNames[] = {"FormTech", "FormMech", "FormIns", "FormExpr",
                                                      "formOption"};
  Dialog* FindDialog(std::string_view name);
  // Whether the dialog exists now (without creating it).
  bool IsLoaded(std::string_view name) const;
  // The close box: the dialog and everything typed into it are discarded.
  void CloseDialog(std::string_view name);

  // Result window.
  void Print(const model::PrintLine& line);
  void Print(std::string_view text);
  void ClearResult();
  void ShowResult();

  void ShowMessage(const std::string& text) { platform_.ShowMessage(text); }

 private:
  Platform& platform_;
  std::unique_ptr<FormTech> tech_;
  std::unique_ptr<FormMech> mech_;
  std::unique_ptr<FormIns> ins_;
  std::unique_ptr<FormExpr> expr_;
  std::unique_ptr<FormOption> option_;
};

}  // namespace kivex::ui
