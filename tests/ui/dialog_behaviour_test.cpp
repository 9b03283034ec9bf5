// What the four parameter dialogs do when the user types, clicks and chooses, driven through the
// same calls as the window and scripts.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "model/app_state.h"
#include "model/number_text.h"
#include "support/test_platform.h"
#include "ui/commands.h"
#include "ui/commit_chain.h"
#include "ui/form_expr.h"
#include "ui/form_ins.h"
#include "ui/form_mech.h"
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

void Choose(Session& session, std::string_view reference, std::string_view item) {
  const ControlAddress address = ResolveControl(session, reference);
  ChooseItem(session, *address.dialog, *address.control, item);
}

bool TheoreticalPeakEnabled(const Session& session) {
  return session.menu.Find("mnuTheoPeak")->enabled;
}

// A + 2e = B, B = C, C + A = D + B.
void WriteExampleScheme(Session& session) {
  Choose(session, "FormMech.NEL(1)", "2");
  Type(session, "FormMech.chem(1)", "B");
  Type(session, "FormMech.chem(2)", "C");
  Type(session, "FormMech.chem2(1)", "C");
  Type(session, "FormMech.chem2(2)", "A");
  Type(session, "FormMech.chem2(3)", "D");
  Type(session, "FormMech.chem2(4)", "B");
}

TEST(MechanismDialog, DigitalClickSwitchesTheWholeProgramsMode) {
  SessionFixture f;
  FormMech& mech = f.session.Mech();
  EXPECT_FALSE(TheoreticalPeakEnabled(f.session));
  EXPECT_FALSE(f.session.IsLoaded("FormIns"));

  Click(f.session, "FormMech.CheckDigital");
  EXPECT_FALSE(f.session.app.digital);
  EXPECT_TRUE(mech.Frame1.visible);
  EXPECT_FALSE(mech.Frame2.visible);
  EXPECT_TRUE(TheoreticalPeakEnabled(f.session));
  ASSERT_TRUE(f.session.IsLoaded("FormIns"));  // created to free its electrodes 8 and 9
  Click(f.session, "FormIns.optElectrode(8)");
  EXPECT_EQ(f.session.app.electrode, 8);

  Click(f.session, "FormMech.CheckDigital");
  EXPECT_TRUE(f.session.app.digital);
  EXPECT_FALSE(mech.Frame1.visible);
  EXPECT_TRUE(mech.Frame2.visible);
  EXPECT_FALSE(TheoreticalPeakEnabled(f.session));
  EXPECT_FALSE(f.session.Ins().optElectrode(8).enabled);
  EXPECT_FALSE(f.session.Ins().optElectrode(9).enabled);
  // The selection does not move.
  EXPECT_TRUE(f.session.Ins().optElectrode(8).value);
  EXPECT_EQ(f.session.app.electrode, 8);
  // Only mechanisms 1, 4 and 7 can be chosen.
  EXPECT_THROW(Click(f.session, "FormMech.mech(5)"), InteractionError);
}

TEST(Dialogs, CloseBoxBringsADialogAndWhatMirrorsItBackToItsDefaults) {
  SessionFixture f;
  Click(f.session, "FormMech.CheckDigital");  // analytical
  Click(f.session, "FormMech.mech(4)");
  Click(f.session, "FormIns.optElectrode(7)");
  f.session.CloseDialog("FormMech");
  EXPECT_TRUE(f.session.Mech().CheckDigital.value);
  EXPECT_TRUE(f.session.Mech().mech(1).value);
  EXPECT_TRUE(f.session.app.digital);  // the mode follows the box it comes back with
  EXPECT_FALSE(TheoreticalPeakEnabled(f.session));
  EXPECT_FALSE(f.session.Ins().optElectrode(9).enabled);

  f.session.CloseDialog("FormIns");
  EXPECT_EQ(f.session.app.electrode, 1);  // the planar electrode is selected again
  InstrumentOK(f.session);
  EXPECT_DOUBLE_EQ(f.session.app.radius, 0.2821);  // not divided as a band width
  EXPECT_DOUBLE_EQ(f.session.app.area, 1.0);

  // Back in analytical mode, a re-created Instrument dialog offers electrodes 8 and 9.
  Click(f.session, "FormMech.CheckDigital");
  f.session.CloseDialog("FormIns");
  EXPECT_TRUE(f.session.Ins().optElectrode(8).enabled);

  Type(f.session, "FormExpr.C(1)", "5e-3");
  f.session.CloseDialog("FormExpr");
  ChemicalsOK(f.session);
  EXPECT_DOUBLE_EQ(f.session.app.Cinit(1), 9.996e-4);
}

TEST(InstrumentDialog, DropTimeAndPulseWidthFollowTheTypedFieldsStrictly) {
  EXPECT_EQ(DropTimeText("0.005", "0.01"), "0.5");
  // A minus sign typed in either box does not make a negative duration.
  EXPECT_EQ(DropTimeText("-0.004", " 0.02 "), "0.2");
  EXPECT_EQ(PulseWidthText("-25"), "0.02");
  EXPECT_EQ(DropTimeText("0.005", "0"), std::nullopt);
  EXPECT_EQ(DropTimeText("5 mV", "0.01"), std::nullopt);
  EXPECT_EQ(DropTimeText("1e300", "1e-300"), std::nullopt);
  EXPECT_EQ(PulseWidthText("25"), "0.02");
  EXPECT_EQ(PulseWidthText("3"), "0.16666666666666666");  // reads back as the same number
  EXPECT_EQ(PulseWidthText(""), std::nullopt);

  SessionFixture f;
  FormIns& ins = f.session.Ins();
  Type(f.session, "FormIns.V", "0.02");
  EXPECT_EQ(ins.td.text, "0.25");
  Type(f.session, "FormIns.Estep", "0.0o2");
  EXPECT_EQ(ins.td.text, "0.25");
  Type(f.session, "FormIns.Estep", "0.002");
  EXPECT_EQ(ins.td.text, "0.1");
  Type(f.session, "FormIns.TextF", "25");
  EXPECT_EQ(ins.tp.text, "0.02");
  Type(f.session, "FormIns.TextF", "0");
  EXPECT_EQ(ins.tp.text, "0.02");
}

TEST(InstrumentDialog, ActivationShowsTheFieldsOfTheChosenTechnique) {
  SessionFixture f;
  FormIns& ins = f.session.Ins();
  struct Case {
    const char* option;
    bool V, TextF, tp, tpEditable, Epulse;
  };
  const Case cases[] = {{"FormTech.optTech(5)", false, true, true, false, true},
                        {"FormTech.optTech(1)", true, false, false, true, false},
                        {"FormTech.optTech(4)", true, false, true, true, true},
                        {"FormTech.optTech(2)", true, false, false, true, false},
                        {"FormTech.optTech(3)", true, false, true, true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.option);
    Click(f.session, c.option);
    ASSERT_EQ(RunMenuItem(f.session, "mnuInstrument"), MenuOutcome::Ran);
    EXPECT_EQ(ins.V.visible, c.V);
    EXPECT_EQ(ins.TextF.visible, c.TextF);
    EXPECT_EQ(ins.tp.visible, c.tp);
    if (c.tp) {
      EXPECT_EQ(ins.tp.enabled, c.tpEditable);
    }
    EXPECT_EQ(ins.Epulse.visible, c.Epulse);
    EXPECT_TRUE(ins.V.captionVisible);
  }
}

TEST(InstrumentDialog, ElectrodeClickShowsTheGeometryItNeeds) {
  SessionFixture f;
  Click(f.session, "FormMech.CheckDigital");  // all nine electrodes available
  FormIns& ins = f.session.Ins();
  struct Case {
    bool length, radius, areaEditable, rotation;
    const char* radiusLabel;
    const char* lengthLabel;
  };
  const Case cases[] = {
      {false, false, true, false, "Radius (cm)", "Length (cm)"},
      {false, true, false, false, "Radius (cm)", "Length (cm)"},
      {false, true, false, false, "Radius (cm)", "Length (cm)"},
      {false, true, false, false, "Radius (cm)", "Length (cm)"},
      {true, true, false, false, "Radius (cm)", "Length (cm)"},
      {true, true, false, false, "Radius (cm)", "Length (cm)"},
      {true, true, false, false, "Width (cm)", "Length (cm)"},
      {false, true, false, true, "Radius (cm)", "Length (cm)"},
      {true, false, true, false, "Radius (cm)", "Thick (cm)"},
  };
  for (int i = 1; i <= 9; ++i) {
    SCOPED_TRACE(i);
    const Case& c = cases[i - 1];
    Click(f.session, "FormIns.optElectrode(" + std::to_string(i) + ")");
    EXPECT_EQ(f.session.app.electrode, i);
    EXPECT_EQ(ins.leng.visible, c.length);
    EXPECT_EQ(ins.LabelLength.visible, c.length);
    EXPECT_EQ(ins.radius.visible, c.radius);
    EXPECT_EQ(ins.LabelRadius.visible, c.radius);
    EXPECT_EQ(ins.ARE.enabled, c.areaEditable);
    EXPECT_EQ(ins.TextRrate.visible, c.rotation);
    EXPECT_EQ(ins.LabelRrate.visible, c.rotation);
    EXPECT_EQ(ins.LabelRadius.caption, c.radiusLabel);
    EXPECT_EQ(ins.LabelLength.caption, c.lengthLabel);
  }
}

TEST(InstrumentDialog, SphericalAndBandAreasAreComputedAndReadBack) {
  SessionFixture f;
  FormIns& ins = f.session.Ins();
  InstrumentOK(f.session);  // commits the radius the volume uses
  Click(f.session, "FormIns.optElectrode(2)");
  EXPECT_EQ(ins.ARE.text, "1.e0");
  EXPECT_DOUBLE_EQ(f.session.app.area, 1.0);  // 1.00004 read back as shown
  EXPECT_NEAR(f.session.app.electrodeVolume, 4.0 * model::kPi * 0.2821 * 0.2821 * 0.2821 / 3.0,
              1e-15);

  Click(f.session, "FormIns.optElectrode(7)");
  Type(f.session, "FormIns.radius", "0.01");
  Type(f.session, "FormIns.leng", "0.1");
  EXPECT_EQ(ins.ARE.text, "1.e-3");
  EXPECT_THROW(Type(f.session, "FormIns.ARE", "2"), InteractionError);  // computed, greyed
  Click(f.session, "FormIns.cmdOK");
  EXPECT_FALSE(ins.visible);
  EXPECT_DOUBLE_EQ(f.session.app.radius, 0.0025);
  EXPECT_DOUBLE_EQ(f.session.app.area, 1e-3);
  EXPECT_DOUBLE_EQ(f.session.app.length, 0.1);
}

TEST(InstrumentDialog, OkWithAStepThatIsNotANumberSaysSoAndStaysOpen) {
  SessionFixture f;
  RunMenuItem(f.session, "mnuInstrument");
  FormIns& ins = f.session.Ins();
  Type(f.session, "FormIns.V", "ten mV/s");
  Click(f.session, "FormIns.cmdOK");
  ASSERT_EQ(f.platform.messages.size(), 1u);
  EXPECT_EQ(f.platform.messages[0],
            "v (V/s): \"ten mV/s\" is not a number. Please correct it in the Instrument dialog.");
  EXPECT_TRUE(ins.visible);
  EXPECT_FALSE(f.session.app.committed);

  // The preconcentration box flips its frame each click and commits what it can.
  Click(f.session, "FormIns.CheckPreCon");
  EXPECT_TRUE(ins.FramePre.visible);
  EXPECT_EQ(f.platform.messages.size(), 2u);  // the same complaint, no crash
  Type(f.session, "FormIns.V", "0.01");
  Click(f.session, "FormIns.CheckPreCon");
  EXPECT_FALSE(ins.FramePre.visible);
  EXPECT_TRUE(f.session.app.committed);
  EXPECT_DOUBLE_EQ(f.session.app.viscosity, 0.01);  // the whole chain ran
}

TEST(ChemicalsDialog, DefaultSchemeIsPreEquilibratedAtTheStartingPotential) {
  SessionFixture f;
  ASSERT_EQ(RunMenuItem(f.session, "mnuSimulate"), MenuOutcome::Ran);
  EXPECT_DOUBLE_EQ(f.session.app.Cinit(1), 9.996e-4);
  EXPECT_DOUBLE_EQ(f.session.app.Cinit(2), 4.159e-7);
  FormExpr& expr = f.session.Expr();
  EXPECT_EQ(expr.heter(1).caption, "A+1e=B");
  EXPECT_FALSE(expr.specie(3).visible);
  EXPECT_FALSE(expr.Eze(2).visible);
  EXPECT_FALSE(expr.kf(1).visible);

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

TEST(ChemicalsDialog, UserSchemeLaysOutItsRowsAndEquilibria) {
  SessionFixture f;
  WriteExampleScheme(f.session);
  ASSERT_EQ(RunMenuItem(f.session, "mnuExperimental"), MenuOutcome::Ran);
  FormExpr& expr = f.session.Expr();
  EXPECT_TRUE(expr.visible);
  const char* names[] = {"A", "B", "C", "D"};
  for (int i = 1; i <= 6; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(expr.C(i).visible, i <= 4);
    EXPECT_EQ(expr.Cinit(i).visible, i <= 4);
    EXPECT_EQ(expr.Cond(i - 1).visible, i <= 4);
    EXPECT_EQ(expr.CheckFitted(i).visible, i <= 4);
    if (i <= 4) {
      EXPECT_EQ(expr.specie(i).caption, names[i - 1]);
    }
  }
  EXPECT_TRUE(expr.TextCmin(1).visible);  // ticked and shown
  EXPECT_EQ(expr.heter(1).caption, "A+2e=B");
  EXPECT_FALSE(expr.heter(2).visible);
  EXPECT_FALSE(expr.CheckFitted(8).visible);  // ks of charge reaction 2
  EXPECT_EQ(expr.homo(1).caption, "B=C");
  EXPECT_EQ(expr.homo(2).caption, "C+A=D+B");
  EXPECT_FALSE(expr.homo(3).visible);
  EXPECT_TRUE(expr.CheckFitted(21).visible);  // kb of chemical reaction 2
  EXPECT_EQ(expr.LabelKeq(1).caption, "1.e3");
  EXPECT_EQ(expr.LabelKeq(2).caption, "1.e3");

  // With C present the exchange C + A = D + B runs far to the right (K = 1000).
  Type(f.session, "FormExpr.C(3)", "1e-4");
  const double A = model::ReadNumber(expr.Cinit(1).caption);
  const double B = model::ReadNumber(expr.Cinit(2).caption);
  const double C = model::ReadNumber(expr.Cinit(3).caption);
  const double D = model::ReadNumber(expr.Cinit(4).caption);
  EXPECT_NEAR(A + B + C + D, 1.1e-3, 2e-7);  // every step conserves the sum, to the digits shown
  EXPECT_NEAR(D * B, 1000.0 * C * A, 1e-2 * D * B);

  // The Keq label follows kf / kb and recomputes the concentrations; kb of 0 leaves it.
  Type(f.session, "FormExpr.kb(2)", "10");
  EXPECT_EQ(expr.LabelKeq(2).caption, "1.e0");
  EXPECT_NE(model::ReadNumber(expr.Cinit(4).caption), D);
  Type(f.session, "FormExpr.kb(2)", "0");
  EXPECT_EQ(expr.LabelKeq(2).caption, "1.e0");

  Click(f.session, "FormExpr.CheckFitted(2)");
  EXPECT_TRUE(expr.TextCmin(2).visible);
  EXPECT_TRUE(expr.TextCmax(2).visible);
  Click(f.session, "FormExpr.CheckFitted(2)");
  EXPECT_FALSE(expr.TextCmax(2).visible);
}

TEST(ChemicalsDialog, FixedMechanismShowsItsLettersAndLabels) {
  SessionFixture f;
  WriteExampleScheme(f.session);
  Type(f.session, "FormMech.charge(1)", "Fe3+");  // a digital activation names the rows
  Type(f.session, "FormMech.chem2(2)", "Fe3+");
  RunMenuItem(f.session, "mnuExperimental");
  FormExpr& expr = f.session.Expr();
  EXPECT_EQ(expr.specie(1).caption, "Fe3+");

  Click(f.session, "FormMech.CheckDigital");
  f.session.Mech().mech(1).value = false;  // mechanism 5 is greyed for users; the tables hold it
  f.session.Mech().mech(5).value = true;
  Choose(f.session, "FormMech.NEL(1)", "1");
  RunMenuItem(f.session, "mnuExperimental");
  EXPECT_EQ(f.session.app.mechanism, 5);
  EXPECT_EQ(expr.specie(1).caption, "A");
  EXPECT_EQ(expr.specie(3).caption, "C");
  EXPECT_FALSE(expr.specie(4).visible);
  EXPECT_EQ(expr.heter(1).caption, "A+ne=B");
  EXPECT_EQ(expr.homo(1).caption, "C=A");
  EXPECT_FALSE(expr.homo(2).visible);
  EXPECT_EQ(expr.LabelKeq(1).caption, "1.e3");
  EXPECT_EQ(expr.Cinit(1).caption, "9.986e-4");
  EXPECT_EQ(expr.Cinit(2).caption, "4.159e-7");
  EXPECT_EQ(expr.Cinit(3).caption, "9.986e-7");
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

  Type(f.session, "FormMech.charge(3)", "E");
  Type(f.session, "FormMech.charge(4)", "F");
  Type(f.session, "FormMech.chem(3)", "G");
  Type(f.session, "FormMech.chem(4)", "A");
  Type(f.session, "FormIns.Eend", "-0.5");
  RunMenuItem(f.session, "mnuSimulate");
  ASSERT_EQ(f.platform.messages.size(), 1u);
  EXPECT_EQ(f.platform.messages[0], "Error: Species number cannot > 6.");
  EXPECT_EQ(f.session.app.speciesCount, 4);
  EXPECT_EQ(f.session.app.chemText(2), "C+A=D+B");
  EXPECT_DOUBLE_EQ(f.session.app.Eend, -0.3);  // the chain stopped at the scheme
  EXPECT_EQ(f.session.curves.pointCount, points);

  f.session.Expr().visible = false;
  RunMenuItem(f.session, "mnuExperimental");
  EXPECT_EQ(f.platform.messages.size(), 2u);
  EXPECT_FALSE(f.session.Expr().visible);
  RunMenuItem(f.session, "mnuMechamism");
  Click(f.session, "FormMech.Command1");
  EXPECT_TRUE(f.session.Mech().visible);  // OK does not hide a scheme it cannot take
  EXPECT_EQ(f.platform.messages.size(), 3u);
  EXPECT_EQ(f.platform.messages[2], "Error: Species number cannot > 6.");

  // Once within the limits again, everything runs on.
  const std::size_t messages = f.platform.messages.size();
  Type(f.session, "FormMech.chem(3)", "E");  // E = A instead of G = A: six species
  Click(f.session, "FormMech.Command1");
  EXPECT_EQ(f.platform.messages.size(), messages);
  EXPECT_FALSE(f.session.Mech().visible);
  EXPECT_EQ(f.session.app.speciesCount, 6);
  EXPECT_EQ(f.session.app.chemCount, 2);
}

}  // namespace
}  // namespace kivex::ui
