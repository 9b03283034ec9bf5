#pragma once
// Half-wave potential and limiting current of a sigmoidal wave (DC, normal pulse, steady state),
// for every working curve, with the report the Find Halfwave E command prints.
//
// On magnitudes over the whole curve (points 1..pointCount): the limiting current is the largest
// minus the smallest magnitude, and E1/2 is the potential of the first point, counted from point
// 1, whose height above the smallest magnitude lies within 5 % of half that current. Potential
// direction and noise are not taken into account; on a peaked curve this finds the rising side of
// the first peak.

#include <optional>
#include <string>
#include <vector>

#include "model/curve_set.h"

namespace kivex::analysis {

struct HalfWave {
  std::optional<double> E;  // no value when no point lies in the band (too coarse a step)
  double Id = 0;            // limiting current, largest minus smallest magnitude
};

HalfWave FindHalfWave(const model::CurveSet& curves, int curve);

// One line per curve 1..curveCount.
std::vector<std::string> HalfWaveReport(const model::CurveSet& curves);

}  // namespace kivex::analysis
