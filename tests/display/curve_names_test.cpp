#include "display/curve_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kivex::display {
namespace {

using model::CurveOrigin;
using Strings = std::vector<std::string>;

model::CurveSet Held(std::vector<CurveOrigin> origins) {
  model::CurveSet curves;
  curves.curveCount = curves.storedCurveCount = static_cast<model::Count>(origins.size());
  for (int k = 1; k <= curves.curveCount; ++k) curves.record(k).origin = origins[k - 1];
  return curves;
}

TEST(CurveNames, SayWhereEachCurveCameFromAndNeverNameTwoAlike) {
  const auto M = CurveOrigin::Measurement, S = CurveOrigin::Simulation;
  model::AppState app;
  EXPECT_EQ(CurveNames(Held({M, S}), app), (Strings{"measured", "simulated"}));
  EXPECT_EQ(CurveNames(Held({S, S, M, CurveOrigin::None}), app),
            (Strings{"simulated (1)", "simulated (2)", "measured", "curve 4"}));
  // After a separation: the measurement, the fit and one curve per charge reaction.
  model::CurveSet separated = Held({M, S, S, S});
  separated.record(3).component = 1;
  separated.record(4).component = 2;
  EXPECT_EQ(CurveNames(separated, app),
            (Strings{"measured", "simulated", "component 1", "component 2"}));

  // Surface concentrations are named by species while the scheme still has the run's species.
  model::CurveSet view = Held({S});
  view.record(1).species = 3;
  view.heldCurrentCurve = 1;
  view.shown = model::OutputQuantity::Concentration;
  view.curveCount = app.speciesCount = 3;
  for (int s = 1; s <= 3; ++s) app.speciesName(s) = std::string(1, static_cast<char>('@' + s));
  EXPECT_EQ(CurveNames(view, app), (Strings{"A", "B", "C"}));
  app.speciesCount = 2;  // the scheme changed since the run
  EXPECT_EQ(CurveNames(view, app), (Strings{"species 1", "species 2", "species 3"}));
}

}  // namespace
}  // namespace kivex::display
