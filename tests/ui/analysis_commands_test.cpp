// The Analysis menu's transforms and the output quantity, run as commands on the session. (A
// curve a transform refuses: the analysis_transforms scenario.)

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "analysis/curve_column.h"
#include "analysis/semi_differentiate.h"
#include "simulation/analytical_experiment.h"
#include "support/test_platform.h"
#include "ui/commands.h"
#include "ui/run_simulation.h"
#include "ui/session_actions.h"

namespace kivex::ui {
namespace {

using testing::Curve;
using testing::SessionFixture;

// A simulated session whose current curve is curve 2, the line y = i over 0.3 V .. -0.3 V in
// 5 mV steps; curve 1 holds -1 throughout and no transform may touch it.
struct LineFixture : SessionFixture {
  LineFixture() {
    RunMenuItem(session, "mnuSimulate");
    model::CurveSet& c = session.curves;
    for (int i = 1; i <= c.pointCount; ++i) {
      c.y(i, 1) = -1;
      c.y(i, 2) = i;
    }
    c.curveCount = c.storedCurveCount = 2;
    c.currentCurve = 2;
    platform.plotChanges = 0;
  }
};

TEST(AnalysisMenu, EachItemTransformsTheCurrentCurveOrTheAxisAndRedrawsOnce) {
  struct Case {
    const char* item;
    int k;  // curve, 0 for the potentials
    int point;
    double expected;
  };
  const Case cases[] = {
      {"mnuDerivative", 2, 60, 200.0},  // 1 per 5 mV point
      {"mnuIntegral", 2, 3, 0.03},      // (1 + 2 + 3) * 0.005
      {"mnuMinusY", 2, 3, -3.0},       {"mnu1000Y", 2, 3, 3000.0}, {"mnu10Y", 2, 3, 30.0},
      {"mnu01Y", 2, 3, 0.3},           {"mnu0001Y", 2, 3, 0.003},  {"mnu1000X", 0, 1, 300.0},
      {"mnu10X", 0, 1, 3.0},           {"mnu01X", 0, 1, 0.03},     {"mnu0001X", 0, 1, 3e-4},
      {"mnuMinusX", 0, 1, -0.3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.item);
    LineFixture f;
    ASSERT_EQ(RunMenuItem(f.session, c.item), MenuOutcome::Ran);
    const double value = Curve(f.session, c.k)[c.point - 1];
    EXPECT_NEAR(value, c.expected, 1e-9 * std::max(1.0, std::fabs(c.expected)));
    EXPECT_EQ(f.platform.plotChanges, 1);
    EXPECT_TRUE(f.platform.messages.empty());
    EXPECT_EQ(Curve(f.session, 1), std::vector<double>(121, -1.0));
  }

  // The semi-transforms give what the analysis functions give on the current curve.
  using Transform = void (*)(const analysis::XAxis&, std::span<double>, int);
  const std::pair<const char*, Transform> semi[] = {{"mnuSemi", analysis::SemiDifferentiate},
                                                    {"mnuSemiInte", analysis::SemiIntegrate}};
  for (const auto& [item, transform] : semi) {
    SCOPED_TRACE(item);
    LineFixture f;
    auto expected = std::make_unique<model::CurveSet>(f.session.curves);
    transform(expected->x, analysis::ColumnOf(expected->y, 2), expected->pointCount);
    RunMenuItem(f.session, item);
    for (int i = 1; i <= 121; ++i) EXPECT_EQ(f.session.curves.y(i, 2), expected->y(i, 2)) << i;
    EXPECT_EQ(Curve(f.session, 1), std::vector<double>(121, -1.0));
    EXPECT_EQ(f.platform.plotChanges, 1);
  }
}

TEST(OutputQuantityCommand, ZeroDistanceIsReportedOnceAndTheCurveKeepsTheCurrent) {
  SessionFixture f;
  testing::Type(f.session, "FormIns.TextDis", "0");
  testing::Choose(f.session, "formOption.ComboY", "conductance Cond");
  RunMenuItem(f.session, "mnuSimulate");
  ASSERT_EQ(f.platform.messages.size(), 1u);
  EXPECT_EQ(f.platform.messages[0].rfind("Error: the distance between the electrodes", 0), 0u);
  const model::CurveSet& curves = f.session.curves;
  // The run's current, not a conductance.
  EXPECT_EQ(curves.y(5, 1), curves.resultTable(5, f.session.app.totalColumn));

  testing::Type(f.session, "FormIns.TextDis", "2");
  ApplyOutputQuantity(f.session);
  EXPECT_EQ(f.platform.messages.size(), 1u);
  // kappa = 0.01 M * 100 of the electrolyte plus A and B at the surface; area 1, distance 2.
  const double kappa =
      0.01 * 100 + curves.concentrationTable(5, 1) * 100 + curves.concentrationTable(5, 2) * 200;
  EXPECT_DOUBLE_EQ(curves.y(5, 1), kappa / 2);
}

TEST(OutputQuantityCommand, ARunKeepsTheTrialValuesAFitWroteWhileTheCommandRecommits) {
  SessionFixture f;
  f.session.app = simulation::physics::Experiment(2, 1);
  f.session.app.E0(1) = 0.05;  // a fit's trial value, not what the dialog shows
  RunSimulation(f.session);
  EXPECT_EQ(f.session.app.E0(1), 0.05);
  // The sampled wave is centred on the trial value: half the plateau at 0.05 V (point 51).
  EXPECT_NEAR(f.session.curves.y(51, 1) / f.session.curves.y(121, 1), 0.5, 1e-6);

  ApplyOutputQuantity(f.session);  // the command reads the dialogs again
  EXPECT_EQ(f.session.app.E0(1), 0.1);
}

}  // namespace
}  // namespace kivex::ui
