#pragma once
// The peaks that Find Peak reports, marked on the plot as it stands: a cross in the curve's
// colour on each peak and its number beside it ("P1", as the report's "Peak 1"). The marks are
// added to the picture of the last drawing pass and go with it at the next pass.

#include <span>

#include "display/picture.h"

namespace kivex::display {

struct PeakMark {
  int curve = 1;   // the curve's number, which gives the colour
  int number = 1;  // the peak's number in the curve's report
  double x = 0;    // V
  double y = 0;    // in the unit of the curves shown
};

// Marks the peaks that lie inside the picture's frame; nothing when the picture has no frame.
void MarkPeaks(Picture& picture, std::span<const PeakMark> marks);

}  // namespace kivex::display
