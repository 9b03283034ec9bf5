#include "display/plot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "display/peak_marks.h"
#include "display/picture.h"
#include "model/number_text.h"

// Whole pages (clip, key, line styles, peak marks, either axis direction) are pinned by the e2e
// scenarios plot_axes and plotfit_*.
namespace kivex::display {
namespace {

using Op = Picture::Op;

struct Text {
  std::string text;
  double x, y;
};
// What a pass drew, read back from its display list, lines with the pen in effect.
struct Drawn {
  Picture picture;
  PlotResult result;
  model::PlotSettings settings;
  std::vector<Op> windows, lines;
  std::vector<Text> texts, xLabels, yLabels;
};

// The texts, blank separated.
std::string Names(const std::vector<Text>& texts) {
  std::string names;
  for (const Text& t : texts) names += (names.empty() ? "" : " ") + t.text;
  return names;
}

model::PlotSettings Settings(double xMin = -0.3, double xMax = 0.3, double yMin = -1e-3,
                             double yMax = 1e-3) {
  model::PlotSettings s;
  for (int k = 1; k <= model::kMaxCurves; ++k) s.lineStyle(k) = 3;
  s.xMin = xMin, s.xMax = xMax, s.yMin = yMin, s.yMax = yMax;
  return s;
}
PlotOptions Typed(bool x, bool y) { return {.xAuto = !x, .yAuto = !y, .curveNames = {}}; }

Drawn Draw(const model::CurveSet& curves, const PlotOptions& options = {},
           model::PlotSettings settings = Settings()) {
  Drawn d;
  d.result = DrawPlot(d.picture, curves, options, settings);
  d.settings = settings;
  double x = 0, y = 0;
  PenStyle pen = PenStyle::Solid;
  TextAnchor anchor = TextAnchor::TopLeft;
  for (Op op : d.picture.ops()) {
    switch (op.kind) {
      case Picture::OpKind::Window: d.windows.push_back(op); break;
      case Picture::OpKind::Pen: pen = op.pen; break;
      case Picture::OpKind::MoveTo: x = op.a, y = op.b; break;
      case Picture::OpKind::Anchor: anchor = op.anchor; break;
      case Picture::OpKind::Text:
        d.texts.push_back({op.text, x, y});
        if (anchor == TextAnchor::MiddleRight) d.yLabels.push_back(d.texts.back());
        if (anchor == TextAnchor::TopCentre && op.text != "E /V")
          d.xLabels.push_back({op.text, x, y});
        break;
      case Picture::OpKind::Line: op.pen = pen, d.lines.push_back(op); break;
      default: break;
    }
  }
  return d;
}

// n points from `half` to -`half` V with curve 1 rising from lo to hi.
model::CurveSet Sweep(double lo, double hi, int n = 61, double half = 0.3) {
  model::CurveSet curves;
  for (int i = 1; i <= n; ++i) {
    curves.x(i) = half - 2 * half * (i - 1) / (n - 1);
    curves.y(i, 1) = lo + (hi - lo) * (i - 1) / (n - 1);
  }
  curves.pointCount = curves.lastPoint = static_cast<model::Count>(n);
  curves.firstPoint = 1;
  curves.curveCount = curves.storedCurveCount = curves.currentCurve = 1;
  return curves;
}

TEST(PlotLimits, AutomaticLimitsAreWholeDecadeUnitsWithHeadRoom) {
  struct Case {
    double lo, hi, unit, yMin, yMax;
    std::string title, labels;  // labels from the top down: the axis is reversed at the start
  };
  std::vector<Case> cases = {
      {0, 0, 1e6, -1e6, 1e6, "I /A  1E6", "1 0 -1"},  // nothing measurable: flat at 0
      {-2.5e-3, -0.1e-3, 1e-3, -3e-3, 1e-3, "I /A  1E-3", "1 0 -1 -2 -3"},
      {0, 3.4e9, 1e9, -1e9, 4e9, "I /A  1E9", "4 3 2 1 0 -1"},  // not thousands of ticks
  };
  // Every decade is its own unit, down to currents far below a femtoampere (not drawn flat).
  for (int p = -18; p <= 6; ++p) {
    const double unit = std::pow(10.0, p);
    cases.push_back({0.2 * unit, 3.4 * unit, unit, -unit, 4 * unit, "I /A  1E" + std::to_string(p),
                     "4 3 2 1 0 -1"});
  }
  for (const Case& c : cases) {
    const Drawn d = Draw(Sweep(c.lo, c.hi));
    ASSERT_EQ(d.result.outcome, PlotOutcome::Drawn) << c.title;
    EXPECT_DOUBLE_EQ(d.result.unit, c.unit) << c.title;
    EXPECT_EQ((std::array{d.settings.xMin, d.settings.xMax, d.settings.yMin, d.settings.yMax}),
              (std::array{-0.3, 0.3, c.yMin, c.yMax}))
        << c.title;
    EXPECT_EQ(std::ranges::count(d.texts, c.title, &Text::text), 1) << c.title;
    EXPECT_EQ(Names(d.yLabels), c.labels) << c.title;
    EXPECT_DOUBLE_EQ(DecadeUnit(9.99 * c.unit), c.unit) << c.title;
  }
  EXPECT_EQ(DecadeUnit(0), 1e6);
  EXPECT_EQ(DecadeUnit(2.5e12), 1e12);
  // The window (10 % either side in X, 15 % of the Y range above and 18 % below, X exchanged)
  // is pinned by the pixels of plotfit_overlap_key.
}

TEST(PlotOutcomeTest, EmptyRangeGivesNoDataNonFiniteStopsAndZeroOnTheEdgeIsNotDashed) {
  const Drawn empty = Draw(Sweep(0, 1e-6), Typed(false, true), Settings(-0.3, 0.3, 1e-3, 1e-3));
  EXPECT_EQ(empty.result.outcome, PlotOutcome::NoData);
  EXPECT_TRUE(empty.windows.empty() && empty.texts.empty() && empty.lines.empty());
  model::CurveSet withNaN = Sweep(0, 1e-6);
  withNaN.y(30, 1) = std::nan("");
  const Drawn stopped = Draw(withNaN);
  EXPECT_EQ(stopped.result.outcome, PlotOutcome::Stopped);
  EXPECT_FALSE(stopped.result.failure.empty());
  const Drawn edge = Draw(Sweep(0.2e-6, 3.4e-6), Typed(false, true), Settings(-0.3, 0.3, 0, 4e-6));
  for (const Op& l : edge.lines) EXPECT_EQ(l.pen, PenStyle::Solid);
  Picture blank;
  const PeakMark marks[] = {{2, 1, 0.1, 2e-6}};
  MarkPeaks(blank, marks);  // no frame drawn: nothing to mark on
  EXPECT_TRUE(blank.empty());
}

// Each baseline is one dashed line in its curve's colour under the frame's clip, cut where it
// leaves the frame. (Marks without one draw as before: plotfit_typed_limits_clip.)
TEST(PeakMarksTest, BaselinesAreDashedInTheCurvesColourAndCutAtTheFrame) {
  Drawn d = Draw(Sweep(0, 1e-6));  // frame: -0.3 .. 0.3 V, -1 .. 2 uA
  ASSERT_TRUE(d.result.frame);
  d.picture.SetFrame(*d.result.frame);
  const std::size_t marked = d.picture.ops().size();
  const PeakMark marks[] = {
      {2, 1, 0.1, 1e-6, MarkSegment{-0.2, 1e-7, 0.5, 4e-7}},  // leaves the frame at 0.3 V
      {1, 2, 0.0, 5e-7, std::nullopt},
      {3, 1, 0.2, 1e-6, MarkSegment{-0.2, 3e-6, 0.2, 4e-6}},  // wholly above the frame
  };
  MarkPeaks(d.picture, marks);
  PenStyle pen = PenStyle::Solid;
  Colour colour;
  bool clipped = false;
  std::vector<Op> dashed;
  for (std::size_t i = marked; i < d.picture.ops().size(); ++i) {
    Op op = d.picture.ops()[i];
    if (op.kind == Picture::OpKind::Pen) pen = op.pen;
    if (op.kind == Picture::OpKind::Colour) colour = op.colour;
    if (op.kind == Picture::OpKind::Clip) clipped = true;
    if (op.kind == Picture::OpKind::NoClip) clipped = false;
    if (op.kind == Picture::OpKind::Line && pen == PenStyle::Dashed) {
      EXPECT_EQ(colour, CurveColour(2));
      EXPECT_TRUE(clipped);
      dashed.push_back(op);
    }
  }
  ASSERT_EQ(dashed.size(), 1u);
  // From (-0.2, 0.1 uA) towards (0.5, 0.4 uA): at 0.3 V, 5/7 of the way, 0.1 + 3 * 5 / 7 uA.
  EXPECT_NEAR(dashed[0].a, -0.2, 1e-15);
  EXPECT_NEAR(dashed[0].b, 1e-7, 1e-20);
  EXPECT_NEAR(dashed[0].c, 0.3, 1e-15);
  EXPECT_NEAR(dashed[0].d, 1e-7 + 3e-7 * 5 / 7, 1e-20);
  EXPECT_EQ(pen, PenStyle::Solid);  // the crosses and whatever follows are solid again
}

// Labels read as numbers state their ticks' positions exactly (in the title's unit on the Y
// axis); the ticks are whole multiples of one 1-2-5 spacing within the limits.
void ExpectRoundTicks(const std::vector<Text>& labels, bool y, double unit, double lo, double hi) {
  ASSERT_GE(labels.size(), 3u);
  const double step = std::fabs(y ? labels[1].y - labels[0].y : labels[1].x - labels[0].x);
  const double scaled = step / unit / std::pow(10.0, std::floor(std::log10(step / unit) + 1e-9));
  EXPECT_TRUE(std::fabs(scaled - 1) < 1e-9 || std::fabs(scaled - 2) < 1e-9 ||
              std::fabs(scaled - 5) < 1e-9 || std::fabs(scaled - 10) < 1e-8)
      << step;
  const double tolerance = 1e-12 * (hi - lo);
  for (const Text& label : labels) {
    const double at = y ? label.y : label.x;
    EXPECT_NEAR(model::ReadNumber(label.text) * unit, at, tolerance) << label.text;
    EXPECT_NEAR(at / step, std::round(at / step), 1e-9) << label.text;
    EXPECT_TRUE(at >= lo - tolerance && at <= hi + tolerance) << label.text;
  }
}

TEST(PlotTicks, LabelsStateRoundTicksAndTheFrameKeepsItsShare) {
  const struct {
    double xMin, xMax, yMin, yMax;  // typed; yMin = yMax = 0 for automatic Y limits
    std::string xLabels, yLabels;   // empty: any round run
  } cases[] = {
      // Off-round potentials once gave -0.33, -0.23, ... labelled to the nearest 10 mV.
      {-0.33, 0.27, 0, 0, "-0.3 -0.2 -0.1 0. 0.1 0.2", ""},
      // A 0.06 to 0.149 V range once had two ticks.
      {0.06, 0.149, 0, 0, "0.06 0.07 0.08 0.09 0.1 0.11 0.12 0.13 0.14", ""},
      // Typed limits off whole units once gave 8.7, 7.657, 6.614, ...
      {-0.3, 0.3, -7.3e-5, 8.7e-5, "", "8 6 4 2 0 -2 -4 -6"},
      {-0.3, 0.3, 0, 1e-4, "", ""},  // once squeezed the frame to 23 % of the height
      {-1e-3, 0.4e-3, -1e-3, 0.4e-3, "", "0.4 0.2 0 -0.2 -0.4 -0.6 -0.8 -1"},
      {-0.3, 0.3, -1.5e-3, 1.5e-3, "", "1.5 1 0.5 0 -0.5 -1 -1.5"},
      {-0.3, 0.3, -1e-3, 0, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.xMin + c.xMax + c.yMax);
    const Drawn d = Draw(Sweep(0, 8.5e-5), Typed(true, c.yMin != c.yMax),
                         Settings(c.xMin, c.xMax, c.yMin, c.yMax));
    ASSERT_EQ(d.result.outcome, PlotOutcome::Drawn);
    const model::PlotSettings& s = d.settings;
    ExpectRoundTicks(d.xLabels, false, 1, s.xMin, s.xMax);
    ExpectRoundTicks(d.yLabels, true, d.result.unit, s.yMin, s.yMax);
    if (!c.xLabels.empty()) EXPECT_EQ(Names(d.xLabels), c.xLabels);
    if (!c.yLabels.empty()) EXPECT_EQ(Names(d.yLabels), c.yLabels);
    // The frame keeps the default plot's share of the window: 1 / 1.2 wide, 1 / 1.33 high.
    const Op& w = d.windows.back();
    EXPECT_NEAR((w.b - w.d) / (s.yMax - s.yMin), 1.33, 1e-9);
    EXPECT_NEAR(std::fabs(w.a - w.c) / (s.xMax - s.xMin), 1.2, 1e-9);
  }
}

TEST(PlotTicks, ExtremeTypedLimitsDrawOrStopButNeverRunAway) {
  const std::array<double, 4> extremes[] = {
      {0, 1e-310, -1e-3, 1e-3},     // a potential range near the smallest doubles
      {0, 5e-324, -1e-3, 1e-3},     // one whose 1-2-5 spacing underflows to 0
      {-1e300, 1e300, -1, 1},       // ranges near the largest
      {-0.3, 0.3, -1e300, 1e300},   //
      {-0.3, 0.3, -1e-20, 1e-20},   // below the smallest decade
      {0.3, -0.3, 1e-3, -1e-3},     // limits typed the wrong way round
      {-0.3, 0.3, -1e308, 1.7e308}  // a Y range that overflows
  };
  for (const auto& [xMin, xMax, yMin, yMax] : extremes) {
    const Drawn d = Draw(Sweep(0, 1e-6), Typed(true, true), Settings(xMin, xMax, yMin, yMax));
    EXPECT_NE(d.result.outcome, PlotOutcome::NoData) << xMax << " " << yMax;
    EXPECT_LT(d.texts.size(), 60u) << xMax << " " << yMax;
  }
}

}  // namespace
}  // namespace kivex::display
