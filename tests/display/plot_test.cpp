#include "display/plot.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "display/picture.h"

namespace kivex::display {
namespace {

using Op = Picture::Op;
using Strings = std::vector<std::string>;

// What a pass drew, read back from its display list. Texts carry where they land on the surface
// as fractions of its width (0 left) and height (0 top), through the window in effect.
struct Text {
  std::string text;
  double x, y, screenX, screenY;
  TextAnchor anchor;
};
struct Drawn {
  PlotResult result;
  model::PlotSettings settings;
  std::vector<Op> windows, lines, rectangles, points;  // lines carry the pen in effect
  std::vector<Text> texts, xLabels, yLabels;

  const Text* Find(std::string_view text) const {
    for (const Text& t : texts) {
      if (t.text == text) return &t;
    }
    return nullptr;
  }
  // Horizontal lines at height y longer than a tick: pieces of a curve.
  int SegmentsAt(double y) const {
    int n = 0;
    for (const Op& l : lines) n += l.b == y && l.d == y && std::fabs(l.c - l.a) > 0.03;
    return n;
  }
};

Strings Names(const std::vector<Text>& texts) {
  Strings names;
  for (const Text& t : texts) names.push_back(t.text);
  return names;
}

model::PlotSettings Settings() {
  model::PlotSettings settings;
  for (int k = 1; k <= model::kMaxCurves; ++k) settings.lineStyle(k) = 3;
  return settings;
}

Drawn Draw(const model::CurveSet& curves, PlotOptions options = {},
           model::PlotSettings settings = Settings()) {
  Picture picture;
  Drawn d;
  d.result = DrawPlot(picture, curves, options, settings);
  d.settings = settings;
  double x = 0, y = 0;
  PenStyle pen = PenStyle::Solid;
  TextAnchor anchor = TextAnchor::TopLeft;
  for (Op op : picture.ops()) {
    const Op* w = d.windows.empty() ? nullptr : &d.windows.back();
    switch (op.kind) {
      case Picture::OpKind::Window: d.windows.push_back(op); break;
      case Picture::OpKind::Pen: pen = op.pen; break;
      case Picture::OpKind::MoveTo:
        x = op.a;
        y = op.b;
        break;
      case Picture::OpKind::Anchor: anchor = op.anchor; break;
      case Picture::OpKind::Text:
        d.texts.push_back(
            {op.text, x, y, (x - w->a) / (w->c - w->a), (y - w->b) / (w->d - w->b), anchor});
        if (anchor == TextAnchor::MiddleRight) d.yLabels.push_back(d.texts.back());
        if (anchor == TextAnchor::TopCentre && op.text != "E /V")
          d.xLabels.push_back(d.texts.back());
        break;
      case Picture::OpKind::Line:
        op.pen = pen;
        d.lines.push_back(op);
        break;
      case Picture::OpKind::Rectangle: d.rectangles.push_back(op); break;
      case Picture::OpKind::Point: d.points.push_back(op); break;
      case Picture::OpKind::Clear: break;
    }
  }
  return d;
}

// n points from 0.3 V to -0.3 V (or from `half` to -`half`) with curve 1 rising from lo to hi.
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

// Labelled ticks evenly spaced, all labels distinct, their number within bounds.
void ExpectEvenDistinctTicks(const std::vector<Text>& labels, bool y, int minCount, int maxCount) {
  ASSERT_GE(static_cast<int>(labels.size()), minCount);
  ASSERT_LE(static_cast<int>(labels.size()), maxCount);
  auto at = [&](std::size_t j) { return y ? labels[j].y : labels[j].x; };
  for (std::size_t j = 1; j < labels.size(); ++j) {
    EXPECT_NEAR(at(j) - at(j - 1), at(1) - at(0), 1e-9 * std::fabs(at(1) - at(0)));
    for (std::size_t i = 0; i < j; ++i) EXPECT_NE(labels[i].text, labels[j].text);
  }
}

TEST(PlotLimits, AutomaticLimitsAreWholeDecadeUnitsWithHeadRoom) {
  struct Case {
    double lo, hi, unit, yMin, yMax;
    std::string title;
    Strings labels;  // from the top down: the axis is reversed at the start
  };
  const Strings minusOneToFour = {"4", "3", "2", "1", "0", "-1"};
  std::vector<Case> cases = {
      {0, 0, 1e6, -1e6, 1e6, "I /A  1E6", {"1", "0", "-1"}},  // nothing measurable: flat at 0
      {-2.5e-3, -0.1e-3, 1e-3, -3e-3, 1e-3, "I /A  1E-3", {"1", "0", "-1", "-2", "-3"}},
      {0, 3.4e9, 1e9, -1e9, 4e9, "I /A  1E9", minusOneToFour},  // not thousands of ticks
  };
  // Every decade from femto to mega is its own unit.
  for (int p = -15; p <= 6; ++p) {
    const double unit = std::pow(10.0, p);
    cases.push_back({0.2 * unit, 3.4 * unit, unit, -unit, 4 * unit, "I /A  1E" + std::to_string(p),
                     minusOneToFour});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    const Drawn d = Draw(Sweep(c.lo, c.hi));
    ASSERT_EQ(d.result.outcome, PlotOutcome::Drawn);
    EXPECT_DOUBLE_EQ(d.result.unit, c.unit);
    EXPECT_DOUBLE_EQ(d.settings.yMin, c.yMin);
    EXPECT_DOUBLE_EQ(d.settings.yMax, c.yMax);
    EXPECT_DOUBLE_EQ(d.settings.xMin, -0.3);
    EXPECT_DOUBLE_EQ(d.settings.xMax, 0.3);
    EXPECT_NE(d.Find(c.title), nullptr);
    EXPECT_EQ(Names(d.yLabels), c.labels);
    EXPECT_DOUBLE_EQ(DecadeUnit(9.99 * c.unit), c.unit);
  }
  EXPECT_EQ(DecadeUnit(0), 1e6);
  EXPECT_EQ(DecadeUnit(9e-16), 1e6);
  EXPECT_EQ(DecadeUnit(2.5e12), 1e12);

  const Drawn d = Draw(Sweep(0.2e-6, 3.4e-6));
  // Window: 10 % either side in X, 1.5 units above and 1.8 below in Y, then X exchanged.
  ASSERT_EQ(d.windows.size(), 2u);
  const std::array<double, 4> expected = {-0.36, 5.5e-6, 0.36, -2.8e-6};
  const std::array<double, 4> first = {d.windows[0].a, d.windows[0].b, d.windows[0].c,
                                       d.windows[0].d};
  for (int k = 0; k < 4; ++k) EXPECT_NEAR(first[k], expected[k], 1e-12 * std::fabs(expected[k]));
  EXPECT_EQ((std::array{d.windows[1].a, d.windows[1].b, d.windows[1].c, d.windows[1].d}),
            (std::array{first[2], first[1], first[0], first[3]}));
}

TEST(PlotOutcomeTest, AnEmptyRangeGivesNoDataAndANonFiniteValueStops) {
  PlotOptions typedX;
  typedX.xAuto = false;
  PlotOptions typedY;
  typedY.yAuto = false;
  model::PlotSettings limits = Settings();
  limits.xMin = -0.3;
  limits.xMax = 0.3;
  limits.yMin = limits.yMax = 1e-3;
  model::CurveSet withNaN = Sweep(0, 1e-6);
  withNaN.y(30, 1) = std::nan("");
  const struct {
    model::CurveSet curves;
    PlotOptions options;
    PlotOutcome outcome;
  } cases[] = {
      {model::CurveSet(), {}, PlotOutcome::NoData},
      {model::CurveSet(), typedX, PlotOutcome::Drawn},  // typed X limits: flat axes at zero
      {Sweep(0, 1e-6), typedY, PlotOutcome::NoData},    // equal typed Y limits
      {withNaN, {}, PlotOutcome::Stopped},
  };
  for (const auto& c : cases) {
    const Drawn d = Draw(c.curves, c.options, limits);
    EXPECT_EQ(d.result.outcome, c.outcome);
    if (c.outcome == PlotOutcome::NoData) {  // cleared, nothing drawn
      EXPECT_TRUE(d.windows.empty() && d.texts.empty() && d.lines.empty());
    } else if (c.outcome == PlotOutcome::Stopped) {
      EXPECT_FALSE(d.result.failure.empty());
    } else {
      EXPECT_EQ(d.settings.yMax, 1e6);
    }
  }
  const Drawn empty = Draw(model::CurveSet());
  EXPECT_EQ(empty.settings.xMin, 0);
  EXPECT_EQ(empty.settings.xMax, 0);
}

TEST(PlotAxes, TitlesLabelsTicksAndZeroLineEitherWayRound) {
  PlotOptions options;
  for (bool reversed : {true, false}) {
    SCOPED_TRACE(reversed);
    options.xReversed = reversed;
    Drawn d = Draw(Sweep(0.2e-6, 3.4e-6), options);
    const auto* yTitle = d.Find("I /A  1E-6");
    ASSERT_NE(yTitle, nullptr);
    EXPECT_LT(yTitle->screenX, 0.02);
    EXPECT_LT(yTitle->screenY, 0.02);
    EXPECT_EQ(yTitle->anchor, TextAnchor::TopLeft);
    const auto* xTitle = d.Find("E /V");
    ASSERT_NE(xTitle, nullptr);
    EXPECT_NEAR(xTitle->x, 0, 1e-12);
    EXPECT_NEAR(xTitle->y, -2e-6, 1e-18);  // one unit below the frame

    // Y labels beyond the data end where the potential axis starts, which is on the left of
    // the frame on screen either way.
    const double edge = reversed ? d.settings.xMax : d.settings.xMin;
    ASSERT_EQ(d.yLabels.size(), 6u);
    for (const Text& p : d.yLabels) {
      EXPECT_TRUE(reversed ? p.x > edge : p.x < edge) << p.text;
      EXPECT_LT(p.screenX, 0.1 / 1.2) << p.text;
      EXPECT_GT(p.screenX, 0.0) << p.text;
    }
    // The potential labels run left to right from + to - when reversed.
    EXPECT_EQ(Names(d.xLabels), (Strings{"-0.3", "-0.2", "-0.1", "0.", "0.1", "0.2", "0.3"}));
    for (const Text& p : d.xLabels) EXPECT_GT(p.screenY, yTitle->screenY);
    EXPECT_EQ(d.Find("0.3")->screenX < d.Find("-0.3")->screenX, reversed);

    // Ticks point into the frame; the zero line is dashed.
    int yTicks = 0, xTicks = 0, dashed = 0;
    for (const Op& line : d.lines) {
      if (line.b == line.d && line.a == edge && line.pen == PenStyle::Solid) {
        ++yTicks;
        EXPECT_TRUE(reversed ? line.c < edge : line.c > edge);
      }
      xTicks += line.a == line.c && line.b == -1e-6 && line.d > line.b;
      if (line.pen == PenStyle::Dashed) {
        ++dashed;
        EXPECT_EQ((std::array{line.a, line.b, line.c, line.d}), (std::array{-0.3, 0.0, 0.3, 0.0}));
      }
    }
    EXPECT_EQ(yTicks, 6);
    EXPECT_EQ(xTicks, 7);
    EXPECT_EQ(dashed, 1);

    // Zero on the frame's edge: no dashed line.
    PlotOptions fixed = options;
    fixed.yAuto = false;
    model::PlotSettings typed = Settings();
    typed.yMin = 0;
    typed.yMax = 4e-6;
    d = Draw(Sweep(0.2e-6, 3.4e-6), fixed, typed);
    for (const Op& line : d.lines) EXPECT_EQ(line.pen, PenStyle::Solid);
  }
}

TEST(PlotCurves, EachCurveInItsLineStyleTheSixthSolidAndTheGridOnTheTicks) {
  model::CurveSet curves = Sweep(0.2e-6, 3.4e-6, 11);
  curves.curveCount = 6;
  for (int i = 1; i <= 11; ++i) {
    for (int k = 2; k <= 5; ++k) curves.y(i, k) = 1.5e-6;
    curves.y(i, 6) = 2.5e-6;  // the sixth species has no style of its own
  }
  model::PlotSettings settings = Settings();
  settings.grid = true;
  const int styles[] = {1, 2, 3, 0, 1};  // dotted, markers, solid, none, dotted
  for (int k = 1; k <= 5; ++k) settings.lineStyle(k) = styles[k - 1];
  const Drawn d = Draw(curves, {}, settings);
  ASSERT_EQ(d.result.outcome, PlotOutcome::Drawn);

  ASSERT_EQ(d.points.size(), 22u);
  EXPECT_EQ((std::array{d.points[4].a, d.points[4].b}), (std::array{curves.x(5), curves.y(5, 1)}));
  ASSERT_EQ(d.rectangles.size(), 1u + 11u);  // frame + one marker a point
  const Op& marker = d.rectangles[1 + 3];
  EXPECT_NEAR(marker.c - marker.a, 0.01 * 0.6, 1e-12);
  EXPECT_NEAR(marker.d - marker.b, 0.01 * 5e-6, 1e-18);
  EXPECT_NEAR((marker.a + marker.c) / 2, curves.x(4), 1e-12);
  EXPECT_EQ(d.SegmentsAt(1.5e-6), 10);  // curve 3 joins its 11 points; curve 4 draws nothing
  EXPECT_EQ(d.SegmentsAt(2.5e-6), 10);

  // Grid lines on the ticks inside the frame: -0.2 .. 0.2 V and 0 .. 3 units.
  const model::PlotSettings& s = d.settings;
  int vertical = 0, horizontal = 0;
  for (const Op& line : d.lines) {
    vertical += line.a == line.c && line.b == s.yMin && line.d == s.yMax;
    horizontal +=
        line.b == line.d && line.a == s.xMin && line.c == s.xMax && line.pen == PenStyle::Solid;
  }
  EXPECT_EQ(vertical, 5);
  EXPECT_EQ(horizontal, 4);
}

TEST(PlotTicks, PotentialRangesNarrowOrWideGetEvenTicks) {
  // 0.05 V or less made Round(10 xRange) zero: ticks now fall on a 1-2-5 spacing.
  for (double half : {0.025, 0.02, 0.004}) {
    SCOPED_TRACE(half);
    const Drawn d = Draw(Sweep(0.2e-6, 3.4e-6, 21, half));
    ASSERT_EQ(d.result.outcome, PlotOutcome::Drawn);
    ExpectEvenDistinctTicks(d.xLabels, false, 4, 11);
    for (const auto& p : d.xLabels) {
      EXPECT_GE(p.x, -half - 1e-12);
      EXPECT_LE(p.x, half + 1e-12);
    }
    EXPECT_EQ(d.yLabels.size(), 6u);  // the pass went on to the Y axis
  }
  EXPECT_EQ(
      Names(Draw(Sweep(0, 1e-6, 21, 0.02)).xLabels),
      (Strings{"-0.02", "-0.015", "-0.01", "-0.005", "0.", "0.005", "0.01", "0.015", "0.02"}));

  const Drawn wide = Draw(Sweep(0, 1e-6, 21, 300));  // after "1000X"
  ExpectEvenDistinctTicks(wide.xLabels, false, 5, 16);
  EXPECT_NE(wide.Find("-200."), nullptr);
  // Up to 1.5 V the ticks stay about every 0.1 V.
  EXPECT_EQ(Draw(Sweep(0, 1e-6, 21, 0.7)).xLabels.size(), 15u);
}

TEST(PlotTicks, TypedYLimitsOffWholeUnitsStillGetLabelledTicks) {
  // A limit below half a unit made Round(limit / unit) zero; 1.5 units in two steps were
  // labelled "1", "1".
  const struct {
    bool reversed;
    double yMin, yMax;
    Strings labels;  // empty: any even, distinct run of 5 to 11
  } cases[] = {
      {false, -1e-3, 0.4e-3, {"-1", "-0.8", "-0.6", "-0.4", "-0.2", "0", "0.2", "0.4"}},
      {false, -1e-3, 0, {}},
      {true, -0.2e-3, 1e-3, {"1", "0.8", "0.6", "0.4", "0.2", "0", "-0.2"}},
      {false, -1.5e-3, 1.5e-3, {"-1.5", "-0.75", "0", "0.75", "1.5"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.yMax);
    PlotOptions options;
    options.xReversed = c.reversed;
    options.yAuto = false;
    model::PlotSettings typed = Settings();
    typed.yMin = c.yMin;
    typed.yMax = c.yMax;
    const Drawn d = Draw(Sweep(0, 1e-4), options, typed);
    ASSERT_EQ(d.result.outcome, PlotOutcome::Drawn);
    EXPECT_EQ(d.result.unit, 1e-3);
    if (c.labels.empty()) {
      ExpectEvenDistinctTicks(d.yLabels, true, 5, 11);
    } else {
      EXPECT_EQ(Names(d.yLabels), c.labels);
    }
  }
}

TEST(PlotTicks, ExtremeTypedLimitsDrawOrStopButNeverRunAway) {
  PlotOptions fixed;
  fixed.xAuto = fixed.yAuto = false;
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
    model::PlotSettings typed = Settings();
    typed.xMin = xMin;
    typed.xMax = xMax;
    typed.yMin = yMin;
    typed.yMax = yMax;
    const Drawn d = Draw(Sweep(0, 1e-6), fixed, typed);
    EXPECT_NE(d.result.outcome, PlotOutcome::NoData) << xMax << " " << yMax;
    EXPECT_LT(d.texts.size(), 60u) << xMax << " " << yMax;
  }
}

TEST(PlotTitles, OneTitlePerOutputQuantity) {
  EXPECT_EQ(YTitle("current I", 1e-6), "I /A  1E-6");
  EXPECT_EQ(YTitle("resistance R", 1e3), "R /Ohm  1E3");
  EXPECT_EQ(YTitle("conductance Cond", 1e-2), "Cond *Ohm  1E-2");
  EXPECT_EQ(YTitle("surface concentration C", 1e-4), "C /M  1E-4");
  EXPECT_EQ(YTitle("something else", 1), "");
}

}  // namespace
}  // namespace kivex::display
