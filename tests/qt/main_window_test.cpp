#include "ui/qt/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrinter>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

#include "ui/form_ins.h"
#include "ui/qt/dialog_window.h"
#include "ui/qt/plot_window.h"
#include "ui/qt/qt_platform.h"
#include "ui/qt/result_window.h"
#include "window_driver.h"

namespace kivex::ui::qt {
namespace {

TEST(MainWindow, MenuTreeCaptionsAndStartUpStates) {
  MainWindow window;
  EXPECT_EQ(window.windowTitle(), "Kivex for Windows");
  EXPECT_EQ(window.objectName(), "MDIForm1");
  QStringList top;
  for (QAction* action : window.menuBar()->actions()) top << action->text();
  EXPECT_EQ(top, (QStringList{"&File", "&Input", "&Run", "&Display", "&Analysis", "&Help"}));
  EXPECT_EQ(window.ActionFor("mnuMechamism")->text(), "&Mechamism...");
  EXPECT_EQ(window.ActionFor("mnuSemiInte")->text(), "S&emi-intergrate");

  for (const char* item : {"mnuDisplay", "mnuData", "mnuManualFit"}) {
    EXPECT_FALSE(window.ActionFor(item)->isEnabled()) << item;
  }
  for (const char* item : {"mnuImport", "mnuExport", "mnuAutoFit", "mnuSimulate"}) {
    EXPECT_TRUE(window.ActionFor(item)->isEnabled()) << item;
  }
  // The separators sit where the menu has them.
  QMenu* file = window.menuBar()->findChild<QMenu*>("mnuFile");
  ASSERT_NE(file, nullptr);
  int separators = 0;
  for (QAction* action : file->actions()) separators += action->isSeparator();
  EXPECT_EQ(separators, 3);
}

// A field that is not a number stops Simulate with the core's text in a message box; once
// corrected, Simulate draws and enables the Display and Analysis menus.
TEST(MainWindow, SimulateStopsWithTheCoresMessageOrDrawsAndEnablesTheMenus) {
  MainWindow window;
  window.show();
  ModalAnswerer answerer;
  window.session().Ins().Estep.text = "zero";
  Trigger(window, "mnuSimulate");
  ASSERT_EQ(answerer.texts.size(), 1u);
  EXPECT_NE(answerer.texts[0].find("E step (V)"), std::string::npos);
  EXPECT_FALSE(window.ActionFor("mnuDisplay")->isEnabled());

  window.session().Ins().Estep.text = "0.005";
  Trigger(window, "mnuSimulate");
  EXPECT_EQ(answerer.texts.size(), 1u);
  EXPECT_TRUE(window.ActionFor("mnuDisplay")->isEnabled());
  EXPECT_TRUE(window.ActionFor("mnuData")->isEnabled());
  EXPECT_TRUE(window.ActionFor("mnuManualFit")->isEnabled());
  EXPECT_TRUE(window.plotWindow()->isVisible());
  // The recorded picture is painted: the plot window is not blank white.
  ASSERT_GT(window.session().picture.ops().size(), 1u);
  const QImage image = window.plotWindow()->grab().toImage();
  bool inked = false;
  for (int y = 0; y < image.height() && !inked; ++y) {
    for (int x = 0; x < image.width() && !inked; ++x)
      inked = image.pixel(x, y) != qRgb(255, 255, 255);
  }
  EXPECT_TRUE(inked);
}

TEST(MainWindow, AnImportEnablesDisplayAndAnalysisButNotManualFit) {
  QTemporaryDir dir;
  const QString path = dir.filePath("measured.csv");
  {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("0.3, 1e-6\n0.29, 2e-6\n0.28, 3e-6\n");
  }
  MainWindow window;
  window.show();
  ModalAnswerer answerer;
  // Answer the common file dialog as a user would: pick the file and press Open.
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
      // Typed into the name box: needs no directory listing, which loads in the background.
      if (auto* name = dialog->findChild<QLineEdit*>("fileNameEdit")) name->setText(path);
      QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
    }
  });
  answer.start(20);
  Trigger(window, "mnuImport");
  EXPECT_EQ(window.session().curves.pointCount, 3);
  EXPECT_TRUE(window.ActionFor("mnuDisplay")->isEnabled());
  EXPECT_TRUE(window.ActionFor("mnuData")->isEnabled());
  EXPECT_FALSE(window.ActionFor("mnuManualFit")->isEnabled());
  EXPECT_TRUE(window.resultWindow()->toPlainText().contains("Number of data point ="));
}

struct SavedAs {
  const char* item;
  const char* typed;
  const char* filter;  // chosen in the dialog; empty keeps the first
  const char* written;
};

class SaveDialog : public ::testing::TestWithParam<SavedAs> {};

// A name typed without an extension gets the chosen filter's, so that the file is the one the
// filter lists (Import, filtered to *.csv, shows the exported curve).
TEST_P(SaveDialog, AddsTheChosenFiltersExtensionToANameWithoutOne) {
  QTemporaryDir dir;
  MainWindow window;
  window.show();
  ModalAnswerer answerer;
  Trigger(window, "mnuSimulate");
  QTimer answer;
  bool answered = false;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || answered) return;
    answered = true;
    if (*GetParam().filter != '\0') {  // as the user picks it from the list
      auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
      ASSERT_NE(types, nullptr);
      const int index = types->findText(GetParam().filter);
      ASSERT_GE(index, 0);
      types->setCurrentIndex(index);
      Q_EMIT types->activated(index);
    }
    dialog->findChild<QLineEdit*>("fileNameEdit")->setText(dir.filePath(GetParam().typed));
    QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
  });
  answer.start(20);
  Trigger(window, GetParam().item);
  EXPECT_TRUE(answered);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{GetParam().written});
}

INSTANTIATE_TEST_SUITE_P(Files, SaveDialog,
                         ::testing::Values(SavedAs{"mnuExport", "ec_dp", "", "ec_dp.csv"},
                                           SavedAs{"mnuSave", "report1", "", "report1.par"},
                                           SavedAs{"mnuExport", "ec_dp.txt", "", "ec_dp.txt"},
                                           SavedAs{"mnuExport", "ec_dp", "all (*.*)", "ec_dp"}),
                         [](const auto& info) { return std::to_string(info.index); });

TEST(MainWindow, DialogsOpenModelessBindByNameAndTheCloseBoxRestoresDefaults) {
  MainWindow window;
  window.show();
  Trigger(window, "mnuTech");
  DialogWindow* tech = window.DialogWindowFor("FormTech");
  ASSERT_NE(tech, nullptr);
  EXPECT_TRUE(tech->isVisible());
  EXPECT_EQ(tech->windowTitle(), "Techniques");
  auto* option4 = tech->findChild<QRadioButton*>("optTech(4)");
  ASSERT_NE(option4, nullptr);
  option4->click();
  EXPECT_TRUE(option4->isChecked());
  EXPECT_FALSE(tech->findChild<QRadioButton*>("optTech(1)")->isChecked());

  tech->close();  // the close box
  QApplication::processEvents();
  EXPECT_EQ(window.DialogWindowFor("FormTech"), nullptr);
  Trigger(window, "mnuTech");
  tech = window.DialogWindowFor("FormTech");
  ASSERT_NE(tech, nullptr);
  EXPECT_TRUE(tech->findChild<QRadioButton*>("optTech(1)")->isChecked());
  EXPECT_FALSE(tech->findChild<QRadioButton*>("optTech(4)")->isChecked());
}

TEST(MainWindow, TypingIntoAFieldReachesTheDialogData) {
  MainWindow window;
  window.show();
  Trigger(window, "mnuInstrument");
  DialogWindow* ins = window.DialogWindowFor("FormIns");
  ASSERT_NE(ins, nullptr);
  auto* estep = ins->findChild<QLineEdit*>("Estep");
  ASSERT_NE(estep, nullptr);
  EXPECT_EQ(estep->text(), "0.005");
  estep->selectAll();
  estep->insert("0.002");  // as typed: textEdited fires
  EXPECT_EQ(window.session().Ins().Estep.text, "0.002");
  auto* td = ins->findChild<QLineEdit*>("td");
  ASSERT_NE(td, nullptr);
  EXPECT_TRUE(td->isReadOnly());
  EXPECT_EQ(td->text(), "0.2");  // 0.002 V / 0.01 V/s, derived by the dialog and shown at once
}

TEST(PlotOutput, CopyPutsThePlotsPictureOnTheClipboardAndPrintingToAPdfWritesAPage) {
  MainWindow window;
  window.show();
  ModalAnswerer answerer;
  Trigger(window, "mnuSimulate");
  QGuiApplication::clipboard()->clear();
  Trigger(window, "mnuCopyto");
  const QImage copied = QGuiApplication::clipboard()->image();
  ASSERT_FALSE(copied.isNull());
  EXPECT_EQ(copied.size(), window.plotWindow()->size());
  int inked = 0;
  for (int y = 0; y < copied.height(); y += 2) {
    for (int x = 0; x < copied.width(); x += 2) inked += copied.pixel(x, y) != qRgb(255, 255, 255);
  }
  EXPECT_GT(inked, 100);  // axes, labels and the curve, not a blank page

  QTemporaryDir dir;
  const QString path = dir.filePath("plot.pdf");
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path);
  QtPlatform::PrintOn(window.session().picture, printer);
  QFile pdf(path);
  ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
  EXPECT_TRUE(pdf.read(5).startsWith("%PDF"));
}

}  // namespace
}  // namespace kivex::ui::qt
