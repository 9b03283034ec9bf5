// Modeless dialogs stay where a user can find them, with the size the user gave them.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include "ui/qt/dialog_window.h"
#include "ui/qt/main_window.h"
#include "window_driver.h"

namespace kivex::ui::qt {
namespace {

// (Above the frame and brought to the front by the menu: the x11.window_scenario test.)

struct Reopened {
  const char* name;
  const char* opener;
  const char* ok;
};

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

TEST(DialogWindows, MechanismShrinksBackWhenDigitalSimulationIsTickedAgain) {
  MainWindow window;
  window.show();
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
}

}  // namespace
}  // namespace kivex::ui::qt
