#pragma once
// Driving the window as a user does: menu commands that wait for long work to end, and modal
// windows answered as they open. Brings the window's parts that every test looks into.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "ui/commands.h"
#include "ui/qt/dialog_window.h"
#include "ui/qt/main_window.h"
#include "ui/qt/plot_window.h"
#include "ui/qt/result_window.h"

namespace kivex::ui::qt {

// Answers modal windows as they open: every message box with OK, remembering its text; a file
// dialog, once `file` is set, with the path it gives, typed into the name box (which needs no
// directory listing, loaded in the background); any other modal window goes to `other`.
class ModalAnswerer {
 public:
  ModalAnswerer() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      auto* files = qobject_cast<QFileDialog*>(modal);
      if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        texts.push_back(box->text().toStdString());
        box->accept();
      } else if (files != nullptr && file) {
        files->findChild<QLineEdit*>("fileNameEdit")->setText(file(*files));
        QMetaObject::invokeMethod(files, "accept", Qt::QueuedConnection);
      } else if (modal != nullptr && other) {
        other(*modal);
      }
    });
    timer_.start(20);
  }
  std::vector<std::string> texts;
  std::function<QString(QFileDialog&)> file;
  std::function<void(QWidget&)> other;

 private:
  QTimer timer_;
};

// Pixels that are not white, every `stride`-th in both directions.
inline int Inked(const QImage& image, int stride = 1) {
  int inked = 0;
  for (int y = 0; y < image.height(); y += stride) {
    for (int x = 0; x < image.width(); x += stride)
      inked += image.pixel(x, y) != qRgb(255, 255, 255);
  }
  return inked;
}

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

inline bool Enabled(MainWindow& w, const char* item) { return w.ActionFor(item)->isEnabled(); }

inline void WaitForWork(MainWindow& window) {
  ASSERT_TRUE(ProcessUntil([&] { return !window.working(); })) << "long work did not end";
}

// A menu command as a click runs it, waiting until any long work it started has ended.
inline void Trigger(MainWindow& window, const char* item) {
  QAction* action = window.ActionFor(item);
  ASSERT_TRUE(action != nullptr && action->isEnabled()) << item;
  action->trigger();
  WaitForWork(window);
}

// A window shown, with its message boxes answered.
struct ShownWindow {
  ShownWindow() { window.show(); }
  MainWindow window;
  ModalAnswerer answerer;
};

}  // namespace kivex::ui::qt
