#include "ui/session.h"

#include <gtest/gtest.h>

#include "support/test_platform.h"
#include "ui/commands.h"
#include "ui/commit_chain.h"
#include "ui/form_expr.h"
#include "ui/form_ins.h"
#include "ui/form_mech.h"
#include "ui/form_option.h"
#include "ui/form_tech.h"
#include "ui/interaction.h"

namespace kivex::ui {
namespace {

using testing::SessionFixture;

void Type(Session& session, std::string_view reference, std::string text) {
  const ControlAddress address = ResolveControl(session, reference);
  TypeText(session, *address.dialog, *address.control, std::move(text));
}

void Click(Session& session, std::string_view reference) {
  const ControlAddress address = ResolveControl(session, reference);
  ClickControl(session, *address.dialog, *address.control);
}

TEST(StartUp, DigitalPlanarAndTheMenuGreyedAsAtFirstLaunch) {
  SessionFixture f;
  EXPECT_TRUE(f.session.app.digital);
  EXPECT_EQ(f.session.app.electrode, 1);
  EXPECT_EQ(f.session.app.technique, 0);  // filled at the first commit
  EXPECT_TRUE(f.session.IsLoaded("FormMech"));
  EXPECT_FALSE(f.session.IsLoaded("FormIns"));
  for (const char* item : {"mnuDisplay", "mnuData", "mnuManualFit", "mnuTime", "mnuFindPeak"}) {
    EXPECT_FALSE(f.session.menu.Reachable(item)) << item;
  }
  for (const char* item : {"mnuImport", "mnuExport", "mnuAutoFit", "mnuManualSeparate",
                           "mnuAutoSeparate", "mnuSimulate", "mnuAbout"}) {
    EXPECT_TRUE(f.session.menu.Reachable(item)) << item;
  }
  EXPECT_EQ(RunMenuItem(f.session, "mnuTime"), MenuOutcome::Disabled);
  EXPECT_EQ(RunMenuItem(f.session, "mnuNoSuchThing"), MenuOutcome::Unknown);
}

TEST(CommitChain, UntouchedDialogsGiveTheDefaultExperiment) {
  SessionFixture f;
  ChemicalsOK(f.session);
  const model::AppState& app = f.session.app;
  EXPECT_EQ(app.technique, 1);
  EXPECT_TRUE(app.digital);
  EXPECT_EQ(app.electrode, 1);
  EXPECT_DOUBLE_EQ(app.Estart, 0.3);
  EXPECT_DOUBLE_EQ(app.Eend, -0.3);
  EXPECT_DOUBLE_EQ(app.Estep, 0.005);
  EXPECT_DOUBLE_EQ(app.scanRate, 0.01);
  EXPECT_DOUBLE_EQ(app.tDrop, 0.5);
  EXPECT_DOUBLE_EQ(app.tPulse, 0.05);
  EXPECT_DOUBLE_EQ(app.Epulse, -0.05);
  EXPECT_DOUBLE_EQ(app.temperature, 298.14);
  EXPECT_DOUBLE_EQ(app.cycles, 0.5);
  EXPECT_DOUBLE_EQ(app.area, 1.0);
  EXPECT_DOUBLE_EQ(app.radius, 0.2821);
  EXPECT_NEAR(app.omega, 10.47, 0.005);
  EXPECT_NEAR(app.fOverRT, 38.923, 0.0005);
  EXPECT_DOUBLE_EQ(app.RToverF * app.fOverRT, 1.0);
  EXPECT_DOUBLE_EQ(app.viscosity, 0.01);
  EXPECT_DOUBLE_EQ(app.E0(2), -0.1);
  EXPECT_DOUBLE_EQ(app.ks(3), 1e4);
  EXPECT_DOUBLE_EQ(app.n(1), 1.0);
  EXPECT_DOUBLE_EQ(app.kb(4), 0.01);
  EXPECT_DOUBLE_EQ(app.p(1), 1.0);
  EXPECT_DOUBLE_EQ(app.conductivity(1), 100);  // read from Cond(0)
  EXPECT_DOUBLE_EQ(app.conductivity(6), 500);
  EXPECT_DOUBLE_EQ(app.D(6), 1e-5);
  EXPECT_EQ(app.caseCode, 0);  // digital: not recomputed
}

TEST(CommitChain, StoresAbsoluteStepAndRateButSignedPulse) {
  SessionFixture f;
  Type(f.session, "FormIns.Estep", "-0.002");
  Type(f.session, "FormIns.V", "-0.1");
  Type(f.session, "FormIns.Epulse", "-0.025");
  Type(f.session, "FormIns.txttemp", "35 C");  // lenient: the leading number counts
  GatherParameters(f.session);
  EXPECT_DOUBLE_EQ(f.session.app.Estep, 0.002);
  EXPECT_DOUBLE_EQ(f.session.app.scanRate, 0.1);
  EXPECT_DOUBLE_EQ(f.session.app.Epulse, -0.025);
  EXPECT_DOUBLE_EQ(f.session.app.temperature, 308.14);
}

TEST(CommitChain, BandRadiusIsAQuarterOfTheWidth) {
  SessionFixture f;
  f.session.app.electrode = 7;
  f.session.Ins().radius.text = "0.01";
  InstrumentOK(f.session);
  EXPECT_DOUBLE_EQ(f.session.app.radius, 0.0025);
}

TEST(CommitChain, CaseCodeFollowsTheAnalyticalChoiceAndStaysInDigitalMode) {
  SessionFixture f;
  f.session.app.digital = false;
  SelectOption(f.session.Tech(), f.session.Tech().optTech(3));
  f.session.app.electrode = 2;
  GatherParameters(f.session);
  EXPECT_EQ(f.session.app.caseCode, 32);

  f.session.app.digital = true;
  SelectOption(f.session.Tech(), f.session.Tech().optTech(5));
  GatherParameters(f.session);
  EXPECT_EQ(f.session.app.technique, 5);
  EXPECT_EQ(f.session.app.caseCode, 32);
}

TEST(CommitChain, StrictFieldsAndImpossibleTemperatureStopTheCommandWithAMessage) {
  SessionFixture f;
  GatherParameters(f.session);
  Type(f.session, "FormIns.Estep", "0.0o5");
  Type(f.session, "FormIns.Eend", "-0.5");
  EXPECT_THROW(GatherParameters(f.session), model::InputError);
  EXPECT_DOUBLE_EQ(f.session.app.Eend, -0.3);  // nothing of the instrument was half-stored

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

TEST(Simulate, EnablesTheMenusAndReportsItsTime) {
  SessionFixture f;
  f.platform.clock = 10;
  ASSERT_EQ(RunMenuItem(f.session, "mnuSimulate"), MenuOutcome::Ran);
  EXPECT_TRUE(f.platform.messages.empty());
  EXPECT_EQ(f.session.curves.pointCount, 121);
  EXPECT_EQ(f.session.curves.currentCurve, 1);
  for (const char* item : {"mnuDisplay", "mnuData", "mnuManualFit", "mnuTime"}) {
    EXPECT_TRUE(f.session.menu.Reachable(item)) << item;
  }
  EXPECT_EQ(f.platform.busyChanges, (std::vector<bool>{true, false}));

  ASSERT_EQ(RunMenuItem(f.session, "mnuTime"), MenuOutcome::Ran);
  ASSERT_EQ(f.platform.lines.size(), 2u);
  EXPECT_EQ(f.platform.lines[0], "time =  0 s");
  EXPECT_EQ(f.platform.lines[1], "max iteration in simulation =  0 ");
  EXPECT_TRUE(f.session.result.visible);
}

TEST(Simulate, FailureShowsTheSimulationMessageAndStillEnablesTheMenus) {
  SessionFixture f;
  Type(f.session, "FormIns.Eend", "1.9");
  Type(f.session, "FormIns.Estep", "0.0005");  // 3201 points per sweep
  ChooseItem(f.session, f.session.Ins(), f.session.Ins().ComboScan, "cycle");
  RunMenuItem(f.session, "mnuSimulate");
  // Nothing was ever stored, so the redraw that follows finds no data either.
  ASSERT_EQ(f.platform.messages.size(), 2u);
  const std::string& message = f.platform.messages[0];
  EXPECT_EQ(message.rfind("Analytical simulation Error: ", 0), 0u);
  EXPECT_NE(message.find("! Please try again by other initial values."), std::string::npos);
  EXPECT_EQ(f.platform.messages[1], "Error: No data!");
  EXPECT_TRUE(f.session.menu.Reachable("mnuManualFit"));
}

TEST(Dialogs, CloseBoxDiscardsWhatWasTypedOrChosen) {
  SessionFixture f;
  Click(f.session, "FormTech.optTech(4)");
  GatherParameters(f.session);
  EXPECT_EQ(f.session.app.technique, 4);

  Type(f.session, "FormIns.Estart", "0.5");
  f.session.CloseDialog("FormTech");
  f.session.CloseDialog("FormIns");
  EXPECT_FALSE(f.session.IsLoaded("FormIns"));
  GatherParameters(f.session);
  EXPECT_EQ(f.session.app.technique, 1);
  EXPECT_DOUBLE_EQ(f.session.app.Estart, 0.3);
}

TEST(Dialogs, UsersCannotReachHiddenOrGreyedControls) {
  SessionFixture f;
  EXPECT_THROW(Click(f.session, "FormIns.optElectrode(8)"), InteractionError);  // greyed
  EXPECT_THROW(Type(f.session, "FormIns.td", "1"), InteractionError);           // filled by us
  EXPECT_THROW(Type(f.session, "FormIns.Nothing", "1"), InteractionError);
  EXPECT_THROW(Type(f.session, "FormIns.Estart(", "1"), InteractionError);
  EXPECT_THROW(ResolveControl(f.session, "NoForm.Estart"), InteractionError);
}

}  // namespace
}  // namespace kivex::ui
