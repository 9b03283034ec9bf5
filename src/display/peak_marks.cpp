#include "display/peak_marks.h"

#include <cmath>
#include <string>

#include "display/plot.h"

namespace kivex::display {

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
