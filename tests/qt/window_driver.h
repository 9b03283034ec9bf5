#pragma once
// Driving the window as a user does: menu commands that wait for long work to end, and modal
// windows answered as they open.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>
#include <string>
#include <vector>

#include "ui/qt/main_window.h"

namespace kivex::ui::qt {

// Answers every message box with OK, remembering its text; with `cancelDialogs` it also cancels
// every other modal window (file, print and about dialogs).
class ModalAnswerer {
 public:
  explicit ModalAnswerer(bool cancelDialogs = false) {
    timer_.setInterval(20);
    QObject::connect(&timer_, &QTimer::timeout, [this, cancelDialogs] {
      QWidget* modal = QApplication::activeModalWidget();
      if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        texts.push_back(box->text().toStdString());
        box->accept();
      } else if (auto* dialog = qobject_cast<QDialog*>(modal); dialog && cancelDialogs) {
        dialog->reject();
      }
    });
    timer_.start();
  }
  std::vector<std::string> texts;

 private:
  QTimer timer_;
};

// Runs the window's events until `done` holds (at most `milliseconds`).
template <typename Done>
bool ProcessUntil(Done done, int milliseconds = 60000) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > milliseconds) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

inline void WaitForWork(MainWindow& window) {
  ASSERT_TRUE(ProcessUntil([&] { return !window.working(); })) << "long work did not end";
}

// A menu command as a click runs it, waiting until any long work it started has ended.
inline void Trigger(MainWindow& window, const char* item) {
  QAction* action = window.ActionFor(item);
  ASSERT_NE(action, nullptr) << item;
  ASSERT_TRUE(action->isEnabled()) << item;
  action->trigger();
  WaitForWork(window);
}

}  // namespace kivex::ui::qt
