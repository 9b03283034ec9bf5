#include "ui/form_mech.h"

#include <iterator>
#include <string>

#include "model/selections.h"
#include "ui/commit_chain.h"
#include "ui/form_ins.h"
#include "ui/session.h"

namespace kivex::ui {

namespace {
constexpr const char* kMechanismCaptions[] = {"1)  A + ne = B",
                                              "2)  A + ne = B, B + ne = C",
                                              "3)  A + ne = B, B + ne = C, C + ne = D",
                                              "4)  A + ne = B, C + ne = D",
                                              "5)  C = A, A + ne = B",
                                              "6)  A + ne = B, B = C",
                                              "7)  A + ne = B, B = A",
                                              "8)  C = A + pD, A + ne = B"};
constexpr const char* kMechanismToolTips[] = {
    "simple charge reaction",         "2-step charge reaction",  "3-step charge reaction",
    "multicompoment charge reaction", "preceding (CE) reaction", "following (EC) reaction",
    "catalytic (EC') reaction",       "complex reaction"};
// The other mechanisms are listed but greyed out.
constexpr bool kMechanismChoosable[] = {true, false, false, true, false, false, true, false};

constexpr const char* kEditor = "Frame2";

// A box of the scheme editor; it has no label of its own, the row's signs stand between boxes.
void SetUpBox(Control& box) {
  box.frame = kEditor;
  box.captionVisible = false;
}

void SetUpLabel(Control& label, const char* caption) {
  label.frame = kEditor;
  label.caption = caption;
}
}  // namespace

FormMech::FormMech() : Dialog("FormMech", "Mechanism") {
  Control& digital = Add(CheckDigital, ControlKind::CheckBox, "CheckDigital");
  digital.caption = "Digital simulation";
  digital.value = true;
  Control& accuracy = Add(ComboAccuracy, ControlKind::ComboBox, "ComboAccuracy");
  accuracy.caption = "Accuracy";
  accuracy.toolTip = "grid of the digital simulation: finer converges, and takes longer";
  accuracy.items.assign(std::begin(model::kAccuracyNames), std::end(model::kAccuracyNames));

  Control& analytical = Add(Frame1, ControlKind::Frame, "Frame1");
  analytical.caption = "Analytical Simulation";
  analytical.visible = false;
  for (int i = 1; i <= 8; ++i) {
    Control& option = Add(mech(i), ControlKind::OptionButton, "mech", i);
    option.caption = kMechanismCaptions[i - 1];
    option.toolTip = kMechanismToolTips[i - 1];
    option.frame = "Frame1";
    option.value = (i == 1);
    option.enabled = kMechanismChoosable[i - 1];
  }

  Add(Frame2, ControlKind::Frame, "Frame2");
  SetUpLabel(Add(lblChargeReaction, ControlKind::Label, "lblChargeReaction"), "Charge reaction");
  for (int r = 1; r <= 3; ++r) {
    SetUpBox(Add(charge(2 * r - 1), ControlKind::TextBox, "charge", 2 * r - 1));
    SetUpLabel(Add(lblPlus(r), ControlKind::Label, "lblPlus", r), "+");
    Control& electrons = Add(NEL(r), ControlKind::ComboBox, "NEL", r);
    SetUpBox(electrons);
    electrons.items = {"1", "2", "3"};
    SetUpLabel(Add(lblElectrons(r), ControlKind::Label, "lblElectrons", r), " e =");
    SetUpBox(Add(charge(2 * r), ControlKind::TextBox, "charge", 2 * r));
  }
  charge(1).text = "A";
  charge(2).text = "B";
  NEL(1).toolTip = "electron number";

  SetUpLabel(Add(lblChemicalReaction, ControlKind::Label, "lblChemicalReaction"),
             "Chemical reaction");
  for (int k = 1; k <= 4; ++k) {
    SetUpBox(Add(chem(2 * k - 1), ControlKind::TextBox, "chem", 2 * k - 1));
    SetUpLabel(Add(lblEquals(k), ControlKind::Label, "lblEquals", k), "=");
    SetUpBox(Add(chem(2 * k), ControlKind::TextBox, "chem", 2 * k));
  }
  for (int j = 1; j <= 3; ++j) {
    SetUpBox(Add(chem2(4 * j - 3), ControlKind::TextBox, "chem2", 4 * j - 3));
    SetUpLabel(Add(lblPlus2(2 * j - 1), ControlKind::Label, "lblPlus2", 2 * j - 1), " +");
    SetUpBox(Add(chem2(4 * j - 2), ControlKind::TextBox, "chem2", 4 * j - 2));
    SetUpLabel(Add(lblEquals2(j), ControlKind::Label, "lblEquals2", j), "=");
    SetUpBox(Add(chem2(4 * j - 1), ControlKind::TextBox, "chem2", 4 * j - 1));
    SetUpLabel(Add(lblPlus2(2 * j), ControlKind::Label, "lblPlus2", 2 * j), " +");
    SetUpBox(Add(chem2(4 * j), ControlKind::TextBox, "chem2", 4 * j));
  }

  Add(Command1, ControlKind::Button, "Command1").caption = "OK";
  Load();
}

void FormMech::Load() {
  for (int r = 1; r <= 3; ++r) NEL(r).Choose(0);
  ComboAccuracy.Choose(0);
}

}  // namespace kivex::ui

namespace kivex::ui {

void FormMech::Clicked(Session& session, Control& control) {
  if (&control == &CheckDigital) {
    DigitalClick(session);
  } else if (&control == &Command1) {
    OkClicked(session);
  }
}

void FormMech::OkClicked(Session& session) {
  if (CommitShowingMessage(session, MechanismOK)) visible = false;
}

void DigitalClick(Session& session) { ApplySimulationMode(session, session.Mech(), true); }

void ApplySimulationMode(Session& session, FormMech& mech, bool createInstrument) {
  const bool digital = mech.CheckDigital.value;
  session.menu.Enable("mnuTheoPeak", !digital);
  mech.Frame1.visible = !digital;
  mech.Frame2.visible = digital;
  mech.ComboAccuracy.enabled = digital;
  session.app.digital = digital;
  // The electrode selection stays as it is, even a rotating disk in digital mode.
  if (createInstrument || session.IsLoaded("FormIns")) {
    FormIns& ins = session.Ins();
    EnableElectrodesFor(ins, digital);
  }
}

}  // namespace kivex::ui
