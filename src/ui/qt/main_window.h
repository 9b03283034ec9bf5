#pragma once
// MDIForm1, "Kivex for Windows": the frame with the menu bar, hosting the result and plot
// windows, and the modeless dialogs. It wires widgets to the session and holds no data of its
// own: after every user action it brings menus and windows up to date from the session.
//
// Every user action runs inside one error boundary: whatever it throws ends in the program's
// message box, and the busy pointer, the `fitting` flag and the menus are put right afterwards.
// Simulations and fits run on a worker thread that owns the session until they end (see
// QtPlatform): meanwhile the window repaints, shows each result line as it is written, greys the
// menu items, locks the dialogs and offers Cancel (Esc in any of its windows) in a progress window
// that stays above them all.

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "display/picture.h"
#include "ui/qt/progress_window.h"
#include "ui/qt/qt_platform.h"
#include "ui/session.h"

class QMdiArea;
class QMdiSubWindow;
class QAction;
class QTimer;
class QThread;

namespace kivex::ui::qt {

class DialogWindow;
class PlotWindow;
class ResultWindow;

class MainWindow : public QMainWindow {
 public:
  MainWindow();
  ~MainWindow() override;

  Session& session() { return *session_; }
  QtPlatform& platform() { return platform_; }

  // Runs a user action on the core inside the error boundary, then refreshes everything.
  void Act(const std::function<void()>& action);
  // The same for a long action, on the worker thread; returns at once. Refused while another
  // action runs. `work` says what the progress window shows.
  void ActInBackground(const std::function<void()>& action,
                       ProgressWindow::Work work = ProgressWindow::Work::Fit);
  // A long action is running on the worker.
  bool working() const { return worker_ != nullptr; }
  // Asks the running work to stop: a fit at its next simulation, a simulation at once.
  void RequestCancel();
  // The window is being destroyed: nothing more is shown or asked.
  bool closing() const { return closing_; }

  // Menus, dialogs and child windows from the session's data.
  void Refresh();

  QAction* ActionFor(const std::string& itemName) const;
  DialogWindow* DialogWindowFor(const std::string& dialogName) const;
  // The child windows while they exist: closed with their close box, they are destroyed.
  ResultWindow* resultWindow() const;
  PlotWindow* plotWindow() const;
  ProgressWindow* progressWindow() const { return progress_; }
  // A reference to a child window creates it again (hidden) when it was closed.
  ResultWindow* EnsureResultWindow();
  PlotWindow* EnsurePlotWindow();
  void ShowChild(std::string_view name);
  // The plot window paints this copy of the session's picture.
  void ShowPicture(const display::Picture& picture);
  void ShowFitProgress(int iteration, double bestLeastSquare);
  void ShowAbout();

 protected:
  void closeEvent(class QCloseEvent* event) override;
  // Esc from any of the program's windows while long work runs (see Lock).
  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void CreateMenus();
  void RefreshMenus();
  void RefreshDialogs();
  // Greys the menu items and locks the dialogs and child windows while the worker runs.
  void Lock(bool locked);
  void EndWork();
  // Widens the result window to its longest line, as far as the frame allows.
  void FitResultWindow();
  QMdiSubWindow* AddChild(QWidget* child, const QString& title, const QRect& geometry,
                          std::function<void()> closed);

  QtPlatform platform_;
  std::unique_ptr<Session> session_;
  display::Picture picture_;  // what the plot window paints
  QMdiArea* mdi_ = nullptr;
  QPointer<ResultWindow> result_;
  QPointer<PlotWindow> plot_;
  QPointer<QMdiSubWindow> resultSub_;
  QPointer<QMdiSubWindow> plotSub_;
  ProgressWindow* progress_ = nullptr;
  QTimer* progressDelay_ = nullptr;
  std::map<std::string, QAction*> actions_;
  std::map<std::string, DialogWindow*> dialogs_;
  std::string lastActivated_;
  std::string raiseRequested_;  // a dialog its menu command showed: raised and activated
  bool acting_ = false;
  QThread* worker_ = nullptr;
  bool closeWhenIdle_ = false;
  bool closing_ = false;
};

}  // namespace kivex::ui::qt
