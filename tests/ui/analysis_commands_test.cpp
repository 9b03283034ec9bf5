#include <gtest/gtest.h>

#include "simulation/analytical_experiment.h"
#include "support/test_platform.h"
#include "ui/commands.h"
#include "ui/form_ins.h"
#include "ui/form_option.h"
#include "ui/interaction.h"
#include "ui/run_simulation.h"

namespace kivex::ui {
namespace {

using testing::SessionFixture;

// A simulated session whose curve 1 is the straight line y = i over 0.3 V .. -0.3 V.
struct LineFixture : SessionFixture {
  LineFixture() {
    RunMenuItem(session, "mnuSimulate");
    for (int i = 1; i <= session.curves.pointCount; ++i) session.curves.y(i, 1) = i;
    platform.plotChanges = 0;
  }
};

TEST(AnalysisMenu, EachTransformChangesTheCurrentCurveAndRedrawsOnce) {
  LineFixture f;
  ASSERT_EQ(f.session.curves.pointCount, 121);
  ASSERT_TRUE(f.platform.messages.empty());

  EXPECT_EQ(RunMenuItem(f.session, "mnuDerivative"), MenuOutcome::Ran);
  EXPECT_NEAR(f.session.curves.y(60, 1), 200.0, 1e-9);  // 1 per 5 mV point
  EXPECT_EQ(f.platform.plotChanges, 1);

  RunMenuItem(f.session, "mnuIntegral");
  EXPECT_NEAR(f.session.curves.y(3, 1), 3.0, 1e-9);  // 200 * 0.005 per point
  RunMenuItem(f.session, "mnuMinusY");
  EXPECT_NEAR(f.session.curves.y(3, 1), -3.0, 1e-9);
  RunMenuItem(f.session, "mnu1000Y");
  EXPECT_NEAR(f.session.curves.y(3, 1), -3000.0, 1e-6);
  RunMenuItem(f.session, "mnu0001Y");
  RunMenuItem(f.session, "mnu10Y");
  RunMenuItem(f.session, "mnu01Y");
  EXPECT_NEAR(f.session.curves.y(3, 1), -3.0, 1e-9);
  RunMenuItem(f.session, "mnu1000X");
  EXPECT_NEAR(f.session.curves.x(1), 300.0, 1e-9);
  RunMenuItem(f.session, "mnu10X");
  RunMenuItem(f.session, "mnu01X");
  RunMenuItem(f.session, "mnu0001X");
  RunMenuItem(f.session, "mnuMinusX");
  EXPECT_NEAR(f.session.curves.x(1), -0.3, 1e-12);
  RunMenuItem(f.session, "mnuSemi");
  RunMenuItem(f.session, "mnuSemiInte");
  EXPECT_EQ(f.platform.plotChanges, 14);
  EXPECT_TRUE(f.platform.messages.empty());
}

TEST(AnalysisMenu, CurvesTheTransformCannotTakeStayWithAMessage) {
  LineFixture f;
  f.session.curves.pointCount = 4;
  RunMenuItem(f.session, "mnuSemi");
  RunMenuItem(f.session, "mnuSemiInte");
  ASSERT_EQ(f.platform.messages.size(), 2u);
  EXPECT_EQ(f.platform.messages[0],
            "The curve has 4 points, too few to semi-differentiate (at least 5). The curve is "
            "left unchanged.");
  EXPECT_EQ(f.session.curves.y(4, 1), 4.0);

  f.session.curves.pointCount = 121;
  f.session.curves.x(2) = f.session.curves.x(1);
  for (const char* item : {"mnuDerivative", "mnuIntegral", "mnuSemi"}) {
    RunMenuItem(f.session, item);
  }
  ASSERT_EQ(f.platform.messages.size(), 5u);
  EXPECT_NE(f.platform.messages[2].find("same potential"), std::string::npos);
  EXPECT_EQ(f.session.curves.y(121, 1), 121.0);
  EXPECT_EQ(f.platform.plotChanges, 0);  // nothing changed, nothing redrawn
}

void Choose(Session& session, Control& control, std::string_view item, Dialog& dialog) {
  ChooseItem(session, dialog, control, item);
}

TEST(OutputQuantityCommand, ZeroDistanceIsReportedOnceAndTheCurveKeepsTheCurrent) {
  SessionFixture f;
  TypeText(f.session, f.session.Ins(), f.session.Ins().TextDis, "0");
  Choose(f.session, f.session.Option().ComboY, "conductance Cond", f.session.Option());
  RunMenuItem(f.session, "mnuSimulate");
  ASSERT_EQ(f.platform.messages.size(), 1u);
  EXPECT_EQ(f.platform.messages[0].rfind("Error: the distance between the electrodes", 0), 0u);
  const model::CurveSet& curves = f.session.curves;
  // The run's current, not a conductance.
  EXPECT_EQ(curves.y(5, 1), curves.resultTable(5, f.session.app.totalColumn));

  TypeText(f.session, f.session.Ins(), f.session.Ins().TextDis, "2");
  ApplyOutputQuantity(f.session);
  EXPECT_EQ(f.platform.messages.size(), 1u);
  // kappa = 0.01 M * 100 of the electrolyte plus A and B at the surface; area 1, distance 2.
  const double kappa = 0.01 * 100 + curves.concentrationTable(5, 1) * 100 +
                       curves.concentrationTable(5, 2) * 200;
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

TEST(SimulationFailure, ReportedWithTheSimulationPrefixAndWhatWasWrittenStays) {
  SessionFixture f;
  f.session.app = simulation::physics::Experiment(2, 1, 8);
  f.session.app.Keq(1) = 0;  // the complex's equilibrium constant was never set
  RunSimulation(f.session);
  ASSERT_EQ(f.platform.messages.size(), 1u);
  EXPECT_EQ(f.platform.messages[0],
            "Analytical simulation Error: Invalid procedure call or argument! Please try again by "
            "other initial values.");
  EXPECT_EQ(f.session.curves.pointCount, 121);
  EXPECT_DOUBLE_EQ(f.session.curves.x(121), -0.3);
}

}  // namespace
}  // namespace kivex::ui
