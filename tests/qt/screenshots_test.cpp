// Screenshots of the main window and every dialog, for a person to look at. Runs only when
// KIVEX_SCREENSHOT_DIR names a directory:
//   KIVEX_SCREENSHOT_DIR=/tmp/shots build/tests/kivex_qt_tests --gtest_filter='Screenshots.*'

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTimer>
#include <cstdlib>

#include "ui/qt/dialog_window.h"
#include "ui/qt/main_window.h"

namespace kivex::ui::qt {
namespace {

TEST(Screenshots, MainWindowAndDialogs) {
  const char* dir = std::getenv("KIVEX_SCREENSHOT_DIR");
  if (dir == nullptr) GTEST_SKIP() << "KIVEX_SCREENSHOT_DIR not set";
  QDir().mkpath(dir);
  QTimer dismiss;
  QObject::connect(&dismiss, &QTimer::timeout, [] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->accept();
  });
  dismiss.start(20);

  MainWindow window;
  window.show();
  for (const char* item : {"mnuSimulate", "mnuTime"}) {
    if (QAction* action = window.ActionFor(item); action && action->isEnabled()) action->trigger();
  }
  QApplication::processEvents();
  window.grab().save(QString(dir) + "/main_window.png");

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
      dialog->adjustSize();
      dialog->grab().save(QString(dir) + "/" + name + ".png");
    }
  }
}

}  // namespace
}  // namespace kivex::ui::qt
