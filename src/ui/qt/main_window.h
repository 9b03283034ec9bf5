#pragma once
// MDIForm1, "Kivex for Windows": the frame with the menu bar, hosting the result and plot
// windows, and the modeless dialogs. It wires widgets to the session and holds no data of its
// own: after every user action it brings menus and windows up to date from the session.

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "ui/qt/qt_platform.h"
#include "ui/session.h"

class QMdiArea;
class QMdiSubWindow;
class QAction;

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

  // Runs a user action on the core, shows any message it raises, then refreshes everything.
  void Act(const std::function<void()>& action);
  // Menus, dialogs and child windows from the session's data.
  void Refresh();

  QAction* ActionFor(const std::string& itemName) const;
  DialogWindow* DialogWindowFor(const std::string& dialogName) const;
  ResultWindow* resultWindow() const { return result_; }
  PlotWindow* plotWindow() const { return plot_; }
  void ShowChild(std::string_view name);
  void ShowAbout();

 protected:
  void closeEvent(class QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void CreateMenus();
  void RefreshMenus();
  void RefreshDialogs();

  QtPlatform platform_;
  std::unique_ptr<Session> session_;
  QMdiArea* mdi_ = nullptr;
  ResultWindow* result_ = nullptr;
  PlotWindow* plot_ = nullptr;
  QMdiSubWindow* resultSub_ = nullptr;
  QMdiSubWindow* plotSub_ = nullptr;
  std::map<std::string, QAction*> actions_;
  std::map<std::string, DialogWindow*> dialogs_;
  std::string lastActivated_;
  bool acting_ = false;
};

}  // namespace kivex::ui::qt
