#include "ui/qt/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <new>
#include <optional>

#include "model/failure.h"
#include "ui/command_failure.h"
#include "ui/commands.h"
#include "ui/dialog.h"
#include "ui/interaction.h"
#include "ui/qt/dialog_window.h"
#include "ui/qt/plot_window.h"
#include "ui/qt/progress_window.h"
#include "ui/qt/qt_text.h"
#include "ui/qt/result_window.h"
#include "ui/run_simulation.h"

namespace kivex::ui::qt {

namespace {

const char* const kDialogNames[] = {"FormTech", "FormMech", "FormIns", "FormExpr", "formOption"};

// Long work shows its progress window once it has run this long.
constexpr int kProgressDelayMs = 300;

// The error boundary: whatever the action throws ends as the program's message box, so nothing
// reaches the event loop (or ends the worker thread).
void RunGuarded(const std::function<void()>& action, Platform& platform) {
  const std::optional<std::string> message = AnyFailureOf(action);
  if (!message) return;
  try {
    platform.ShowMessage(*message);
  } catch (...) {
    // Nothing more can be shown; the program goes on.
  }
}

// An MDI child whose close box destroys it. The frame hears of it (so that the next reference
// creates the window anew), and may refuse it while a long command runs.
class ChildFrame : public QMdiSubWindow {
 public:
  std::function<bool()> mayClose;
  std::function<void()> closed;

 protected:
  void closeEvent(QCloseEvent* event) override {
    if (mayClose && !mayClose()) {
      event->ignore();
      return;
    }
    QMdiSubWindow::closeEvent(event);
    if (event->isAccepted() && closed) closed();
  }
};

}  // namespace

MainWindow::MainWindow() : platform_(*this) {
  setObjectName("MDIForm1");
  setWindowTitle("Kivex for Windows");
  mdi_ = new QMdiArea(this);
  setCentralWidget(mdi_);

  // The session's start-up creates the Mechanism dialog and reads its digital box.
  session_ = std::make_unique<Session>(platform_);
  EnsureResultWindow();
  EnsurePlotWindow();

  progress_ = new ProgressWindow(this);
  progress_->onCancel = [this] { RequestCancel(); };
  // Work that ends within a moment shows no window that would only flicker.
  progressDelay_ = new QTimer(this);
  progressDelay_->setObjectName("progressDelay");
  progressDelay_->setSingleShot(true);
  progressDelay_->setInterval(kProgressDelayMs);
  connect(progressDelay_, &QTimer::timeout, this, [this] {
    if (working() && !progress_->isVisible()) progress_->show();
  });

  CreateMenus();
  resize(1100, 760);
  Refresh();
}

MainWindow::~MainWindow() {
  closing_ = true;
  if (worker_ != nullptr) {
    // The worker may be waiting for the window (a message it wants shown): serve it until it
    // has stopped at its next simulation.
    QObject::disconnect(worker_, nullptr, this, nullptr);
    platform_.RequestCancel();
    while (!worker_->wait(10)) QCoreApplication::processEvents();
    delete worker_;
    worker_ = nullptr;
  }
  for (auto& [name, window] : dialogs_) delete window;
  delete mdi_;  // the child windows paint the picture, which goes with this window
}

QMdiSubWindow* MainWindow::AddChild(QWidget* child, const QString& title, const QRect& geometry,
                                    std::function<void()> closed) {
  auto* frame = new ChildFrame;
  frame->setWidget(child);
  frame->setAttribute(Qt::WA_DeleteOnClose);
  frame->mayClose = [this] { return !working(); };
  frame->closed = std::move(closed);
  mdi_->addSubWindow(frame);
  frame->setWindowTitle(title);
  frame->setGeometry(geometry);
  frame->hide();
  return frame;
}

ResultWindow* MainWindow::resultWindow() const { return result_; }
PlotWindow* MainWindow::plotWindow() const { return plot_; }

ResultWindow* MainWindow::EnsureResultWindow() {
  if (result_ == nullptr) {
    result_ = new ResultWindow;
    result_->widened = [this] { FitResultWindow(); };
    resultSub_ = AddChild(result_, "Result", QRect(650, 0, 440, 500), [this] {
      // The window's lines go with it.
      result_ = nullptr;
      resultSub_ = nullptr;
      session_->result.lines.clear();
      session_->result.visible = false;
    });
  }
  return result_;
}

void MainWindow::FitResultWindow() {
  if (resultSub_ == nullptr) return;
  const QRect room = mdi_->viewport()->rect();
  QRect frame = resultSub_->geometry();
  const QMargins margins = resultSub_->contentsMargins();  // the subwindow's borders
  const int decoration = margins.left() + margins.right();
  const int wanted = std::min(result_->WidthForText() + decoration, room.width());
  if (wanted <= frame.width()) return;  // the user's own width is kept when it is enough
  frame.setWidth(wanted);
  // Widened leftwards as far as the frame's right edge requires.
  if (frame.right() > room.right()) frame.moveRight(room.right());
  resultSub_->setGeometry(frame);
}

PlotWindow* MainWindow::EnsurePlotWindow() {
  if (plot_ == nullptr) {
    plot_ = new PlotWindow(picture_);
    // A closer look draws from the session's curves, which are the worker's while it runs.
    plot_->drawZoomed = [this](const PlotLimits& limits, display::Picture& picture) {
      if (acting_ || working()) return false;
      try {
        return DrawZoomed(*session_, limits, picture);
      } catch (...) {
        return false;
      }
    };
    plotSub_ = AddChild(plot_, "Plot", QRect(0, 0, 640, 500), [this] {
      plot_ = nullptr;
      plotSub_ = nullptr;
    });
  }
  return plot_;
}

void MainWindow::CreateMenus() {
  std::map<std::string, QMenu*> menus;
  for (const MenuItem& item : session_->menu.items()) {
    const QString caption = FromUtf8(item.caption);
    if (item.parent.empty()) {
      QMenu* menu = menuBar()->addMenu(caption);
      menu->setObjectName(FromUtf8(item.name));
      menus[item.name] = menu;
      actions_[item.name] = menu->menuAction();
      continue;
    }
    QMenu* parent = menus.at(item.parent);
    if (item.IsSeparator()) {
      parent->addSeparator()->setObjectName(FromUtf8(item.name));
      continue;
    }
    if (FindCommand(item.name) == nullptr) {
      // A submenu (X Data, Y Data), or an item whose command this build lacks.
      bool isMenu = false;
      for (const MenuItem& child : session_->menu.items()) isMenu |= child.parent == item.name;
      if (isMenu) {
        QMenu* submenu = parent->addMenu(caption);
        submenu->setObjectName(FromUtf8(item.name));
        menus[item.name] = submenu;
        actions_[item.name] = submenu->menuAction();
        continue;
      }
    }
    QAction* action = parent->addAction(caption);
    action->setObjectName(FromUtf8(item.name));
    const std::string name = item.name;
    connect(action, &QAction::triggered, this, [this, name] {
      if (working()) {
        // Only Exit is offered meanwhile: it stops the fit and closes once the work has ended.
        if (name == "mnuExit") close();
        return;
      }
      const auto run = [this, name] { RunMenuItem(*session_, name); };
      switch (LongWorkOf(name)) {
        case LongWork::None: Act(run); break;
        case LongWork::Simulation: ActInBackground(run, ProgressWindow::Work::Simulation); break;
        case LongWork::Fit: ActInBackground(run, ProgressWindow::Work::Fit); break;
      }
    });
    actions_[item.name] = action;
  }
}

void MainWindow::Act(const std::function<void()>& action) {
  // A command that shows a message box runs an event loop; a second action must not start
  // underneath it, nor while the worker owns the session.
  if (acting_ || working()) return;
  acting_ = true;
  RunGuarded(action, platform_);
  // However the action ended: no hourglass left, no fit left half open.
  session_->app.fitting = false;
  platform_.SetBusy(false);
  acting_ = false;
  Refresh();
}

void MainWindow::ActInBackground(const std::function<void()>& action, ProgressWindow::Work work) {
  if (acting_ || working()) return;
  platform_.ClearCancel();
  platform_.SetBusy(true);
  progress_->Reset(work);
  progressDelay_->start();
  worker_ = QThread::create([this, action] { RunGuarded(action, platform_); });
  Lock(true);
  // Queued behind everything the worker posted before it ended.
  connect(worker_, &QThread::finished, this, [this] { EndWork(); });
  worker_->start();
}

void MainWindow::EndWork() {
  worker_->wait();
  delete worker_;
  worker_ = nullptr;
  progressDelay_->stop();
  progress_->hide();
  Lock(false);
  session_->app.fitting = false;
  platform_.SetBusy(false);
  Refresh();
  if (closeWhenIdle_) close();
}

void MainWindow::RequestCancel() {
  if (working()) platform_.RequestCancel();
}

void MainWindow::Lock(bool locked) {
  // Esc stops the work from whichever of the program's windows is active, locked or not.
  if (locked) {
    qApp->installEventFilter(this);
  } else {
    qApp->removeEventFilter(this);
  }
  for (auto& [name, action] : actions_) {
    if (locked && action->menu() == nullptr && name != "mnuExit") action->setEnabled(false);
  }
  for (auto& [name, window] : dialogs_) window->SetLocked(locked);
}

void MainWindow::Refresh() {
  if (working()) return;  // the worker owns the session; EndWork refreshes
  RefreshMenus();
  RefreshDialogs();
  if (session_->result.visible) ShowChild("FormResult");
  if (session_->exitRequested) close();
}

void MainWindow::RefreshMenus() {
  for (const MenuItem& item : session_->menu.items()) {
    auto found = actions_.find(item.name);
    if (found == actions_.end()) continue;
    found->second->setEnabled(item.enabled);
    // An item whose command this build does not have is shown but greyed out.
    if (!item.IsSeparator() && FindCommand(item.name) == nullptr) {
      bool isMenu = false;
      for (const MenuItem& child : session_->menu.items()) isMenu |= child.parent == item.name;
      if (!isMenu) found->second->setEnabled(false);
    }
  }
}

void MainWindow::RefreshDialogs() {
  const std::string raise = std::exchange(raiseRequested_, {});
  for (const char* name : kDialogNames) {
    auto found = dialogs_.find(name);
    DialogWindow* window = found == dialogs_.end() ? nullptr : found->second;
    Dialog* dialog = session_->IsLoaded(name) ? session_->FindDialog(name) : nullptr;
    // A window whose dialog the core discarded (or replaced) goes with it.
    if (window != nullptr && &window->dialog() != dialog) {
      window->CloseByProgram();
      window->deleteLater();
      dialogs_.erase(name);
      window = nullptr;
    }
    if (dialog == nullptr) continue;
    if (window == nullptr) {
      if (!dialog->visible) continue;
      window = new DialogWindow(
          *session_, *dialog, [this](const std::function<void()>& action) { Act(action); }, this);
      const std::string dialogName = name;
      window->onClosed = [this, dialogName] {
        session_->CloseDialog(dialogName);
        if (lastActivated_ == dialogName) lastActivated_.clear();
        Refresh();
      };
      window->onActivated = [this, dialogName] {
        if (lastActivated_ == dialogName || acting_ || working()) return;
        lastActivated_ = dialogName;
        Act([this, dialogName] {
          if (Dialog* d = session_->FindDialog(dialogName)) ActivateDialog(*session_, *d);
        });
      };
      dialogs_[name] = window;
    }
    window->SyncFromData();
    if (dialog->visible) {
      window->Open();
      // Its menu command brings an open dialog to the front, where the user can find it.
      if (raise == name) {
        window->raise();
        window->activateWindow();
      }
    } else if (window->isVisible()) {
      window->hide();
    }
  }
}

QAction* MainWindow::ActionFor(const std::string& itemName) const {
  auto found = actions_.find(itemName);
  return found == actions_.end() ? nullptr : found->second;
}

DialogWindow* MainWindow::DialogWindowFor(const std::string& dialogName) const {
  auto found = dialogs_.find(dialogName);
  return found == dialogs_.end() ? nullptr : found->second;
}

void MainWindow::ShowChild(std::string_view name) {
  if (name == "FormResult") {
    EnsureResultWindow();
    if (!resultSub_->isVisible()) resultSub_->show();
    return;
  }
  if (name == "FormPlot") {
    EnsurePlotWindow();
    if (!plotSub_->isVisible()) plotSub_->show();
    return;
  }
  // A dialog shown by a command: the next activation of its window is the one the command
  // already ran, and the window comes to the front.
  lastActivated_ = std::string(name);
  raiseRequested_ = std::string(name);
}

void MainWindow::ShowPicture(const display::Picture& picture) {
  picture_ = picture;
  ShowChild("FormPlot");
  plot_->PictureChanged();
}

void MainWindow::ShowFitProgress(int iteration, double bestLeastSquare) {
  if (!working()) return;  // a late report of a fit that has ended
  progress_->SetProgress(iteration, bestLeastSquare);
  if (!progress_->isVisible()) progress_->show();
}

void MainWindow::ShowAbout() {
  QDialog about(this);
  about.setObjectName("About");
  about.setWindowTitle("About");
  auto* layout = new QVBoxLayout(&about);
  QStringList lines;
  for (const std::string& line : session_->aboutText) lines << FromUtf8(line);
  auto* text = new QLabel(lines.join('\n'), &about);
  text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  layout->addWidget(text);
  about.exec();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && working() &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    // A message box the work is waiting on takes its own Esc.
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || modal == progress_) {
      progress_->Cancel();
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (working()) {
    // The session belongs to the worker: stop it, say so, and close when it has ended.
    closeWhenIdle_ = true;
    progress_->ShowStopping(true);
    progress_->show();
    progress_->raise();
    RequestCancel();
    event->ignore();
    return;
  }
  // Nothing is kept between runs and nothing is asked: closing ends the program.
  for (auto& [name, window] : dialogs_) window->CloseByProgram();
  event->accept();
}

void MainWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) lastActivated_.clear();
  QMainWindow::changeEvent(event);
}

}  // namespace kivex::ui::qt
