#pragma once
// The peaks that Find Peak reports, marked on the plot as it stands: a cross in the curve's
// colour on each peak and its number beside it ("P1", as the report's "Peak 1"), and the peak's
// baseline, where it was measured above one, as a dashed line in the same colour between the two
// points where it touches the curve. The marks are added to the picture of the last drawing pass
// and go with it at the next pass.

#include <optional>
#include <span>

#include "display/picture.h"

namespace kivex::display {

struct MarkSegment {
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct PeakMark {
  int curve = 1;   // the curve's number, which gives the colour
  int number = 1;  // the peak's number in the curve's report
  double x = 0;    // V
  double y = 0;    // in the unit of the curves shown
  std::optional<MarkSegment> baseline = std::nullopt;
};

// Marks the peaks that lie inside the picture's frame, and the parts of their baselines that do;
// nothing when the picture has no frame.
void MarkPeaks(Picture& picture, std::span<const PeakMark> marks);

}  // namespace kivex::display
