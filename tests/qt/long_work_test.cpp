// Long work runs beside a live, locked window; a fit stops at Cancel or Esc on its best trial, a
// simulation at once, and the progress window with its Cancel stays above every other window.

#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>

#include "model/number_format.h"
#include "ui/form_expr.h"
#include "ui/qt/progress_window.h"
#include "ui/session_actions.h"
#include "window_driver.h"

namespace kivex::ui::qt {
namespace {

using kivex::testing::Click;
using kivex::testing::Type;

// Differential pulse of A + e = B, C + e = D, B = E, D = F with the second-order step
// B + D = A + F over the default potentials: each simulation takes a noticeable time.
void SlowScheme(Session& session) {
  Click(session, "FormTech.optTech(4)");
  const std::pair<const char*, const char*> boxes[] = {
      {"charge(3)", "C"}, {"charge(4)", "D"}, {"chem(1)", "B"},  {"chem(2)", "E"},
      {"chem(3)", "D"},   {"chem(4)", "F"},   {"chem2(1)", "B"}, {"chem2(2)", "D"},
      {"chem2(3)", "A"},  {"chem2(4)", "F"}};
  for (const auto& [box, species] : boxes) Type(session, std::string("FormMech.") + box, species);
  RunMenuItem(session, "mnuExperimental");
  Type(session, "FormExpr.C(3)", "5e-4");
  Type(session, "FormExpr.kf(3)", "1e3");
  Type(session, "FormExpr.kb(3)", "0");
}

// The speed table's heaviest run: the scheme above with B + D = A + F and 100 ohm, 3999 points.
void SlowestSimulation(Session& session) {
  SlowScheme(session);
  kivex::testing::Apply(session, {{"FormIns.Estart", "0.5"},
                                  {"FormIns.Eend", "-0.4995"},
                                  {"FormIns.Estep", "0.00025"},
                                  {"FormIns.V", "0.0005"},
                                  {"FormIns.txtRu", "100"}});
}

bool Locked(MainWindow& w) {
  const QCursor* cursor = QApplication::overrideCursor();
  return !Enabled(w, "mnuSimulate") && !Enabled(w, "mnuAutoFit") && !Enabled(w, "mnuTech") &&
         !Enabled(w, "mnuSave") && !Enabled(w, "mnuClear") && Enabled(w, "mnuExit") && cursor &&
         cursor->shape() == Qt::WaitCursor && !w.DialogWindowFor("FormExpr")->isEnabled();
}

class LongWork : public ::testing::TestWithParam<std::string> {};

TEST_P(LongWork, RunsBesideALiveWindowAndAFitStopsOnTheBestTrialSoFar) {
  ShownWindow shown;
  MainWindow& window = shown.window;
  const auto& answerer = shown.answerer;
  SlowScheme(window.session());
  window.Refresh();

  // Simulate returns to the window at once and locks it until the curve is drawn.
  window.ActionFor("mnuSimulate")->trigger();
  ASSERT_TRUE(window.working());
  EXPECT_TRUE(Locked(window));
  WaitForWork(window);
  ASSERT_TRUE(answerer.texts.empty()) << answerer.texts.front();
  EXPECT_TRUE(window.plotWindow()->isVisible());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  // A three-parameter fit from values away from the measured ones.
  Type(window.session(), "FormExpr.C(1)", "8e-4");
  Type(window.session(), "FormExpr.kf(3)", "3e3");
  Type(window.session(), "FormExpr.ks(1)", "1e-2");
  Click(window.session(), "FormExpr.CheckFitted(7)");
  Click(window.session(), "FormExpr.CheckFitted(18)");
  window.Refresh();
  window.ActionFor("mnuAutoFit")->trigger();
  ProgressWindow* progress = window.progressWindow();
  auto* iteration = progress->findChild<QLabel*>("lblIteration");
  ASSERT_TRUE(ProcessUntil([&] { return iteration->text().startsWith("Iteration 2"); }))
      << iteration->text().toStdString();
  // Meanwhile the window is live: the lines written so far are shown, the state is locked.
  EXPECT_TRUE(progress->isVisible());
  EXPECT_TRUE(progress->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(progress->findChild<QLabel*>("lblBest")->text().contains("Least square = "));
  EXPECT_TRUE(window.resultWindow()->toPlainText().startsWith("Least square = "));
  EXPECT_TRUE(Locked(window));
  EXPECT_FALSE(window.DialogWindowFor("FormExpr")->close());
  EXPECT_FALSE(window.plotWindow()->parentWidget()->close());

  if (GetParam() == "CancelButton") {
    progress->findChild<QPushButton*>("cmdCancel")->click();
  } else if (GetParam() == "EscOnTheFrame") {
    window.activateWindow();
    ASSERT_TRUE(ProcessUntil([&] { return window.isActiveWindow(); }, 2000));
    QTest::keyClick(&window, Qt::Key_Escape);
  } else {
    DialogWindow* locked = window.DialogWindowFor("FormExpr");
    locked->activateWindow();
    ASSERT_TRUE(ProcessUntil([&] { return locked->isActiveWindow(); }, 2000));
    QTest::keyClick(locked, Qt::Key_Escape);
    EXPECT_TRUE(locked->isVisible());  // Esc stopped the fit, it did not close the dialog
  }
  EXPECT_TRUE(iteration->text().endsWith(": stopping after this simulation"))
      << iteration->text().toStdString();
  WaitForWork(window);
  ASSERT_TRUE(answerer.texts.empty()) << answerer.texts.front();
  const QStringList lines = window.resultWindow()->toPlainText().split('\n');
  EXPECT_TRUE(lines.back().startsWith("Fit cancelled in iteration ")) << lines.back().toStdString();
  EXPECT_LT(lines.size(), 14);  // stopped well before the fit's end
  const FormExpr& expr = window.session().Expr();
  EXPECT_EQ(expr.CheckFitted(18).caption,
            model::FormatPattern(window.session().app.kf(3), "0.###e-#"));
  EXPECT_FALSE(progress->isVisible());
  EXPECT_FALSE(Locked(window));
  EXPECT_TRUE(Enabled(window, "mnuSimulate"));
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_FALSE(window.session().app.fitting);
}

INSTANTIATE_TEST_SUITE_P(Cancel, LongWork,
                         ::testing::Values("CancelButton", "EscOnTheFrame", "EscInALockedDialog"),
                         [](const auto& info) { return info.param; });

// Progress that comes after Cancel, from the simulation under way, keeps the word that the fit
// is stopping.
TEST(ProgressWindow, SaysItIsStoppingUntilTheWorkEnds) {
  ProgressWindow progress(nullptr);
  bool cancelled = false;
  progress.onCancel = [&] { cancelled = true; };
  auto* iteration = progress.findChild<QLabel*>("lblIteration");
  auto* cancel = progress.findChild<QPushButton*>("cmdCancel");
  progress.SetProgress(3, 1e-9);
  cancel->click();
  EXPECT_TRUE(cancelled);
  EXPECT_FALSE(cancel->isEnabled());
  progress.SetProgress(4, 5e-10);
  EXPECT_EQ(iteration->text(), "Iteration 4: stopping after this simulation");
  EXPECT_TRUE(progress.findChild<QLabel*>("lblBest")->text().endsWith("5E-10"))
      << progress.findChild<QLabel*>("lblBest")->text().toStdString();
  progress.Reset(ProgressWindow::Work::Simulation);
  EXPECT_EQ(iteration->text(), "Simulating");
  EXPECT_TRUE(cancel->isEnabled());
}

// A long Simulate shows the progress window; Cancel ends it at once and keeps nothing of it, and
// Exit meanwhile stops it and says that the program closes then.
TEST(LongSimulation, CancelKeepsThePictureItStartedFromAndExitStopsItFirst) {
  ShownWindow shown;
  MainWindow& window = shown.window;
  Trigger(window, "mnuSimulate");
  SlowestSimulation(window.session());
  window.Refresh();
  const QImage before = window.plotWindow()->grab().toImage();
  ProgressWindow* progress = window.progressWindow();
  auto* iteration = progress->findChild<QLabel*>("lblIteration");
  // Shown at once rather than after a moment, which the run may not last on a fast machine.
  window.findChild<QTimer*>("progressDelay")->setInterval(0);

  QElapsedTimer clock;
  clock.start();
  window.ActionFor("mnuSimulate")->trigger();
  ASSERT_TRUE(ProcessUntil([&] { return progress->isVisible() || !window.working(); }));
  ASSERT_TRUE(window.working()) << "the simulation ended before its progress was shown";
  EXPECT_EQ(progress->windowTitle(), "Simulate");
  EXPECT_FALSE(progress->findChild<QLabel*>("lblBest")->isVisible());
  progress->findChild<QPushButton*>("cmdCancel")->click();
  EXPECT_EQ(iteration->text(), "Simulating: stopping");
  WaitForWork(window);
  const qint64 cancelled = clock.elapsed();
  EXPECT_TRUE(shown.answerer.texts.empty());
  EXPECT_EQ(window.resultWindow()->toPlainText().split('\n').constLast(), "Simulation cancelled.");
  EXPECT_EQ(window.plotWindow()->grab().toImage(), before);
  EXPECT_FALSE(progress->isVisible());

  // The same run to its end takes longer than it took to stop: the Cancel, one flag for fits and
  // simulations alike, is not left standing.
  clock.restart();
  Trigger(window, "mnuSimulate");
  EXPECT_GT(clock.elapsed(), cancelled);
  EXPECT_NE(window.plotWindow()->grab().toImage(), before);

  window.ActionFor("mnuSimulate")->trigger();
  ASSERT_TRUE(window.working());
  EXPECT_FALSE(window.close());  // not yet: the worker owns the session
  EXPECT_TRUE(progress->isVisible());
  EXPECT_EQ(iteration->text(), "Simulating: stopping, then Kivex closes");
  WaitForWork(window);
  EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace kivex::ui::qt
