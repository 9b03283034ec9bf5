// The session as a user meets it: start-up, the commit of the dialogs, Simulate and the controls a
// user cannot reach. (Theoretical Peak, a failed run, the close box, negative rates: the ui_* and
// ui_* scenarios.)

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

// Step and rate are stored as magnitudes, the pulse with its sign, the temperature read leniently.
// (A bad strict field stops the commit before anything of the instrument is stored:
// ui_refused_instrument.)
TEST(CommitChain, ReadsTheInstrumentFields) {
  SessionFixture f;
  Type(f.session, "FormIns.Estep", "-0.002");
  Type(f.session, "FormIns.V", "-0.1");
  Type(f.session, "FormIns.Epulse", "-0.025");
  Type(f.session, "FormIns.txttemp", "35 C");
  GatherParameters(f.session);
  const model::AppState& app = f.session.app;
  EXPECT_EQ((std::array{app.Estep, app.scanRate, app.Epulse, app.temperature}),
            (std::array{0.002, 0.1, -0.025, 308.14}));
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
