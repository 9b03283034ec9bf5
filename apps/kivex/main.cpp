// kivex: the desktop program.

#include <QApplication>

#include "ui/qt/main_window.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName("Kivex");
  kivex::ui::qt::MainWindow window;
  window.show();
  return QApplication::exec();
}
