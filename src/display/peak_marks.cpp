#include "display/peak_marks.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "display/plot.h"

namespace kivex::display {

namespace {

// The baselines, dashed, under the crosses, cut at the frame as the curves are.
void DrawBaselines(Picture& picture, const PlotFrame& frame, std::span<const PeakMark> marks) {
  if (std::ranges::none_of(marks, [](const PeakMark& m) { return m.baseline.has_value(); })) return;
  picture.SetPen(PenStyle::Dashed);
  picture.SetLineWidth(1.5);
  for (const PeakMark& mark : marks) {
    if (!mark.baseline) continue;
    MarkSegment line = *mark.baseline;
    if (!CutToFrame(frame, line.x1, line.y1, line.x2, line.y2)) continue;
    picture.SetColour(CurveColour(mark.curve));
    picture.Line(line.x1, line.y1, line.x2, line.y2);
  }
  picture.SetPen(PenStyle::Solid);
}

}  // namespace

void MarkPeaks(Picture& picture, std::span<const PeakMark> marks) {
  if (!picture.frame() || marks.empty()) return;
  const PlotFrame frame = *picture.frame();
  picture.SetWindow(frame.left, frame.top, frame.right, frame.bottom);
  // Sizes as fractions of the window, signed so that they point right and up on the surface.
  const double across = frame.right - frame.left;
  const double up = frame.top - frame.bottom;
  const double armX = 0.011 * across;
  const double armY = 0.011 * std::fabs(up) * 4 / 3;  // the same on a 4:3 window
  picture.ClipTo(frame.xMin, frame.yMin, frame.xMax, frame.yMax);
  DrawBaselines(picture, frame, marks);
  picture.SetLineWidth(2);
  for (const PeakMark& mark : marks) {
    if (!std::isfinite(mark.x) || !std::isfinite(mark.y) || !frame.Holds(mark.x, mark.y)) continue;
    picture.SetColour(CurveColour(mark.curve));
    picture.Line(mark.x - armX, mark.y - armY, mark.x + armX, mark.y + armY);
    picture.Line(mark.x - armX, mark.y + armY, mark.x + armX, mark.y - armY);
  }
  picture.SetColour(kBlack);
  picture.SetLineWidth(1);
  picture.NoClip();
  picture.SetTextAnchor(TextAnchor::MiddleLeft);
  for (const PeakMark& mark : marks) {
    if (!std::isfinite(mark.x) || !std::isfinite(mark.y) || !frame.Holds(mark.x, mark.y)) continue;
    picture.MoveTo(mark.x + 1.5 * armX, mark.y + 1.5 * armY);
    picture.Text("P" + std::to_string(mark.number));
  }
}

}  // namespace kivex::display
