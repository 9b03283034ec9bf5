#include "display/curve_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Measured, simulated, component and species names in the key: the plot2_curve_names scenario.
namespace kivex::display {
namespace {

using model::CurveOrigin;

// Curves of one origin are told apart by number; a curve of no known origin is named by its own.
TEST(CurveNames, NeverNameTwoAlike) {
  const std::vector<CurveOrigin> origins = {CurveOrigin::Simulation, CurveOrigin::Simulation,
                                            CurveOrigin::Measurement, CurveOrigin::None};
  model::CurveSet curves;
  curves.curveCount = curves.storedCurveCount = 4;
  for (int k = 1; k <= 4; ++k) curves.record(k).origin = origins[k - 1];
  EXPECT_EQ(CurveNames(curves, model::AppState{}),
            (std::vector<std::string>{"simulated (1)", "simulated (2)", "measured", "curve 4"}));
}

}  // namespace
}  // namespace kivex::display
