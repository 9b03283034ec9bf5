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

// Overlapped runs are named by the first setting that differs among them; the measurement keeps
// its name, and runs that differ in nothing kept are numbered.
TEST(CurveNames, OverlappedRunsAreNamedByWhatDiffers) {
  model::CurveSet curves;
  curves.curveCount = curves.storedCurveCount = 3;
  for (int k = 1; k <= 2; ++k) {
    curves.record(k).origin = CurveOrigin::Simulation;
    curves.record(k).settings = {k == 1 ? 0.01 : 1.0, 1e-2, k == 1 ? 1.0 : 5.0, 0.0};
  }
  curves.record(3).origin = CurveOrigin::Measurement;
  EXPECT_EQ(CurveNames(curves, model::AppState{}),
            (std::vector<std::string>{"v = 0.01 V/s", "v = 1 V/s", "measured"}));
  curves.record(2).settings = curves.record(1).settings;
  EXPECT_EQ(CurveNames(curves, model::AppState{})[1], "simulated (2)");
}

}  // namespace
}  // namespace kivex::display
