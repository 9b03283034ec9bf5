#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "model/number_format.h"
#include "model/number_text.h"
#include "support/test_platform.h"
#include "ui/commands.h"
#include "ui/form_expr.h"
#include "ui/session_actions.h"

namespace kivex::ui {
namespace {

// The user presses Cancel after a given number of the fit's simulations.
class CancellingPlatform : public testing::TestPlatform {
 public:
  bool CancelRequested() override { return simulationsBeforeCancel-- <= 0; }
  void FitProgress(int iteration, double best) override { progress.emplace_back(iteration, best); }

  int simulationsBeforeCancel = 1 << 30;
  std::vector<std::pair<int, double>> progress;
};

double LeastSquareOf(const std::string& line) {
  return model::ReadNumber(line.substr(line.find('=') + 1));
}

// A stopped fit ends on the best trial so far, not the one it was in, and says it was cancelled.
// Run again, it ends as a fit from the same dialogs in a session never cancelled: the stopped fit
// leaves nothing behind (its slot, the axis it was simulating on, its damping) that steers it.
TEST(CancelledFit, EndsOnTheBestTrialSoFarAndRunAgainEndsAsIfNeverStopped) {
  const auto setUp = [](Session& s) {
    RunMenuItem(s, "mnuSimulate");  // the measured curve, at ks 1e4 and alpha 0.5
    testing::Apply(s, {{"FormExpr.ks(1)", "1e-3"}, {"FormExpr.alph(1)", "0.3"}});
    for (int k : {1, 7, 10}) testing::TickFit(s, k);  // the concentration is not fitted
  };
  CancellingPlatform platform;
  Session session(platform);
  setUp(session);
  platform.simulationsBeforeCancel = 9;
  RunMenuItem(session, "mnuAutoFit");

  const std::vector<std::string>& lines = session.result.lines;
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines.back().rfind("Fit cancelled in iteration ", 0), 0u) << lines.back();
  const double best = LeastSquareOf(lines[lines.size() - 2]);
  for (std::size_t i = 0; i + 2 < lines.size(); ++i) {
    ASSERT_EQ(lines[i].rfind("Least square = ", 0), 0u) << lines[i];  // no report
    EXPECT_LE(best, LeastSquareOf(lines[i]) * (1 + 1e-14));
  }
  // Curve 2 is the best trial simulated again: its distance to the measurement is the best sum.
  double sum = 0;
  for (int i = 1; i <= session.curves.pointCount; ++i) {
    const double r = session.curves.y(i, 2) - session.curves.y(i, 1);
    sum += r * r;
  }
  EXPECT_NEAR(sum, best, 1e-13 * best);
  // The progress named a best that never grew and ended at the reported one.
  ASSERT_EQ(platform.progress.size(), 9u);
  EXPECT_TRUE(std::ranges::is_sorted(platform.progress, std::ranges::greater{},
                                     [](const auto& p) { return p.second; }));
  EXPECT_TRUE(std::ranges::is_sorted(platform.progress, {}, &std::pair<int, double>::first));
  EXPECT_GE(platform.progress.back().first, 2);
  EXPECT_NEAR(platform.progress.back().second, best, 1e-13 * best);
  // The experiment holds the trial the captions show.
  const FormExpr& expr = session.Expr();
  EXPECT_EQ(expr.CheckFitted(7).caption, model::FormatPattern(session.app.ks(1), "0.###e-#"));
  EXPECT_EQ(expr.CheckFitted(10).caption, model::FormatPattern(session.app.alpha(1), "0.###e-#"));
  EXPECT_NE(session.app.alpha(1), 0.3);
  EXPECT_FALSE(session.app.fitting);

  const std::string ks = expr.ks(1).text;
  const std::string alpha = expr.alph(1).text;
  platform.simulationsBeforeCancel = 1 << 30;
  RunMenuItem(session, "mnuAutoFit");
  testing::TestPlatform plain;
  Session never(plain);
  setUp(never);
  testing::Apply(never, {{"FormExpr.ks(1)", ks.c_str()}, {"FormExpr.alph(1)", alpha.c_str()}});
  RunMenuItem(never, "mnuAutoFit");

  EXPECT_TRUE(platform.messages.empty());
  // The whole report, its progress lines, counts and intervals, all but the time it took.
  const auto report = [](const Session& s) {
    std::vector<std::string> kept = s.result.lines;
    std::erase_if(kept, [](const std::string& l) { return l.starts_with("Computation time"); });
    return kept;
  };
  ASSERT_NE(testing::ReportRow(session, 1).find(".001"), std::string::npos);
  EXPECT_EQ(report(session), report(never));
  EXPECT_EQ(session.app.ks(1), never.app.ks(1));
  EXPECT_EQ(session.app.alpha(1), never.app.alpha(1));
  for (int k = 0; k <= 2; ++k) EXPECT_EQ(testing::Curve(session, k), testing::Curve(never, k)) << k;
  EXPECT_EQ(session.curves.storedCurveCount, never.curves.storedCurveCount);
  EXPECT_FALSE(session.app.fitting);
}

// A Simulate the user stops keeps nothing of itself: the curves, their potentials and the picture
// are those it started from (the picture as the window shows it: LongSimulation), and the result
// window says why. The next one runs.
TEST(CancelledSimulation, LeavesTheCurvesAndThePictureItStartedFromAndSaysSo) {
  CancellingPlatform platform;
  Session session(platform);
  RunMenuItem(session, "mnuSimulate");
  const std::vector<double> first = testing::Curve(session, 1);
  const std::vector<double> axis = testing::Curve(session, 0);
  const int pictures = platform.plotChanges;
  ASSERT_EQ(first.size(), 121u);

  // Finer steps: a new axis that a half-finished run would have left behind.
  testing::Type(session, "FormIns.Estep", "0.001");
  platform.simulationsBeforeCancel = 1;
  RunMenuItem(session, "mnuSimulate");
  EXPECT_TRUE(platform.messages.empty());
  ASSERT_FALSE(session.result.lines.empty());
  EXPECT_EQ(session.result.lines.back(), "Simulation cancelled.");
  EXPECT_EQ(testing::Curve(session, 1), first);
  EXPECT_EQ(testing::Curve(session, 0), axis);
  EXPECT_EQ(session.curves.storedCurveCount, 1);
  EXPECT_EQ(platform.plotChanges, pictures);

  platform.simulationsBeforeCancel = 1 << 30;
  RunMenuItem(session, "mnuSimulate");
  EXPECT_EQ(session.curves.pointCount, 601);
  EXPECT_EQ(platform.plotChanges, pictures + 1);
}

}  // namespace
}  // namespace kivex::ui
