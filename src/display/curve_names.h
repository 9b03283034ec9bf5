#pragma once
// What the plot's key calls each shown curve, from where the curve came from: "measured",
// "simulated", "component 2" (the current of charge reaction 2 after a peak separation), or the
// species' name while the surface concentrations are shown. A name that two curves would share
// gets the curve's number ("simulated (1)", "simulated (2)"), so that each entry names one curve;
// overlapped runs that differ in a setting are named by it instead ("v = 0.01 V/s", "v = 0.1 V/s").

#include <string>
#include <vector>

#include "model/app_state.h"
#include "model/curve_set.h"

namespace kivex::display {

// Entry k - 1 names shown curve k, k = 1..curveCount.
std::vector<std::string> CurveNames(const model::CurveSet& curves, const model::AppState& app);

}  // namespace kivex::display
