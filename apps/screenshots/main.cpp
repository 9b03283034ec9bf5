// kivex-screenshots DIR: pictures of the main window after a simulation, of the Result window
// after a fit and of every dialog, for a person to look at. Runs offscreen; no display is needed.
//   build/kivex-screenshots /tmp/shots

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "ui/qt/dialog_window.h"
#include "ui/qt/main_window.h"
#include "ui/qt/result_window.h"

using kivex::ui::qt::DialogWindow;
using kivex::ui::qt::MainWindow;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: kivex-screenshots DIR\n");
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  const QString dir = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(dir);
  // Message boxes are answered at once: the pictures are of the windows, not of the messages.
  QTimer dismiss;
  QObject::connect(&dismiss, &QTimer::timeout, [] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->accept();
  });
  dismiss.start(20);

  MainWindow window;
  window.show();
  for (const char* item : {"mnuSimulate", "mnuTime"}) {
    if (QAction* action = window.ActionFor(item); action && action->isEnabled()) action->trigger();
    // Simulate runs beside the window: wait until it has drawn.
    while (window.working()) QApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  QApplication::processEvents();
  bool saved = window.grab().save(dir + "/main_window.png");

  // The Result window with a fit's report, its widest lines: it widens to show them whole.
  if (QAction* fit = window.ActionFor("mnuAutoFit"); fit && fit->isEnabled()) {
    fit->trigger();
    while (window.working()) QApplication::processEvents(QEventLoop::AllEvents, 10);
    QApplication::processEvents();
    if (window.resultWindow() != nullptr) {
      saved =
          window.resultWindow()->parentWidget()->grab().save(dir + "/result_window.png") && saved;
    }
  }

  const std::pair<const char*, const char*> dialogs[] = {{"mnuTech", "FormTech"},
                                                         {"mnuMechamism", "FormMech"},
                                                         {"mnuInstrument", "FormIns"},
                                                         {"mnuExperimental", "FormExpr"},
                                                         {"mnuOption", "formOption"}};
  for (const auto& [item, name] : dialogs) {
    QAction* action = window.ActionFor(item);
    if (action == nullptr || !action->isEnabled()) continue;
    action->trigger();
    QApplication::processEvents();
    if (DialogWindow* dialog = window.DialogWindowFor(name)) {
      saved = dialog->grab().save(dir + "/" + name + ".png") && saved;
    }
  }
  return saved ? 0 : 1;
}
