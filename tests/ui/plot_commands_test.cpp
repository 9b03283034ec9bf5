#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "display/picture.h"
#include "support/test_platform.h"
#include "ui/commands.h"
#include "ui/form_option.h"
#include "ui/interaction.h"
#include "ui/run_simulation.h"
#include "ui/session.h"

namespace kivex::ui {
namespace {

using testing::SessionFixture;

void Type(Session& session, std::string_view reference, std::string text) {
  const ControlAddress address = ResolveControl(session, reference);
  TypeText(session, *address.dialog, *address.control, std::move(text));
}

void Click(Session& session, std::string_view reference) {
  const ControlAddress address = ResolveControl(session, reference);
  ClickControl(session, *address.dialog, *address.control);
}

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

// The texts of the picture, in drawing order.
std::vector<std::string> Texts(const display::Picture& picture) {
  std::vector<std::string> texts;
  for (const auto& op : picture.ops()) {
    if (op.kind == display::Picture::OpKind::Text) texts.push_back(op.text);
  }
  return texts;
}

bool HasText(const display::Picture& picture, std::string_view text) {
  for (const std::string& t : Texts(picture)) {
    if (t == text) return true;
  }
  return false;
}

TEST(PlotOptionsOK, ReadsTheBoxesOnlyForAxesScaledByHand) {
  SessionFixture f;
  Session& s = f.session;
  s.plot.xMin = 7;  // left by the last pass
  OptionOK(s);
  EXPECT_EQ(s.plot.xMin, 7);  // auto: left alone
  EXPECT_EQ(s.plot.lineStyle(1), 2);
  EXPECT_EQ(s.plot.lineStyle(2), 3);
  EXPECT_EQ(s.plot.lineStyle(5), 1);
  EXPECT_FALSE(s.plot.grid);

  Click(s, "formOption.Xauto");
  Click(s, "formOption.Yauto");
  Click(s, "formOption.CheckGrid");
  Click(s, "formOption.overlap");
  Type(s, "formOption.XminText", "-0.5 V");
  Type(s, "formOption.XmaxText", ".1");
  Type(s, "formOption.YminText", "minus one");  // letters only read as 0
  Type(s, "formOption.YmaxText", "2e-6A");
  OptionOK(s);
  EXPECT_EQ(s.plot.xMin, -0.5);
  EXPECT_EQ(s.plot.xMax, 0.1);
  EXPECT_EQ(s.plot.yMin, 0);
  EXPECT_EQ(s.plot.yMax, 2e-6);
  EXPECT_TRUE(s.plot.grid);
  EXPECT_TRUE(s.plot.overlap);
}

TEST(PlotOptionsOK, ACurveWithNoStyleButtonSelectedIsSolid) {
  SessionFixture f;
  FormOption& option = f.session.Option();
  option.linestyle2(0).value = false;  // curve 1 started with markers
  Click(f.session, "formOption.linestyle2(3)");
  OptionOK(f.session);
  EXPECT_EQ(f.session.plot.lineStyle(1), 3);
  EXPECT_EQ(f.session.plot.lineStyle(4), 2);
}

TEST(PlotOptionsAuto, TheAutoBoxesHideAndShowTheirLimitBoxes) {
  SessionFixture f;
  FormOption& option = f.session.Option();
  for (Control* box : {&option.XminText, &option.XmaxText, &option.YminText, &option.YmaxText}) {
    EXPECT_TRUE(box->visible && box->captionVisible) << box->name;  // at load, whatever the ticks
  }
  Click(f.session, "formOption.Xauto");  // unticked: the X boxes show
  EXPECT_TRUE(option.XminText.visible && option.XmaxText.visible);
  Click(f.session, "formOption.Xauto");  // ticked again: hidden with their labels
  EXPECT_FALSE(option.XminText.visible || option.XminText.captionVisible);
  EXPECT_FALSE(option.XmaxText.visible || option.XmaxText.captionVisible);
  EXPECT_TRUE(option.YminText.visible);
  EXPECT_THROW(Type(f.session, "formOption.XminText", "1"), InteractionError);

  Click(f.session, "formOption.Yauto");
  Click(f.session, "formOption.Yauto");
  EXPECT_FALSE(option.YminText.visible || option.YmaxText.captionVisible);
  Click(f.session, "formOption.Yauto");
  EXPECT_TRUE(option.YminText.visible && option.YmaxText.captionVisible);
  EXPECT_EQ(f.platform.plotChanges, 0);  // the auto boxes do not redraw
}

TEST(PlotOptionsOK, TheOkButtonCommitsHidesAndRedraws) {
  SessionFixture f;
  LoadSweep(f.session);
  ShowPlotOptions(f.session);
  EXPECT_TRUE(f.session.Option().visible);
  Click(f.session, "formOption.Xauto");
  Type(f.session, "formOption.XminText", "-0.5");
  Type(f.session, "formOption.XmaxText", "0.1");
  Click(f.session, "formOption.cmdOK");
  EXPECT_FALSE(f.session.Option().visible);
  EXPECT_EQ(f.platform.plotChanges, 1);
  EXPECT_TRUE(f.platform.messages.empty());
  // Typed limits plus the 10 % margins.
  const auto& ops = f.session.picture.ops();
  ASSERT_GE(ops.size(), 1u);
  bool windowFound = false;
  for (const auto& op : ops) {
    if (op.kind == display::Picture::OpKind::Window) {
      EXPECT_NEAR(std::min(op.a, op.c), -0.56, 1e-12);
      EXPECT_NEAR(std::max(op.a, op.c), 0.16, 1e-12);
      windowFound = true;
    }
  }
  EXPECT_TRUE(windowFound);
  EXPECT_TRUE(HasText(f.session.picture, "-0.5"));
  EXPECT_TRUE(HasText(f.session.picture, "0.1"));
}

TEST(PlotCurvesCommand, WritesTheAutoLimitsBackAndDrawsTheTitle) {
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

  // The output quantity chosen in the dialog names the axis at the next redraw.
  ChooseItem(f.session, f.session.Option(), f.session.Option().ComboY, "surface concentration C");
  PlotCurves(f.session);
  EXPECT_TRUE(HasText(f.session.picture, "C /M  1E-6"));
}

TEST(PlotCurvesCommand, NoDataIsAMessageAfterClearingThePicture) {
  SessionFixture f;
  LoadSweep(f.session);
  PlotCurves(f.session);
  ASSERT_GT(f.session.picture.ops().size(), 10u);

  f.session.curves = model::CurveSet();
  PlotCurves(f.session);
  ASSERT_EQ(f.platform.messages, (std::vector<std::string>{"Error: No data!"}));
  EXPECT_TRUE(Texts(f.session.picture).empty());
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
  EXPECT_TRUE(HasText(f.session.picture, "E /V"));

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
