#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QWindow>

#include "ui/form_ins.h"
#include "ui/form_tech.h"
#include "ui/qt/dialog_window.h"
#include "ui/qt/plot_window.h"
#include "ui/qt/qt_platform.h"
#include "ui/qt/result_window.h"
#include "window_driver.h"

namespace kivex::ui::qt {
namespace {

// A field that is not a number stops Simulate with the core's text in a message box; once
// corrected, Simulate draws, enables the Display and Analysis menus, and the picture can be
// copied and printed.
TEST(MainWindow, SimulateStopsWithTheCoresMessageOrDrawsAPictureToCopyAndPrint) {
  ShownWindow shown;
  MainWindow& window = shown.window;
  window.session().Ins().Estep.text = "zero";
  Trigger(window, "mnuSimulate");
  ASSERT_EQ(shown.answerer.texts.size(), 1u);
  EXPECT_NE(shown.answerer.texts[0].find("E step (V)"), std::string::npos);
  EXPECT_FALSE(Enabled(window, "mnuDisplay") || Enabled(window, "mnuData") ||
               Enabled(window, "mnuManualFit"));

  window.session().Ins().Estep.text = "0.005";
  Trigger(window, "mnuSimulate");
  EXPECT_EQ(shown.answerer.texts.size(), 1u);
  EXPECT_TRUE(Enabled(window, "mnuDisplay") && Enabled(window, "mnuData") &&
              Enabled(window, "mnuManualFit"));
  EXPECT_TRUE(window.plotWindow()->isVisible());
  EXPECT_GT(Inked(window.plotWindow()->grab().toImage()), 0);

  QGuiApplication::clipboard()->clear();
  Trigger(window, "mnuCopyto");
  const QImage copied = QGuiApplication::clipboard()->image();
  EXPECT_EQ(copied.size(), window.plotWindow()->size());
  EXPECT_GT(Inked(copied, 2), 100);  // axes, labels and the curve, not a blank page

  QTemporaryDir dir;
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(dir.filePath("plot.pdf"));
  QtPlatform::PrintOn(window.session().picture, printer);
  QFile pdf(dir.filePath("plot.pdf"));
  ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
  EXPECT_TRUE(pdf.read(5).startsWith("%PDF"));
}

// A file of more than two columns asks which hold the potential and the value, starting from the
// columns its headings name; an import enables Display and Analysis but not Manual Fit.
TEST(MainWindow, ImportTakesTheChosenColumnsAndCancelChangesNothing) {
  QTemporaryDir dir;
  QString path = dir.filePath("export.txt");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("t/s\tE/V\tI/A\n0\t0,3\t1e-6\n0,5\t0,29\t2e-6\n");
  file.close();
  ShownWindow shown;
  MainWindow& window = shown.window;
  QString startFilter;
  QStringList filters;
  shown.answerer.file = [&](QFileDialog& dialog) {
    startFilter = dialog.selectedNameFilter();
    filters = dialog.nameFilters();
    return path;
  };
  shown.answerer.other = [](QWidget& modal) { static_cast<QDialog&>(modal).reject(); };
  Trigger(window, "mnuImport");
  // The dialog starts showing text exports, not only .csv files.
  for (const char* pattern : {"*.csv", "*.txt", "*.dat", "*.asc"}) {
    EXPECT_TRUE(startFilter.contains(pattern)) << startFilter.toStdString();
  }
  EXPECT_EQ(filters.constLast(), "All files (*)");
  EXPECT_EQ(window.session().curves.pointCount, 0);
  EXPECT_FALSE(Enabled(window, "mnuDisplay"));

  bool okWhileEqual = true;
  shown.answerer.other = [&](QWidget& dialog) {
    auto* potential = dialog.findChild<QComboBox*>("potentialColumn");
    auto* value = dialog.findChild<QComboBox*>("valueColumn");
    QPushButton* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    EXPECT_EQ(potential->itemText(1), "2: E/V");
    EXPECT_EQ(potential->currentIndex(), 1);  // as the headings name them
    EXPECT_EQ(value->currentIndex(), 2);
    potential->setCurrentIndex(2);
    okWhileEqual = ok->isEnabled();  // both on column 3
    potential->setCurrentIndex(1);
    ok->click();
  };
  Trigger(window, "mnuImport");
  EXPECT_FALSE(okWhileEqual);
  EXPECT_TRUE(shown.answerer.texts.empty());
  const model::CurveSet& curves = window.session().curves;
  ASSERT_EQ(curves.pointCount, 2);
  EXPECT_DOUBLE_EQ(curves.x(2), 0.29);
  EXPECT_DOUBLE_EQ(curves.y(2, 1), 2e-6);
  EXPECT_TRUE(Enabled(window, "mnuDisplay") && Enabled(window, "mnuData"));
  EXPECT_FALSE(Enabled(window, "mnuManualFit"));
  const QString result = window.resultWindow()->toPlainText();
  EXPECT_TRUE(result.contains("E from column 2 \"E/V\", I from column 3 \"I/A\""));
  EXPECT_TRUE(result.contains("Number of data point ="));

  // An instrument's export of three cycles offers them; the one chosen is the one taken.
  shown.answerer.file = [](QFileDialog&) {
    return QString(KIVEX_IO_TEST_DATA) + "/tagged_tables.txt";
  };
  shown.answerer.other = [&](QWidget& dialog) {
    auto* portion = dialog.findChild<QComboBox*>("portionList");
    EXPECT_EQ(portion->currentText(), "the first whole cycle (automatic)");
    portion->setCurrentIndex(portion->findText("cycle 2"));
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  };
  Trigger(window, "mnuImport");
  EXPECT_EQ(curves.pointCount, 12);
  EXPECT_TRUE(window.resultWindow()->toPlainText().contains("Took cycle 2 of 3"));
}

// Report lines and tables are never cut off: the window widens to its longest line, leftwards
// within the frame, and a line wider than the frame scrolls rather than wraps.
TEST(ResultWindow, WidensToItsLongestLineWithinTheFrame) {
  ShownWindow shown;
  MainWindow& window = shown.window;
  Session& session = window.session();
  session.ShowResult();
  ResultWindow* result = window.resultWindow();
  QWidget* frame = result->parentWidget();
  const QRect room = static_cast<QMdiArea*>(window.centralWidget())->viewport()->rect();
  ASSERT_TRUE(frame->isVisible());
  const QRect start = frame->geometry();

  session.Print("Least square = 1E-9");
  QApplication::processEvents();
  EXPECT_EQ(frame->geometry(), start);  // a short line leaves the user's size

  const std::string row = " 1             " + std::string(90, '9') + "    .2994      .3015 ";
  session.Print(row);
  QApplication::processEvents();
  EXPECT_GT(frame->width(), start.width());
  EXPECT_TRUE(room.contains(frame->geometry())) << frame->x() << " " << frame->width();
  EXPECT_EQ(result->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_EQ(result->horizontalScrollBar()->maximum(), 0);  // the whole row is in view
  EXPECT_GE(result->viewport()->width(),
            result->fontMetrics().horizontalAdvance(QString::fromStdString(row)));

  session.Print(std::string(400, '-'));
  QApplication::processEvents();
  EXPECT_EQ(frame->geometry().left(), room.left());
  EXPECT_EQ(frame->width(), room.width());
  EXPECT_GT(result->horizontalScrollBar()->maximum(), 0);
}

struct SavedAs {
  const char* item;
  const char* typed;
  const char* filter;  // chosen in the dialog; empty keeps the first
  const char* written;
  const char* proposed;  // the extension the dialog proposes under that filter
};

void PrintTo(const SavedAs& s, std::ostream* out) {
  *out << s.item << " typed \"" << s.typed << "\" writes \"" << s.written << '"';
}

class SaveDialog : public ::testing::TestWithParam<SavedAs> {};

// A name that does not end in the chosen filter's extension gets it, so that the file is the one
// the filter lists (Import shows the exported curve). (A dot inside the name, the extension's
// case: FileExtension.TheFiltersExtensionIsAddedUnlessTheNameEndsInOne.)
TEST_P(SaveDialog, AddsTheChosenFiltersExtensionToANameWithoutOne) {
  QTemporaryDir dir;
  ShownWindow shown;
  Trigger(shown.window, "mnuSimulate");
  int answered = 0;
  shown.answerer.file = [&](QFileDialog& dialog) {
    ++answered;
    if (*GetParam().filter != '\0') {  // as the user picks it from the list
      auto* types = dialog.findChild<QComboBox*>("fileTypeCombo");
      const int index = types->findText(GetParam().filter);
      EXPECT_GE(index, 0);
      types->setCurrentIndex(index);
      Q_EMIT types->activated(index);
      Q_EMIT types->textActivated(types->itemText(index));
    }
    EXPECT_EQ(dialog.defaultSuffix(), GetParam().proposed);
    return dir.filePath(GetParam().typed);
  };
  Trigger(shown.window, GetParam().item);
  EXPECT_GT(answered, 0);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{GetParam().written});
  EXPECT_TRUE(shown.answerer.texts.empty());
}

INSTANTIATE_TEST_SUITE_P(Files, SaveDialog,
                         ::testing::Values(SavedAs{"mnuExport", "ec_dp", "", "ec_dp.csv", "csv"},
                                           SavedAs{"mnuSave", "report1", "", "report1.par", "par"},
                                           SavedAs{"mnuExport", "ec_dp.txt", "all (*.*)",
                                                   "ec_dp.txt", ""}),
                         [](const auto& info) { return std::to_string(info.index); });

// A click and a typed field reach the dialogs' data, what a dialog derives shows at once, and the
// mechanism dialog shrinks back when digital simulation is ticked again. (The close box restores
// the defaults: the ui_close_box scenario; the dialog comes back after it: ClosedWindow.)
TEST(MainWindow, DialogsBindByNameAndTakeWhatIsClickedOrTyped) {
  ShownWindow shown;
  MainWindow& window = shown.window;
  Trigger(window, "mnuTech");
  DialogWindow* tech = window.DialogWindowFor("FormTech");
  ASSERT_NE(tech, nullptr);
  tech->findChild<QRadioButton*>("optTech(4)")->click();
  EXPECT_TRUE(window.session().Tech().optTech(4).value);
  EXPECT_FALSE(window.session().Tech().optTech(1).value);
  EXPECT_FALSE(tech->findChild<QRadioButton*>("optTech(1)")->isChecked());  // the data decide

  // Typing into a field reaches the dialog's data.
  Trigger(window, "mnuInstrument");
  DialogWindow* ins = window.DialogWindowFor("FormIns");
  auto* estep = ins->findChild<QLineEdit*>("Estep");
  EXPECT_EQ(estep->text(), "0.005");
  estep->selectAll();
  estep->insert("0.002");  // as typed: textEdited fires
  EXPECT_EQ(window.session().Ins().Estep.text, "0.002");
  auto* td = ins->findChild<QLineEdit*>("td");
  EXPECT_TRUE(td->isReadOnly());
  EXPECT_EQ(td->text(), "0.2");  // 0.002 V / 0.01 V/s, derived by the dialog and shown at once

  Trigger(window, "mnuMechamism");
  DialogWindow* mech = window.DialogWindowFor("FormMech");
  const QSize natural = mech->size();
  auto* digital = mech->findChild<QCheckBox*>("CheckDigital");
  digital->click();  // the analytical mechanisms replace the scheme editor
  QApplication::processEvents();
  EXPECT_NE(mech->size(), natural);
  digital->click();
  QApplication::processEvents();
  EXPECT_EQ(mech->size(), natural);
  EXPECT_TRUE(shown.answerer.texts.empty());
}

// Modeless dialogs stay where a user can find them, with the size the user gave them. (Above the
// frame and brought to the front by the menu: the x11.window_scenario test.)
struct Reopened {
  const char* name;
  const char* opener;
  const char* ok;
};

void PrintTo(const Reopened& r, std::ostream* out) { *out << r.name << " by " << r.opener; }

class ReopenedDialog : public ::testing::TestWithParam<Reopened> {};

// The user made the dialog larger and dragged it mostly off the screen, then pressed OK (which
// hides it) and opened it again.
TEST_P(ReopenedDialog, KeepsTheUsersSizeAndLiesWhollyOnTheScreen) {
  ShownWindow shown;
  MainWindow& window = shown.window;
  Trigger(window, GetParam().opener);
  DialogWindow* dialog = window.DialogWindowFor(GetParam().name);
  ASSERT_NE(dialog, nullptr);
  const QRect area = dialog->screen()->availableGeometry();
  const QSize wanted = (dialog->size() + QSize(12, 8)).boundedTo(area.size());
  dialog->windowHandle()->resize(wanted);  // as the window manager resizes it
  dialog->move(area.right() - 60, area.bottom() - 40);
  QApplication::processEvents();
  ASSERT_EQ(dialog->size(), wanted);
  dialog->findChild<QPushButton*>(GetParam().ok)->click();
  ASSERT_FALSE(dialog->isVisible());

  Trigger(window, GetParam().opener);
  ASSERT_EQ(window.DialogWindowFor(GetParam().name), dialog);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(dialog->size(), wanted);
  EXPECT_TRUE(area.contains(dialog->frameGeometry()));
}

INSTANTIATE_TEST_SUITE_P(Dialogs, ReopenedDialog,
                         ::testing::Values(Reopened{"FormTech", "mnuTech", "cmdOK"},
                                           Reopened{"FormMech", "mnuMechamism", "Command1"},
                                           Reopened{"FormIns", "mnuInstrument", "cmdOK"},
                                           Reopened{"FormExpr", "mnuExperimental", "cmdOK"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kivex::ui::qt
