#include "display/curve_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Measured, simulated, component and species names in the key: the plot2_curve_names scenario.
namespace kivex::display {
namespace {

using model::CurveOrigin;

// Curves of one origin are told apart by number, a curve of no known origin by its own;
// overlapped runs by the first setting that differs among them, numbered again when none does.
TEST(CurveNames, NeverNameTwoAlike) {
  const CurveOrigin origins[] = {CurveOrigin::Simulation, CurveOrigin::Simulation,
                                 CurveOrigin::Measurement, CurveOrigin::None};
  model::CurveSet curves;
  curves.curveCount = curves.storedCurveCount = 4;
  for (int k = 1; k <= 4; ++k) curves.record(k).origin = origins[k - 1];
  EXPECT_EQ(CurveNames(curves, model::AppState{}),
            (std::vector<std::string>{"simulated (1)", "simulated (2)", "measured", "curve 4"}));
  curves.record(1).settings = {0.01, 1e-2, 1.0, 0.0};
  curves.record(2).settings = {1.0, 1e-2, 5.0, 0.0};
  EXPECT_EQ(CurveNames(curves, model::AppState{}),
            (std::vector<std::string>{"v = 0.01 V/s", "v = 1 V/s", "measured", "curve 4"}));
}

}  // namespace
}  // namespace kivex::display
