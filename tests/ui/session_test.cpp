// The session as a user meets it: start-up, the commit of the dialogs, Simulate and the controls a
// user cannot reach. (Theoretical Peak, a failed run, the close box: the ui_* scenarios.)

#include "ui/session.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "support/test_platform.h"
#include "ui/commands.h"
#include "ui/commit_chain.h"
#include "ui/form_ins.h"
#include "ui/form_mech.h"
#include "ui/session_actions.h"

namespace kivex::ui {
namespace {

using testing::Click;
using testing::SessionFixture;
using testing::Type;

TEST(StartUp, DigitalPlanarWithTheMenuGreyedUntilTheFirstSimulation) {
  SessionFixture f;
  EXPECT_TRUE(f.session.app.digital);
  EXPECT_EQ(f.session.app.electrode, 1);
  EXPECT_TRUE(f.session.IsLoaded("FormMech"));
  EXPECT_FALSE(f.session.IsLoaded("FormIns"));
  for (const char* item : {"mnuDisplay", "mnuData", "mnuManualFit", "mnuTime", "mnuFindPeak"}) {
    EXPECT_FALSE(f.session.menu.Reachable(item)) << item;
  }
  for (const char* item : {"mnuImport", "mnuExport", "mnuAutoFit", "mnuAutoSeparate"}) {
    EXPECT_TRUE(f.session.menu.Reachable(item)) << item;
  }
  EXPECT_EQ(RunMenuItem(f.session, "mnuTime"), MenuOutcome::Disabled);
  EXPECT_EQ(RunMenuItem(f.session, "mnuNoSuchThing"), MenuOutcome::Unknown);

  // Simulate opens the menus and reports its time.
  f.platform.clock = 10;
  ASSERT_EQ(RunMenuItem(f.session, "mnuSimulate"), MenuOutcome::Ran);
  EXPECT_TRUE(f.platform.messages.empty());
  EXPECT_EQ(f.session.curves.pointCount, 121);
  for (const char* item : {"mnuDisplay", "mnuData", "mnuManualFit", "mnuTime"}) {
    EXPECT_TRUE(f.session.menu.Reachable(item)) << item;
  }
  EXPECT_EQ(f.platform.busyChanges, (std::vector<bool>{true, false}));
  ASSERT_EQ(RunMenuItem(f.session, "mnuTime"), MenuOutcome::Ran);
  EXPECT_EQ(f.platform.lines,
            (std::vector<std::string>{"time =  0 s", "max iteration in simulation =  0 "}));
}

// Step and rate are stored as magnitudes, the pulse with its sign, the temperature read leniently;
// a bad strict field stops the commit before anything of the instrument is stored.
TEST(CommitChain, ReadsTheInstrumentFieldsOrStopsTheCommandWithAMessage) {
  SessionFixture f;
  Type(f.session, "FormIns.Estep", "-0.002");
  Type(f.session, "FormIns.V", "-0.1");
  Type(f.session, "FormIns.Epulse", "-0.025");
  Type(f.session, "FormIns.txttemp", "35 C");
  GatherParameters(f.session);
  const model::AppState& app = f.session.app;
  EXPECT_EQ((std::array{app.Estep, app.scanRate, app.Epulse, app.temperature}),
            (std::array{0.002, 0.1, -0.025, 308.14}));

  Type(f.session, "FormIns.Estep", "0.0o5");
  Type(f.session, "FormIns.Eend", "-0.5");
  EXPECT_THROW(GatherParameters(f.session), model::InputError);
  EXPECT_DOUBLE_EQ(f.session.app.Eend, -0.3);
  RunMenuItem(f.session, "mnuSimulate");
  ASSERT_EQ(f.platform.messages.size(), 1u);
  EXPECT_NE(f.platform.messages[0].find("E step (V)"), std::string::npos);
  EXPECT_FALSE(f.session.menu.Reachable("mnuDisplay"));  // the simulation did not run

  Type(f.session, "FormIns.Estep", "0.005");
  Type(f.session, "FormIns.txttemp", "-273.14");
  RunMenuItem(f.session, "mnuSimulate");
  ASSERT_EQ(f.platform.messages.size(), 2u);
  EXPECT_NE(f.platform.messages[1].find("temperature"), std::string::npos);
}

// A negative rate constant or diffusion coefficient stops Simulate with the quantity and its row
// named, before anything is stored; zero (a reaction that does not run) is taken.
TEST(CommitChain, RefusesNegativeRatesNamingTheQuantityAndTheRow) {
  SessionFixture f;
  testing::Apply(f.session, {{"FormMech.chem(1)", "B"}, {"FormMech.chem(2)", "C"}});
  ASSERT_EQ(RunMenuItem(f.session, "mnuSimulate"), MenuOutcome::Ran);
  const std::string keq = f.session.Expr().LabelKeq(1).caption;
  const struct {
    const char* box;
    const char* named;
  } cases[] = {{"FormExpr.kf(1)", "the forward chemical reaction rate constant of B=C"},
               {"FormExpr.kb(1)", "the backward chemical reaction rate constant of B=C"},
               {"FormExpr.ks(1)", "the heterogeneous standard rate constant of A+1e=B"},
               {"FormExpr.D(3)", "the diffusion coefficient of C"}};
  for (const auto& c : cases) {
    const auto [dialog, box] = ResolveControl(f.session, c.box);
    const std::string kept = box->text;
    f.platform.messages.clear();
    Type(f.session, c.box, "-1e-3");
    EXPECT_EQ(f.session.Expr().LabelKeq(1).caption, keq) << c.box;  // no constant for it
    RunMenuItem(f.session, "mnuSimulate");
    ASSERT_EQ(f.platform.messages.size(), 1u) << c.box;
    EXPECT_EQ(f.platform.messages[0], std::string("Error: ") + c.named +
                                          " cannot be negative. Please correct it in the "
                                          "Chemicals dialog.");
    EXPECT_EQ(f.session.app.kf(1), 10);
    EXPECT_EQ(f.session.app.kb(1), 0.01);
    EXPECT_EQ(f.session.app.ks(1), 1e4);
    EXPECT_EQ(f.session.app.D(3), 1e-5);
    Type(f.session, c.box, "0");
    EXPECT_NO_THROW(GatherParameters(f.session)) << c.box;
    Type(f.session, c.box, kept);
    GatherParameters(f.session);
  }
}

// A run that stops on an overflow (alpha 0.5 at -35.7 V; alpha 0.1 runs through) says where; its
// points would cut the overlapped curves short, so it is left out and the curves stay. (Without
// overlap its finished points, or none, stand: the failed_digital_run scenario.)
TEST(Simulate, AFailedRunBesideOverlappedCurvesIsLeftOutAndSaysWhereItStopped) {
  SessionFixture f;
  testing::Apply(f.session,
                 {{"FormIns.Eend", "-50"}, {"FormIns.Estep", "2"}, {"FormExpr.alph(1)", "0.1"}});
  ASSERT_EQ(RunMenuItem(f.session, "mnuSimulate"), MenuOutcome::Ran);
  RunMenuItem(f.session, "mnuOption");
  testing::Apply(f.session, {{"formOption.overlap", nullptr}, {"formOption.cmdOK", nullptr}});
  ASSERT_TRUE(f.platform.messages.empty());
  ASSERT_EQ(f.session.curves.pointCount, 26);
  const std::vector<double> whole = testing::Curve(f.session, 1);

  Type(f.session, "FormExpr.alph(1)", "0.5");
  RunMenuItem(f.session, "mnuSimulate");
  EXPECT_EQ(f.platform.messages,
            std::vector<std::string>{
                "CV Error: Overflow! Please try again by other initial values. The run for curve "
                "2 stopped at -35.7 V, after 18 of its 26 points: it is left out, and the curves "
                "held before are kept."});
  EXPECT_EQ(f.session.curves.curveCount, 1);
  EXPECT_EQ(f.session.curves.pointCount, 26);
  EXPECT_EQ(testing::Curve(f.session, 1), whole);
}

// A step of preparing the run that cannot be computed is skipped, as always, and said: without a
// viscosity the deposit cannot be computed, so B keeps its Nernst share of A + B at E start
// instead of the preconcentrated molar amounts.
TEST(Simulate, SaysWhichStepOfPreparingTheRunItSkippedAndRunsOn) {
  SessionFixture f;
  testing::Apply(
      f.session,
      {{"FormIns.CheckPreCon", nullptr}, {"FormExpr.TextVis", "0"}, {"FormIns.Estep", "0.1"}});
  ASSERT_EQ(RunMenuItem(f.session, "mnuSimulate"), MenuOutcome::Ran);
  EXPECT_TRUE(f.platform.messages.empty());
  EXPECT_EQ(f.platform.lines, (std::vector<std::string>{
                                  "Warning: the preconcentration failed (Division by zero); the "
                                  "run starts with species 2 as the pre-equilibration left it."}));
  EXPECT_GT(f.session.curves.pointCount, 1);
  const model::AppState& app = f.session.app;
  const double theta = std::exp(app.n(1) * app.fOverRT * (app.E0(1) - app.Estart));
  const double total = app.Cinit(1) + app.Cinit(2);
  EXPECT_NEAR(app.Cinit(2), total * theta / (1 + theta), 1e-3 * app.Cinit(2));
}

TEST(Dialogs, UsersCannotReachHiddenOrGreyedControls) {
  SessionFixture f;
  EXPECT_THROW(Click(f.session, "FormIns.optElectrode(8)"), InteractionError);  // digital mode
  EXPECT_THROW(Click(f.session, "FormMech.mech(5)"), InteractionError);  // not offered to users
  EXPECT_THROW(Type(f.session, "FormIns.td", "1"), InteractionError);    // filled by the dialog
  for (const char* reference : {"FormIns.Nothing", "FormIns.Estart(", "NoForm.Estart"}) {
    EXPECT_THROW(Type(f.session, reference, "1"), InteractionError) << reference;
  }
}

}  // namespace
}  // namespace kivex::ui
