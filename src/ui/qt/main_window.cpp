#include "ui/qt/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDialog>
#include <QFontDatabase>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

#include "model/failure.h"
#include "ui/commands.h"
#include "ui/dialog.h"
#include "ui/interaction.h"
#include "ui/qt/dialog_window.h"
#include "ui/qt/plot_window.h"
#include "ui/qt/result_window.h"

namespace kivex::ui::qt {

namespace {

const char* const kDialogNames[] = {"FormTech", "FormMech", "FormIns", "FormExpr", "formOption"};

QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

MainWindow::MainWindow() : platform_(*this) {
  setObjectName("MDIForm1");
  setWindowTitle("Kivex for Windows");
  mdi_ = new QMdiArea(this);
  setCentralWidget(mdi_);

  result_ = new ResultWindow;
  resultSub_ = mdi_->addSubWindow(result_);
  resultSub_->setWindowTitle("Result");
  resultSub_->setGeometry(650, 0, 440, 500);
  resultSub_->hide();

  // The session's start-up creates the Mechanism dialog and reads its digital box; the plot
  // window paints the session's picture, so the session exists before it.
  session_ = std::make_unique<Session>(platform_);
  plot_ = new PlotWindow(session_->picture);
  plotSub_ = mdi_->addSubWindow(plot_);
  plotSub_->setWindowTitle("Plot");
  plotSub_->setGeometry(0, 0, 640, 500);
  plotSub_->hide();

  CreateMenus();
  resize(1100, 760);
  Refresh();
}

MainWindow::~MainWindow() {
  for (auto& [name, window] : dialogs_) delete window;
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
    connect(action, &QAction::triggered, this,
            [this, name] { Act([this, name] { RunMenuItem(*session_, name); }); });
    actions_[item.name] = action;
  }
}

void MainWindow::Act(const std::function<void()>& action) {
  // A command that shows a message box runs an event loop; a second action must not start
  // underneath it.
  if (acting_) return;
  acting_ = true;
  try {
    action();
  } catch (const model::InputError& error) {
    platform_.ShowMessage(std::string(error.message()));
  } catch (const model::Failure& failure) {
    platform_.ShowMessage(std::string(failure.description()));
  } catch (const InteractionError& error) {
    platform_.ShowMessage(error.what());
  }
  acting_ = false;
  Refresh();
}

void MainWindow::Refresh() {
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
        if (lastActivated_ == dialogName || acting_) return;
        lastActivated_ = dialogName;
        Act([this, dialogName] {
          if (Dialog* d = session_->FindDialog(dialogName)) ActivateDialog(*session_, *d);
        });
      };
      dialogs_[name] = window;
    }
    window->SyncFromData();
    if (dialog->visible) {
      if (!window->isVisible()) window->show();
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
  QMdiSubWindow* sub = name == "FormResult" ? resultSub_ : name == "FormPlot" ? plotSub_ : nullptr;
  if (sub != nullptr) {
    if (!sub->isVisible()) sub->show();
    return;
  }
  // A dialog shown by a command: the next activation of its window is the one the command
  // already ran.
  lastActivated_ = std::string(name);
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

void MainWindow::closeEvent(QCloseEvent* event) {
  // Nothing is kept between runs and nothing is asked: closing ends the program.
  for (auto& [name, window] : dialogs_) window->CloseByProgram();
  event->accept();
}

void MainWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) lastActivated_.clear();
  QMainWindow::changeEvent(event);
}

}  // namespace kivex::ui::qt
