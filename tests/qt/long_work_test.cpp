// Long work runs beside a live, locked window; a fit stops at Cancel or Esc on its best trial.

#include <QLabel>

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
  EXPECT_TRUE(progress->findChild<QLabel*>("lblBest")->text().contains("Least square = "));
  EXPECT_TRUE(window.resultWindow()->toPlainText().startsWith("Least square = "));
  EXPECT_TRUE(Locked(window));
  EXPECT_FALSE(window.DialogWindowFor("FormExpr")->close());
  EXPECT_FALSE(window.plotWindow()->parentWidget()->close());

  if (GetParam() == "CancelButton") {
    progress->findChild<QPushButton*>("cmdCancel")->click();
  } else {
    window.activateWindow();
    ASSERT_TRUE(ProcessUntil([&] { return window.isActiveWindow(); }, 2000));
    QTest::keyClick(&window, Qt::Key_Escape);
  }
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

INSTANTIATE_TEST_SUITE_P(Cancel, LongWork, ::testing::Values("CancelButton", "EscOnTheFrame"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace kivex::ui::qt
