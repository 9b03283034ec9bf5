// The Display menu and the plot options through the session. (Axes, automatic limits and "No
// data": plot_axes, plotfit_overlap_key; the title's quantity: plot2_curve_names; transforms:
// analysis_transforms; each quantity's caption: quantity_keeps_curves, ui_zero_distance.)

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "display/picture.h"
#include "support/experiments.h"
#include "support/test_platform.h"
#include "ui/commands.h"
#include "ui/form_option.h"
#include "ui/run_simulation.h"
#include "ui/session_actions.h"

namespace kivex::ui {
namespace {

using testing::SessionFixture;

bool HasText(const display::Picture& picture, std::string_view text) {
  return std::ranges::any_of(picture.ops(), [text](const auto& op) {
    return op.kind == display::Picture::OpKind::Text && op.text == text;
  });
}

template <class Limits>
std::array<double, 4> Box(const Limits& l) {
  return {l.xMin, l.xMax, l.yMin, l.yMax};
}

TEST(OutputQuantityCommand, ARunKeepsTheTrialValuesAFitWroteWhileTheCommandRecommits) {
  SessionFixture f;
  f.session.app = testing::Experiment(2, 1);
  f.session.app.E0(1) = 0.05;  // a fit's trial value, not what the dialog shows
  RunSimulation(f.session);
  EXPECT_EQ(f.session.app.E0(1), 0.05);
  // The sampled wave is centred on the trial value: half the plateau at 0.05 V (point 51).
  EXPECT_NEAR(f.session.curves.y(51, 1) / f.session.curves.y(121, 1), 0.5, 1e-6);

  ApplyOutputQuantity(f.session);  // the command reads the dialogs again
  EXPECT_EQ(f.session.app.E0(1), 0.1);
}

// Find Peak marks the plot until the next pass; a zoom draws a picture of its own and, like Clear
// (which empties the result window), leaves options and plot unchanged.
TEST(PlotMarksAndViews, PeaksStayMarkedUntilTheNextPassAndAZoomOrClearChangesNoOption) {
  SessionFixture f;
  EXPECT_EQ(RunMenuItem(f.session, "mnuPlot"), MenuOutcome::Disabled);  // nothing simulated yet
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
  EXPECT_EQ(Box(*view.frame()), (std::array{-0.1, 0.1, 1e-5, 6e-5}));
  EXPECT_TRUE(f.session.Option().Xauto.value && f.session.Option().Yauto.value);
  ASSERT_EQ(RunMenuItem(f.session, "mnuClear"), MenuOutcome::Ran);
  EXPECT_TRUE(f.session.result.lines.empty());
  EXPECT_EQ(Box(f.session.plot), Box(before));
  EXPECT_EQ(f.session.picture.ops().size(), drawn);
}

// The dashed lines of the picture from op `from` on.
int DashedLines(const display::Picture& picture, std::size_t from = 0) {
  int dashed = 0;
  display::PenStyle pen = display::PenStyle::Solid;
  for (std::size_t i = 0; i < picture.ops().size(); ++i) {
    const auto& op = picture.ops()[i];
    if (op.kind == display::Picture::OpKind::Pen) pen = op.pen;
    dashed +=
        i >= from && op.kind == display::Picture::OpKind::Line && pen == display::PenStyle::Dashed;
  }
  return dashed;
}

// The options name the curves whose peaks stand above a baseline, read when Find Peak runs; a
// simulation has none by default, a measured curve has one, and its dashed line goes with the
// peak marks at the next drawing.
TEST(PlotMarksAndViews, ThePeakBaselineOptionChoosesTheCurvesAndItsLineGoesWithTheMarks) {
  SessionFixture f;
  ASSERT_EQ(RunMenuItem(f.session, "mnuSimulate"), MenuOutcome::Ran);
  const int plotted = DashedLines(f.session.picture);  // the zero line
  const Control& combo = f.session.Option().ComboBaseline;
  EXPECT_EQ(combo.text, "imported curves");

  using model::CurveOrigin;
  constexpr auto kCurrent = model::OutputQuantity::Current;
  const struct {
    CurveOrigin origin;
    model::OutputQuantity shown;  // another quantity: a simulation's view in the curve's place
    const char* choice;
    bool baseline;
  } cases[] = {
      {CurveOrigin::Simulation, kCurrent, "imported curves", false},
      {CurveOrigin::Simulation, kCurrent, "all curves", true},
      {CurveOrigin::Measurement, kCurrent, "imported curves", true},
      {CurveOrigin::Measurement, model::OutputQuantity::Conductance, "imported curves", false},
      {CurveOrigin::Measurement, kCurrent, "none", false},
  };
  for (const auto& c : cases) {
    f.session.curves.record(1).origin = c.origin;
    f.session.curves.shown = c.shown;
    testing::Choose(f.session, "formOption.ComboBaseline", c.choice);
    ASSERT_EQ(RunMenuItem(f.session, "mnuPlot"), MenuOutcome::Ran);
    ASSERT_EQ(DashedLines(f.session.picture), plotted);
    f.session.ClearResult();
    const std::size_t before = f.session.picture.ops().size();
    ASSERT_EQ(RunMenuItem(f.session, "mnuFindPeak"), MenuOutcome::Ran);
    ASSERT_TRUE(HasText(f.session.picture, "P1"));
    const bool above = std::ranges::any_of(f.session.result.lines, [](const std::string& line) {
      return line.starts_with("Above baseline:");
    });
    EXPECT_EQ(above, c.baseline) << c.choice;
    EXPECT_EQ(DashedLines(f.session.picture, before), c.baseline ? 1 : 0) << c.choice;
    EXPECT_EQ(f.session.peaks.Baseline(1, 1).found, c.baseline) << c.choice;
  }
  // Drawn again, the plot has neither the mark nor the baseline.
  ASSERT_EQ(RunMenuItem(f.session, "mnuPlot"), MenuOutcome::Ran);
  EXPECT_FALSE(HasText(f.session.picture, "P1"));
  EXPECT_EQ(DashedLines(f.session.picture), plotted);
}

}  // namespace
}  // namespace kivex::ui