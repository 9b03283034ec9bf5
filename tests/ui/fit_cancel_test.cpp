// A fit the user stops ends on the best trial it has simulated, not on the trial it was in: the
// experiment, curve 2 and the captions hold that trial, and the last result line says the fit
// was cancelled.

#include <gtest/gtest.h>

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

TEST(CancelledFit, EndsOnTheBestTrialSoFarWithItsValuesInTheCaptions) {
  CancellingPlatform platform;
  Session session(platform);
  RunMenuItem(session, "mnuSimulate");  // the measured curve, at ks 1e4 and alpha 0.5
  testing::Type(session, "FormExpr.ks(1)", "1e-3");
  testing::Type(session, "FormExpr.alph(1)", "0.3");
  testing::TickFit(session, 1);  // the concentration is not fitted
  testing::TickFit(session, 7);
  testing::TickFit(session, 10);
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
  for (std::size_t k = 1; k < platform.progress.size(); ++k) {
    EXPECT_LE(platform.progress[k].second, platform.progress[k - 1].second);
    EXPECT_GE(platform.progress[k].first, platform.progress[k - 1].first);
  }
  EXPECT_GE(platform.progress.back().first, 2);
  EXPECT_NEAR(platform.progress.back().second, best, 1e-13 * best);
  // The experiment holds the trial the captions show.
  const FormExpr& expr = session.Expr();
  EXPECT_EQ(expr.CheckFitted(7).caption, model::FormatPattern(session.app.ks(1), "0.###e-#"));
  EXPECT_EQ(expr.CheckFitted(10).caption, model::FormatPattern(session.app.alpha(1), "0.###e-#"));
  EXPECT_NE(session.app.alpha(1), 0.3);
  EXPECT_FALSE(session.app.fitting);
}

}  // namespace
}  // namespace kivex::ui
