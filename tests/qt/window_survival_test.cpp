// The window survives what a user does to it: a child window or dialog closed with its close box
// comes back at the next reference, whatever command follows; and whatever a command throws
// ends in the program's message box with the window usable.

#include <new>
#include <stdexcept>

#include "window_driver.h"

namespace kivex::ui::qt {
namespace {

struct Closed {
  const char* name;
  const char* opener;  // the menu command that shows it, after a simulation
};

void PrintTo(const Closed& c, std::ostream* out) { *out << c.name << " by " << c.opener; }

class ClosedWindow : public ::testing::TestWithParam<Closed> {};

TEST_P(ClosedWindow, EveryEnabledCommandRunsAfterItsCloseBoxAndTheWindowComesBack) {
  const std::string name = GetParam().name;
  ShownWindow shown;
  MainWindow& window = shown.window;
  shown.answerer.other = [](QWidget& modal) {  // file, print and about dialogs
    if (auto* dialog = qobject_cast<QDialog*>(&modal)) dialog->reject();
  };
  Trigger(window, "mnuSimulate");
  Trigger(window, GetParam().opener);
  QWidget* closed = name == "FormResult" ? window.resultWindow()->parentWidget()
                    : name == "FormPlot" ? window.plotWindow()->parentWidget()
                                         : window.DialogWindowFor(name);
  ASSERT_TRUE(closed != nullptr && closed->close());  // the close box
  // Qt destroys what it closed; the Result window's lines go with it.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  if (name == "FormResult") {
    EXPECT_TRUE(window.resultWindow() == nullptr && window.session().result.lines.empty());
  }
  if (name == "FormPlot") {
    EXPECT_EQ(window.plotWindow(), nullptr);
  }

  for (const MenuItem& item : window.session().menu.items()) {
    QAction* action = window.ActionFor(item.name);
    if (item.name == "mnuExit" || FindCommand(item.name) == nullptr || !action->isEnabled() ||
        !window.session().menu.Reachable(item.name))
      continue;
    SCOPED_TRACE(item.name);
    Trigger(window, item.name.c_str());
    ASSERT_FALSE(HasFatalFailure());
  }
  // Simulate, Time and the dialog commands have referred to every window again.
  EXPECT_TRUE(window.plotWindow() && window.plotWindow()->isVisible());
  EXPECT_TRUE(window.resultWindow() && window.resultWindow()->isVisible());
  DialogWindow* dialog = window.DialogWindowFor(name);
  EXPECT_TRUE(!window.session().IsLoaded(name) || (dialog && dialog->isVisible()));
  Trigger(window, "mnuExit");
  EXPECT_FALSE(window.isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Windows, ClosedWindow,
    ::testing::Values(Closed{"FormResult", "mnuTime"}, Closed{"FormPlot", "mnuPlot"},
                      Closed{"FormTech", "mnuTech"}, Closed{"FormMech", "mnuMechamism"},
                      Closed{"FormIns", "mnuInstrument"}, Closed{"FormExpr", "mnuExperimental"},
                      Closed{"formOption", "mnuOption"}),
    [](const auto& info) { return std::string(info.param.name); });

// The action fails half-way through, with the hourglass on and a fit under way; on the window's
// thread and on the worker alike. (Each kind of exception's wording: the CommandFailure tests.)
TEST(ErrorBoundary, AnyExceptionEndsInTheMessageBoxAndLeavesTheWindowUsable) {
  ShownWindow shown;
  MainWindow& window = shown.window;
  auto& texts = shown.answerer.texts;
  const std::pair<void (*)(), const char*> thrown[] = {
      {[] { throw std::invalid_argument("fit: X differs"); }, "Error: fit: X differs"},
      {[] { throw std::bad_alloc(); }, "Error: Out of memory! The command was stopped."},
      {[] { throw 42; }, "Error: The command was stopped by an unknown failure."}};
  for (const auto& [raise, message] : thrown) {
    for (const bool background : {false, true}) {
      SCOPED_TRACE(std::string(message) + (background ? " on the worker" : " on the window"));
      const auto throwing = raise;  // a lambda captures a variable, not a binding
      const auto action = [&window, throwing] {
        window.platform().SetBusy(true);
        window.session().app.fitting = true;
        throwing();
      };
      if (background) {
        window.ActInBackground(action);
        WaitForWork(window);
      } else {
        window.Act(action);
      }
      EXPECT_EQ(texts, std::vector<std::string>{message});
      EXPECT_EQ(QApplication::overrideCursor(), nullptr);
      EXPECT_FALSE(window.session().app.fitting);
      texts.clear();
      Trigger(window, "mnuSimulate");
      EXPECT_TRUE(texts.empty() && Enabled(window, "mnuDisplay"));
    }
  }
}

}  // namespace
}  // namespace kivex::ui::qt
