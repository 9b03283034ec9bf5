// The four parameter dialogs as data and as a user drives them (type, click, choose), through the
// same calls as the window and scripts.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/test_platform.h"
#include "ui/commands.h"
#include "ui/commit_chain.h"
#include "ui/form_expr.h"
#include "ui/form_ins.h"
#include "ui/form_mech.h"
#include "ui/form_tech.h"
#include "ui/session_actions.h"

namespace kivex::ui {
namespace {

using testing::Choose;
using testing::Click;
using testing::SessionFixture;
using testing::Type;

// A + 2e = B, B = C, C + A = D + B.
void WriteExampleScheme(Session& session) {
  Choose(session, "FormMech.NEL(1)", "2");
  const std::pair<const char*, const char*> boxes[] = {{"chem(1)", "B"},  {"chem(2)", "C"},
                                                       {"chem2(1)", "C"}, {"chem2(2)", "A"},
                                                       {"chem2(3)", "D"}, {"chem2(4)", "B"}};
  for (const auto& [box, text] : boxes) Type(session, std::string("FormMech.") + box, text);
}

// The box switches the mode, the mechanism frames, Theoretical Peak and the Instrument dialog's
// electrodes 8 and 9 (creating that dialog if need be); a selected electrode stays selected.
TEST(MechanismDialog, DigitalClickSwitchesTheWholeProgramsMode) {
  SessionFixture f;
  EXPECT_FALSE(f.session.IsLoaded("FormIns"));
  for (bool digital : {false, true}) {
    SCOPED_TRACE(digital);
    Click(f.session, "FormMech.CheckDigital");
    ASSERT_TRUE(f.session.IsLoaded("FormIns"));
    EXPECT_EQ(f.session.app.digital, digital);
    EXPECT_EQ(f.session.Mech().Frame1.visible, !digital);
    EXPECT_EQ(f.session.Mech().Frame2.visible, digital);
    EXPECT_EQ(f.session.menu.Find("mnuTheoPeak")->enabled, !digital);
    EXPECT_EQ(f.session.Ins().optElectrode(8).enabled, !digital);
    EXPECT_EQ(f.session.Ins().optElectrode(9).enabled, !digital);
    if (!digital) Click(f.session, "FormIns.optElectrode(8)");
  }
  EXPECT_TRUE(f.session.Ins().optElectrode(8).value);
  EXPECT_EQ(f.session.app.electrode, 8);
}

// A minus sign typed in either box does not make a negative duration; text that is not a number
// (strictly read) or a result that is not finite gives no value, so the box keeps its last one.
TEST(InstrumentDialog, DropTimeAndPulseWidthAreDurationsReadStrictly) {
  const std::pair<std::pair<const char*, const char*>, std::optional<std::string>> drops[] = {
      {{"0.005", "0.01"}, "0.5"},          {{"-0.004", " 0.02 "}, "0.2"},
      {{"0.005", "0"}, std::nullopt},      {{"5 mV", "0.01"}, std::nullopt},
      {{"1e300", "1e-300"}, std::nullopt},
  };
  for (const auto& [typed, expected] : drops) {
    EXPECT_EQ(DropTimeText(typed.first, typed.second), expected) << typed.first;
  }
  const std::pair<const char*, std::optional<std::string>> pulses[] = {
      {"25", "0.02"}, {"-25", "0.02"}, {"3", "0.16666666666666666"}, {"", std::nullopt}};
  for (const auto& [frequency, expected] : pulses) {
    EXPECT_EQ(PulseWidthText(frequency), expected) << frequency;
  }
}

TEST(InstrumentDialog, OkSaysWhatIsNotANumberOrCommitsTheAreaAsShown) {
  SessionFixture f;
  RunMenuItem(f.session, "mnuInstrument");
  Type(f.session, "FormIns.V", "ten mV/s");
  Click(f.session, "FormIns.cmdOK");
  EXPECT_EQ(f.platform.messages,
            std::vector<std::string>{"v (V/s): \"ten mV/s\" is not a number. Please correct it "
                                     "in the Instrument dialog."});
  EXPECT_TRUE(f.session.Ins().visible);
  EXPECT_FALSE(f.session.app.committed);

  Type(f.session, "FormIns.V", "0.01");
  Click(f.session, "FormIns.optElectrode(2)");
  Click(f.session, "FormIns.cmdOK");
  EXPECT_FALSE(f.session.Ins().visible);
  EXPECT_TRUE(f.session.app.committed);
  EXPECT_DOUBLE_EQ(f.session.app.area, 1.0);  // 4 pi r^2 = 1.00004, shown as 1.e0

  Click(f.session, "FormIns.optElectrode(7)");
  Type(f.session, "FormIns.radius", "0.01");  // the band's width
  Type(f.session, "FormIns.leng", "0.1");
  Click(f.session, "FormIns.cmdOK");
  EXPECT_DOUBLE_EQ(f.session.app.radius, 0.0025);
  EXPECT_DOUBLE_EQ(f.session.app.area, 1e-3);
  EXPECT_DOUBLE_EQ(f.session.app.length, 0.1);
}

// (The default couple's rows and pre-equilibrated concentrations as shown: the
// chemicals_user_scheme scenario, after the close box.)
TEST(ChemicalsDialog, DefaultCoupleIsPreEquilibratedWhereverItsValuesChange) {
  SessionFixture f;
  ASSERT_EQ(RunMenuItem(f.session, "mnuExperimental"), MenuOutcome::Ran);
  FormExpr& expr = f.session.Expr();
  // Unticking shows the analytical concentrations as they are; ticking recomputes.
  Click(f.session, "FormExpr.CheckPreEqu");
  EXPECT_EQ(expr.Cinit(1).caption, "1.e-3");
  EXPECT_EQ(expr.Cinit(2).caption, "0.e0");
  Click(f.session, "FormExpr.CheckPreEqu");
  EXPECT_EQ(expr.Cinit(1).caption, "9.996e-4");

  // Fields that move the equilibrium recompute it; the others do not.
  Type(f.session, "FormExpr.Eze(1)", "0.3");  // E0 = E start: half reduced
  EXPECT_EQ(expr.Cinit(1).caption, "5.e-4");
  EXPECT_EQ(expr.Cinit(2).caption, "5.e-4");
  Type(f.session, "FormExpr.C(1)", "2e-3");
  EXPECT_EQ(expr.Cinit(2).caption, "1.e-3");
  expr.Cinit(2).caption = "marker";
  Type(f.session, "FormExpr.ks(1)", "1");
  Type(f.session, "FormExpr.D(1)", "2e-5");
  Type(f.session, "FormExpr.alph(1)", "0.3");
  EXPECT_EQ(expr.Cinit(2).caption, "marker");
}

// The Keq label follows kf / kb and recomputes the concentrations; kb of 0 leaves it. (The rows,
// captions and concentrations of this scheme: the chemicals_user_scheme scenario.)
TEST(ChemicalsDialog, KeqFollowsTheRateConstants) {
  SessionFixture f;
  WriteExampleScheme(f.session);
  ASSERT_EQ(RunMenuItem(f.session, "mnuExperimental"), MenuOutcome::Ran);
  FormExpr& expr = f.session.Expr();
  Type(f.session, "FormExpr.C(3)", "1e-4");
  const std::string D = expr.Cinit(4).caption;
  Type(f.session, "FormExpr.kb(2)", "10");
  EXPECT_EQ(expr.LabelKeq(2).caption, "1.e0");
  EXPECT_NE(expr.Cinit(4).caption, D);
  Type(f.session, "FormExpr.kb(2)", "0");
  EXPECT_EQ(expr.LabelKeq(2).caption, "1.e0");
}

TEST(ChemicalsDialog, RowsAreNamedFromTheBoxesOrTheFixedMechanismsLetters) {
  SessionFixture f;
  Type(f.session, "FormMech.charge(1)", "Fe3+");
  Type(f.session, "FormMech.charge(2)", "Fe2+");
  RunMenuItem(f.session, "mnuExperimental");
  FormExpr& expr = f.session.Expr();
  EXPECT_EQ(expr.specie(1).caption, "Fe3+");
  EXPECT_EQ(expr.heter(1).caption, "Fe3++1e=Fe2+");

  Click(f.session, "FormMech.CheckDigital");
  Click(f.session, "FormMech.mech(7)");  // A + ne = B, B = A
  RunMenuItem(f.session, "mnuExperimental");
  EXPECT_EQ(f.session.app.mechanism, 7);
  EXPECT_EQ(expr.specie(1).caption, "A");
  EXPECT_FALSE(expr.specie(3).visible);
  EXPECT_EQ(expr.heter(1).caption, "A+ne=B");
  EXPECT_EQ(expr.homo(1).caption, "B=A");
  EXPECT_FALSE(expr.homo(2).visible);
}

TEST(ChemicalsDialog, PreconcentrationUsesTheValuesShownNow) {
  SessionFixture f;
  Click(f.session, "FormIns.CheckPreCon");  // also gathers D(1) = 1e-5
  Type(f.session, "FormExpr.D(1)", "2e-5");
  ASSERT_EQ(RunMenuItem(f.session, "mnuSimulate"), MenuOutcome::Ran);
  // 1e-3 M times the factor of a planar electrode (1 cm2, 0.01 cm) at D = 2e-5:
  // 1941.6 * 2^(2/3) = 3082.1.
  EXPECT_DOUBLE_EQ(f.session.app.Cinit(2), 3.082);
  EXPECT_DOUBLE_EQ(f.session.app.Cinit(1), 9.996e-4);  // pre-equilibration as before
}

TEST(ReactionScheme, LimitMessagesStopTheCommandAndKeepTheLastScheme) {
  SessionFixture f;
  WriteExampleScheme(f.session);
  ASSERT_EQ(RunMenuItem(f.session, "mnuSimulate"), MenuOutcome::Ran);
  ASSERT_TRUE(f.platform.messages.empty());
  const int points = f.session.curves.pointCount;

  const std::string tooMany = "Error: Species number cannot > 6.";
  Type(f.session, "FormMech.charge(3)", "E");
  Type(f.session, "FormMech.charge(4)", "F");
  Type(f.session, "FormMech.chem(3)", "G");
  Type(f.session, "FormMech.chem(4)", "A");
  Type(f.session, "FormIns.Eend", "-0.5");
  RunMenuItem(f.session, "mnuSimulate");
  EXPECT_EQ(f.platform.messages, std::vector<std::string>{tooMany});
  EXPECT_EQ(f.session.app.speciesCount, 4);
  EXPECT_EQ(f.session.app.chemText(2), "C+A=D+B");
  EXPECT_DOUBLE_EQ(f.session.app.Eend, -0.3);  // the chain stopped at the scheme
  EXPECT_EQ(f.session.curves.pointCount, points);

  f.session.Expr().visible = false;
  RunMenuItem(f.session, "mnuExperimental");
  EXPECT_FALSE(f.session.Expr().visible);
  RunMenuItem(f.session, "mnuMechamism");
  Click(f.session, "FormMech.Command1");
  EXPECT_TRUE(f.session.Mech().visible);  // OK does not hide a scheme it cannot take
  EXPECT_EQ(f.platform.messages, std::vector<std::string>(3, tooMany));

  // Once within the limits again, everything runs on.
  Type(f.session, "FormMech.chem(3)", "E");  // E = A instead of G = A: six species
  Click(f.session, "FormMech.Command1");
  EXPECT_EQ(f.platform.messages.size(), 3u);
  EXPECT_FALSE(f.session.Mech().visible);
  EXPECT_EQ(f.session.app.speciesCount, 6);
  EXPECT_EQ(f.session.app.chemCount, 2);
}

}  // namespace
}  // namespace kivex::ui
