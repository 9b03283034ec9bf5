// The Display and Analysis menus and the plot options dialog through the session: transforms,
// the output quantity, line styles, limits and curves. (Typed and automatic limits, the lenient
// limit boxes and the grid: the plot_axes scenario; a curve a transform refuses: the
// analysis_transforms scenario; the drawing pass: tests/display.)

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "display/picture.h"
#include "numerics/curve_column.h"
#include "numerics/semi_differentiate.h"
#include "simulation/analytical_experiment.h"
#include "support/test_platform.h"
#include "ui/commands.h"
#include "ui/form_option.h"
#include "ui/run_simulation.h"
#include "ui/session_actions.h"

namespace kivex::ui {
namespace {

using testing::Click;
using testing::Curve;
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

TEST(PlotCurvesCommand, WritesTheAutoLimitsBackNamesTheQuantityAndClearsWithoutData) {
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

  // The title names what the curves show: the chosen quantity once it has been formed.
  testing::Choose(f.session, "formOption.ComboY", "surface concentration C");
  PlotCurves(f.session);
  EXPECT_TRUE(HasText(f.session.picture, "I /A  1E-6"));
  f.session.curves.shown = model::OutputQuantity::Concentration;
  PlotCurves(f.session);
  EXPECT_TRUE(HasText(f.session.picture, "C /M  1E-6"));

  // With no data the picture is cleared before the message.
  f.session.curves = model::CurveSet();
  PlotCurves(f.session);
  EXPECT_EQ(f.platform.messages, (std::vector<std::string>{"Error: No data!"}));
  EXPECT_FALSE(HasText(f.session.picture, "E /V"));
  EXPECT_EQ(f.platform.plotChanges, 4);
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

TEST(OutputQuantityCommand, ZeroDistanceIsReportedOnceAndTheCurveKeepsTheCurrent) {
  SessionFixture f;
  testing::Type(f.session, "FormIns.TextDis", "0");
  testing::Choose(f.session, "formOption.ComboY", "conductance Cond");
  RunMenuItem(f.session, "mnuSimulate");
  ASSERT_EQ(f.platform.messages.size(), 1u);
  EXPECT_EQ(f.platform.messages[0].rfind("Error: the distance between the electrodes", 0), 0u);
  const model::CurveSet& curves = f.session.curves;
  // The run's current, not a conductance.
  EXPECT_EQ(curves.y(5, 1), curves.resultTable(5, f.session.app.totalColumn));

  testing::Type(f.session, "FormIns.TextDis", "2");
  ApplyOutputQuantity(f.session);
  EXPECT_EQ(f.platform.messages.size(), 1u);
  // kappa = 0.01 M * 100 of the electrolyte plus A and B at the surface; area 1, distance 2.
  const double kappa =
      0.01 * 100 + curves.concentrationTable(5, 1) * 100 + curves.concentrationTable(5, 2) * 200;
  EXPECT_DOUBLE_EQ(curves.y(5, 1), kappa / 2);
}

// The list offers each quantity once, under the caption that names it back; other text names none.
TEST(OutputQuantityCommand, EveryCaptionOfTheListNamesItsOwnQuantity) {
  SessionFixture f;
  std::vector<model::OutputQuantity> named;
  for (const std::string& caption : f.session.Option().ComboY.items) {
    const auto quantity = QuantityOfCaption(caption);
    ASSERT_TRUE(quantity.has_value()) << caption;
    EXPECT_EQ(QuantityCaption(*quantity), caption);
    EXPECT_EQ(std::count(named.begin(), named.end(), *quantity), 0) << caption;
    named.push_back(*quantity);
  }
  EXPECT_EQ(named.size(), 4u);
  EXPECT_FALSE(QuantityOfCaption("current").has_value());
}

TEST(OutputQuantityCommand, ARunKeepsTheTrialValuesAFitWroteWhileTheCommandRecommits) {
  SessionFixture f;
  f.session.app = simulation::physics::Experiment(2, 1);
  f.session.app.E0(1) = 0.05;  // a fit's trial value, not what the dialog shows
  RunSimulation(f.session);
  EXPECT_EQ(f.session.app.E0(1), 0.05);
  // The sampled wave is centred on the trial value: half the plateau at 0.05 V (point 51).
  EXPECT_NEAR(f.session.curves.y(51, 1) / f.session.curves.y(121, 1), 0.5, 1e-6);

  ApplyOutputQuantity(f.session);  // the command reads the dialogs again
  EXPECT_EQ(f.session.app.E0(1), 0.1);
}

// Find Peak marks its peaks on the plot as it stands, until the next pass. A closer look draws
// within other limits into a picture of its own and leaves the options and the plot unchanged.
TEST(PlotMarksAndViews, PeaksStayMarkedUntilTheNextPassAndAZoomChangesNoOption) {
  SessionFixture f;
  ASSERT_EQ(RunMenuItem(f.session, "mnuSimulate"), MenuOutcome::Ran);
  ASSERT_FALSE(HasText(f.session.picture, "P1"));
  const int changes = f.platform.plotChanges;
  ASSERT_EQ(RunMenuItem(f.session, "mnuFindPeak"), MenuOutcome::Ran);
  EXPECT_TRUE(HasText(f.session.picture, "P1"));
  EXPECT_EQ(f.platform.plotChanges, changes + 1);
  ASSERT_EQ(RunMenuItem(f.session, "mnuPlot"), MenuOutcome::Ran);
  EXPECT_FALSE(HasText(f.session.picture, "P1"));

  const model::PlotSettings before = f.session.plot;
  const std::size_t drawn = f.session.picture.ops().size();
  display::Picture view;
  ASSERT_TRUE(DrawZoomed(f.session, {-0.1, 0.1, 1e-5, 6e-5}, view));
  ASSERT_TRUE(view.frame());
  EXPECT_EQ(
      (std::array{view.frame()->xMin, view.frame()->xMax, view.frame()->yMin, view.frame()->yMax}),
      (std::array{-0.1, 0.1, 1e-5, 6e-5}));
  EXPECT_TRUE(f.session.Option().Xauto.value && f.session.Option().Yauto.value);
  EXPECT_EQ((std::array{f.session.plot.xMin, f.session.plot.xMax, f.session.plot.yMin,
                        f.session.plot.yMax}),
            (std::array{before.xMin, before.xMax, before.yMin, before.yMax}));
  EXPECT_EQ(f.session.picture.ops().size(), drawn);
}

}  // namespace
}  // namespace kivex::ui
