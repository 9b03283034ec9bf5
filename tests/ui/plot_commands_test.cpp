// The plot options dialog and the Display menu through the session. (The drawing pass itself:
// tests/display and the plot_axes scenario.)

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
using testing::Type;

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

TEST(PlotOptionsOK, ReadsTheLimitBoxesOnlyForAxesScaledByHandThenHidesAndRedraws) {
  SessionFixture f;
  Session& s = f.session;
  LoadSweep(s);
  s.plot.xMin = 7;  // left by the last pass
  OptionOK(s);
  EXPECT_EQ(s.plot.xMin, 7);  // auto: left alone
  EXPECT_FALSE(s.plot.grid);

  ShowPlotOptions(s);
  Click(s, "formOption.Xauto");
  Click(s, "formOption.Yauto");
  Click(s, "formOption.CheckGrid");
  Click(s, "formOption.overlap");
  Type(s, "formOption.XminText", "-0.5 V");
  Type(s, "formOption.XmaxText", ".1");
  Type(s, "formOption.YminText", "minus one");  // letters only read as 0
  Type(s, "formOption.YmaxText", "2e-6A");
  f.platform.plotChanges = 0;
  Click(s, "formOption.cmdOK");
  EXPECT_EQ(s.plot.xMin, -0.5);
  EXPECT_EQ(s.plot.xMax, 0.1);
  EXPECT_EQ(s.plot.yMin, 0);
  EXPECT_EQ(s.plot.yMax, 2e-6);
  EXPECT_TRUE(s.plot.grid);
  EXPECT_TRUE(s.plot.overlap);
  EXPECT_FALSE(s.Option().visible);
  EXPECT_EQ(f.platform.plotChanges, 1);
  EXPECT_TRUE(HasText(s.picture, "-0.5"));
}

// One group of style buttons per curve; a curve with no button selected is drawn solid.
TEST(PlotOptionsOK, LineStylesAreOneGroupPerCurve) {
  SessionFixture f;
  OptionOK(f.session);
  const int startStyles[] = {2, 3, 1, 1, 1};
  for (int k = 1; k <= 5; ++k) EXPECT_EQ(f.session.plot.lineStyle(k), startStyles[k - 1]) << k;

  f.session.Option().linestyle2(0).value = false;  // curve 1 now has no button selected
  Click(f.session, "formOption.linestyle2(3)");
  Click(f.session, "formOption.linestyle1(1)");
  OptionOK(f.session);
  EXPECT_EQ(f.session.plot.lineStyle(1), 3);
  EXPECT_EQ(f.session.plot.lineStyle(2), 1);
  EXPECT_EQ(f.session.plot.lineStyle(4), 2);
}

TEST(PlotOptionsAuto, TheAutoBoxesHideAndShowTheirLimitBoxesWithoutARedraw) {
  SessionFixture f;
  FormOption& option = f.session.Option();
  for (Control* box : {&option.XminText, &option.XmaxText, &option.YminText, &option.YmaxText}) {
    EXPECT_TRUE(box->visible && box->captionVisible) << box->name;  // at load, whatever the ticks
  }
  for (const char* axis : {"X", "Y"}) {
    SCOPED_TRACE(axis);
    Control& min = *option.Find(std::string(axis) + "minText");
    Control& max = *option.Find(std::string(axis) + "maxText");
    Click(f.session, std::string("formOption.") + axis + "auto");  // unticked: the boxes show
    EXPECT_TRUE(min.visible && max.visible && max.captionVisible);
    Click(f.session, std::string("formOption.") + axis + "auto");  // ticked: hidden with labels
    EXPECT_FALSE(min.visible || min.captionVisible || max.visible || max.captionVisible);
    EXPECT_THROW(Type(f.session, std::string("formOption.") + axis + "minText", "1"),
                 InteractionError);
  }
  EXPECT_EQ(f.platform.plotChanges, 0);
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

TEST(DisplayMenu, PlotOptionAndClearAreOnTheMenu) {
  SessionFixture f;
  LoadSweep(f.session);
  EXPECT_EQ(RunMenuItem(f.session, "mnuPlot"), MenuOutcome::Disabled);  // nothing simulated yet
  f.session.menu.Enable("mnuDisplay");
  ASSERT_EQ(RunMenuItem(f.session, "mnuPlot"), MenuOutcome::Ran);
  EXPECT_EQ(f.platform.plotChanges, 1);
  ASSERT_EQ(RunMenuItem(f.session, "mnuOption"), MenuOutcome::Ran);
  EXPECT_TRUE(f.session.Option().visible);

  f.session.Print("a line");
  const std::size_t drawn = f.session.picture.ops().size();
  ASSERT_EQ(RunMenuItem(f.session, "mnuClear"), MenuOutcome::Ran);
  EXPECT_TRUE(f.session.result.lines.empty());
  EXPECT_EQ(f.session.picture.ops().size(), drawn);  // the plot is not touched
}

}  // namespace
}  // namespace kivex::ui
