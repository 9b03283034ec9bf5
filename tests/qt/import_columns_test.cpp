// Import of a file of more than two columns asks which hold the potential and the value.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "ui/qt/main_window.h"
#include "ui/qt/result_window.h"
#include "window_driver.h"

namespace kivex::ui::qt {
namespace {

// Imports `path`, answering the file dialog with it and the column question with `answer`.
void ImportAnswering(MainWindow& window, const QString& path,
                     const std::function<void(QDialog&)>& answer) {
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* files = qobject_cast<QFileDialog*>(modal)) {
      if (auto* name = files->findChild<QLineEdit*>("fileNameEdit")) name->setText(path);
      QMetaObject::invokeMethod(files, "accept", Qt::QueuedConnection);
    } else if (auto* columns = qobject_cast<QDialog*>(modal);
               columns != nullptr && columns->objectName() == "ColumnChoice") {
      answer(*columns);
    }
  });
  timer.start(20);
  Trigger(window, "mnuImport");
}

TEST(ImportColumns, TheChosenColumnsBecomeTheCurveAndCancelChangesNothing) {
  QTemporaryDir dir;
  const QString path = dir.filePath("export.txt");
  {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("t/s\tE/V\tI/A\n0\t0,3\t1e-6\n0,5\t0,29\t2e-6\n");
  }
  MainWindow window;
  window.show();
  ModalAnswerer messages;

  ImportAnswering(window, path, [](QDialog& dialog) { dialog.reject(); });
  EXPECT_EQ(window.session().curves.pointCount, 0);
  EXPECT_FALSE(window.ActionFor("mnuDisplay")->isEnabled());

  bool okWhileEqual = true;
  ImportAnswering(window, path, [&](QDialog& dialog) {
    auto* potential = dialog.findChild<QComboBox*>("potentialColumn");
    auto* value = dialog.findChild<QComboBox*>("valueColumn");
    QPushButton* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    EXPECT_EQ(potential->itemText(1), "2: E/V");
    potential->setCurrentIndex(1);
    okWhileEqual = ok->isEnabled();  // both on column 2
    value->setCurrentIndex(2);
    ok->click();
  });
  EXPECT_FALSE(okWhileEqual);
  EXPECT_TRUE(messages.texts.empty());
  const model::CurveSet& curves = window.session().curves;
  ASSERT_EQ(curves.pointCount, 2);
  EXPECT_DOUBLE_EQ(curves.x(2), 0.29);
  EXPECT_DOUBLE_EQ(curves.y(2, 1), 2e-6);
  EXPECT_TRUE(window.resultWindow()->toPlainText().contains(
      "E from column 2 \"E/V\", I from column 3 \"I/A\""));
}

}  // namespace
}  // namespace kivex::ui::qt
