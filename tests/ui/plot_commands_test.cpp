// The plot options dialog and the Display menu through the session. (Typed and automatic limits,
// the lenient limit boxes and the grid: the plot_axes scenario; the drawing pass: tests/display.)

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/picture.h"
#include "support/test_platform.h"
#include "ui/commands.h"
#include "ui/form_option.h"
#include "ui/run_simulation.h"
#include "ui/session_actions.h"

namespace kivex::ui {
namespace {

using testing::Click;
using testing::SessionFixture;

// Curve 1 rising from 0.2 to 3.4 microamperes over 0.3 V .. -0.3 V, as after a simulation.
void LoadSweep(Session& session, int curves = 1) {
  model::CurveSet& c = session.curves;
  for (int i = 1; i <= 61; ++i) {
    c.x(i) = 0.3 - 0.01 * (i - 1);
    for (int k = 1; k <= curves; ++k) c.y(i, k) = (0.2 + 3.2 * (i - 1) / 60.0) * 1e-6 / k;
  }
  c.firstPoint = 1;
  c.lastPoint = c.pointCount = 61;
  c.curveCount = c.storedCurveCount = static_cast<model::Count>(curves);
  c.currentCurve = 1;
}

bool HasText(const display::Picture& picture, std::string_view text) {
  for (const auto& op : picture.ops()) {
    if (op.kind == display::Picture::OpKind::Text && op.text == text) return true;
  }
  return false;
}

// One group of style buttons per curve; a curve with no button selected is drawn solid.
TEST(PlotOptionsOK, CommitsEachCurvesLineStyleAndTheOverlapThenHidesAndRedraws) {
  SessionFixture f;
  LoadSweep(f.session);
  ShowPlotOptions(f.session);
  f.session.Option().linestyle2(0).value = false;  // curve 1 started with markers
  Click(f.session, "formOption.linestyle2(3)");
  Click(f.session, "formOption.linestyle1(1)");
  Click(f.session, "formOption.overlap");
  Click(f.session, "formOption.cmdOK");
  const int styles[] = {3, 1, 1, 2, 1};
  for (int k = 1; k <= 5; ++k) EXPECT_EQ(f.session.plot.lineStyle(k), styles[k - 1]) << k;
  EXPECT_TRUE(f.session.plot.overlap);
  EXPECT_FALSE(f.session.Option().visible);
  EXPECT_EQ(f.platform.plotChanges, 1);
  EXPECT_TRUE(f.platform.messages.empty());
}

TEST(PlotCurvesCommand, WritesTheAutoLimitsBackAndNamesTheOutputQuantity) {
  SessionFixture f;
  LoadSweep(f.session);
  PlotCurves(f.session);
  EXPECT_DOUBLE_EQ(f.session.plot.yMax, 4e-6);
  EXPECT_DOUBLE_EQ(f.session.plot.yMin, -1e-6);
  EXPECT_DOUBLE_EQ(f.session.plot.xMin, -0.3);
  EXPECT_DOUBLE_EQ(f.session.plot.xMax, 0.3);
  EXPECT_TRUE(HasText(f.session.picture, "I /A  1E-6"));
  EXPECT_TRUE(f.session.IsLoaded("formOption"));  // the first pass creates the options dialog
  EXPECT_EQ(f.platform.plotChanges, 1);

  testing::Choose(f.session, "formOption.ComboY", "surface concentration C");
  PlotCurves(f.session);
  EXPECT_TRUE(HasText(f.session.picture, "C /M  1E-6"));
}

TEST(PlotCurvesCommand, NoDataIsAMessageAfterClearingThePicture) {
  SessionFixture f;
  LoadSweep(f.session);
  PlotCurves(f.session);
  ASSERT_TRUE(HasText(f.session.picture, "E /V"));

  f.session.curves = model::CurveSet();
  PlotCurves(f.session);
  EXPECT_EQ(f.platform.messages, (std::vector<std::string>{"Error: No data!"}));
  EXPECT_FALSE(HasText(f.session.picture, "E /V"));
  EXPECT_EQ(f.platform.plotChanges, 2);
}

TEST(DisplayMenu, NextCurveCyclesAndSaysWhichCurveIsCurrent) {
  SessionFixture f;
  LoadSweep(f.session, 3);
  f.session.menu.Enable("mnuDisplay");
  std::vector<int> seen;
  for (int n = 0; n < 4; ++n) {
    ASSERT_EQ(RunMenuItem(f.session, "mnuNextCurve"), MenuOutcome::Ran);
    seen.push_back(f.session.curves.currentCurve);
  }
  EXPECT_EQ(seen, (std::vector<int>{2, 3, 1, 2}));
  EXPECT_TRUE(f.session.result.visible);
  EXPECT_EQ(f.session.result.lines.front(), "Curve Number is  2 ");
  EXPECT_EQ(f.session.result.lines[2], "Curve Number is  1 ");
}

TEST(DisplayMenu, ClearEmptiesTheResultWindowAndLeavesThePlot) {
  SessionFixture f;
  LoadSweep(f.session);
  EXPECT_EQ(RunMenuItem(f.session, "mnuPlot"), MenuOutcome::Disabled);  // nothing simulated yet
  f.session.menu.Enable("mnuDisplay");
  ASSERT_EQ(RunMenuItem(f.session, "mnuPlot"), MenuOutcome::Ran);
  f.session.Print("a line");
  const std::size_t drawn = f.session.picture.ops().size();
  ASSERT_EQ(RunMenuItem(f.session, "mnuClear"), MenuOutcome::Ran);
  EXPECT_TRUE(f.session.result.lines.empty());
  EXPECT_EQ(f.session.picture.ops().size(), drawn);
}

}  // namespace
}  // namespace kivex::ui
