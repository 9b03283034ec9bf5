#pragma once
// The potentials a fit compares: one or more closed intervals of E, typed as "from to" pairs
// separated by semicolons. A measured point is fitted when its potential lies in any of them; an
// empty text fits every point. A charging spike at the start of a sweep, or a region the model
// does not describe, is left out this way while the plot still shows it.
//
//   const std::optional<FitRange> range = ReadFitRange("-0.3 0.2; 0.4 0.25");
//   InFitRange(*range, 0.3);   // true: the second pair, whichever end is typed first
//   FitRangeText(*range);      // "E from -0.3 to 0.2 V, from 0.4 to 0.25 V"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kivex::fitting {

struct PotentialInterval {
  double from = 0;  // V, as typed: either end may come first
  double to = 0;
};

using FitRange = std::vector<PotentialInterval>;  // empty: every point

// The intervals of `text`, or nothing when it is not such a list: each pair two numbers (a point
// as the decimal separator) separated by blanks, pairs separated by semicolons; blanks and empty
// pairs around the semicolons are allowed ("0 0.2;" is one pair). Only blanks read as every point.
std::optional<FitRange> ReadFitRange(std::string_view text);

// Whether `E` lies in one of the closed intervals; true for every E when `range` is empty.
bool InFitRange(const FitRange& range, double E);

// The intervals as the fit report names them: "E from -0.3 to 0.2 V, from 0.25 to 0.4 V".
std::string FitRangeText(const FitRange& range);

}  // namespace kivex::fitting
