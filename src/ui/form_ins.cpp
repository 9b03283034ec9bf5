#include "ui/form_ins.h"

#include <string>

#include "model/checked_math.h"
#include "model/electrode_table.h"
#include "model/number_format.h"
#include "model/number_text.h"
#include "model/technique_table.h"
#include "ui/commit_chain.h"
#include "ui/file_experiment.h"
#include "ui/form_tech.h"
#include "ui/session.h"

namespace kivex::ui {

namespace {
// "T ( °C)", split so that the degree sign's hex escape stops before the C.
constexpr char kTemperatureCaption[] =
    "T ( \xC2\xB0"
    "C)";

constexpr const char* kInstrument = "FrameInstrument";
constexpr const char* kElectrode = "FrameElectrode";
constexpr const char* kPre = "FramePre";

// `caption` is the label beside the box; empty when a Label control of its own names it.
void SetUpTextBox(Control& box, const char* frame, const char* caption, const char* toolTip,
                  const char* text) {
  box.frame = frame;
  box.caption = caption;
  box.captionVisible = !box.caption.empty();
  box.toolTip = toolTip;
  box.text = text;
}

// The geometry fields and their labels start hidden: the planar electrode needs none of them.
void SetUpGeometryLabel(Control& label, const char* caption) {
  label.frame = kElectrode;
  label.caption = caption;
  label.visible = false;
}
}  // namespace

FormIns::FormIns() : Dialog("FormIns", "Instrument") {
  Add(FrameInstrument, ControlKind::Frame, "FrameInstrument").caption = "Instrumental Parameters";
  SetUpTextBox(Add(Estart, ControlKind::TextBox, "Estart"), kInstrument, "E start (V)",
               "starting potential", "0.3");
  SetUpTextBox(Add(Eend, ControlKind::TextBox, "Eend"), kInstrument, "E end  (V)",
               "ending potential", "-0.3");
  SetUpTextBox(Add(Estep, ControlKind::TextBox, "Estep"), kInstrument, "E step (V)",
               "potential step", "0.005");
  SetUpTextBox(Add(V, ControlKind::TextBox, "V"), kInstrument, "v (V/s)", "scan rate", "0.01");
  SetUpTextBox(Add(tp, ControlKind::TextBox, "tp"), kInstrument, "t pulse (s)", "pulse time width",
               "0.05");
  SetUpTextBox(Add(td, ControlKind::TextBox, "td"), kInstrument, "t drop  (s)", "drop time", "0.5");
  td.locked = true;  // always E step / v
  SetUpTextBox(Add(Epulse, ControlKind::TextBox, "Epulse"), kInstrument, "E pulse (V)",
               "pulse potential", "-0.05");
  SetUpTextBox(Add(txttemp, ControlKind::TextBox, "txttemp"), kInstrument, kTemperatureCaption,
               "temperature", "25");
  SetUpTextBox(Add(Noise, ControlKind::TextBox, "Noise"), kInstrument, "Noise (%)",
               "ratio of noise to maxinum signal", "0");
  SetUpTextBox(Add(Cdl, ControlKind::TextBox, "Cdl"), kInstrument, "C d (F)",
               "double layer capacitor", "0");
  SetUpTextBox(Add(txtRu, ControlKind::TextBox, "txtRu"), kInstrument, "R u", "resistance", "0");
  Control& ohm = Add(lblOhm, ControlKind::Label, "lblOhm");
  ohm.frame = kInstrument;
  ohm.caption = "W";
  ohm.symbolFont = true;
  SetUpTextBox(Add(TextF, ControlKind::TextBox, "TextF"), kInstrument, "f (Hz)", "frequence", "10");
  Control& scan = Add(ComboScan, ControlKind::ComboBox, "ComboScan");
  scan.frame = kInstrument;
  scan.caption = "Scan";
  scan.items = {"single", "cycle", "2 cycles"};
  SetUpTextBox(Add(tQuiet, ControlKind::TextBox, "tQuiet"), kInstrument, "t quiet (s)",
               "quiet time at E start before the scan", "0");
  Control& sign = Add(ComboSign, ControlKind::ComboBox, "ComboSign");
  sign.frame = kInstrument;
  sign.caption = "Current in files";
  sign.toolTip = "how imported files write current";
  sign.items.assign(std::begin(kCurrentSignItems), std::end(kCurrentSignItems));
  Control& fromFile = Add(cmdFromFile, ControlKind::Button, "cmdFromFile");
  fromFile.caption = "From File";
  fromFile.toolTip = "take the experiment the last imported file describes";
  fromFile.enabled = false;  // until an imported file describes one

  Add(FrameElectrode, ControlKind::Frame, "FrameElectrode").caption = "Electrode";
  for (int i = 1; i <= model::kElectrodeCount; ++i) {
    Control& option = Add(optElectrode(i), ControlKind::OptionButton, "optElectrode", i);
    option.caption = model::FindElectrode(static_cast<model::Count>(i))->caption;
    option.frame = kElectrode;
    option.value = (i == 1);
  }
  EnableElectrodesFor(*this, false);
  SetUpTextBox(Add(ARE, ControlKind::TextBox, "ARE"), kElectrode, "Area (cm \xC2\xB2)",
               "electrode area", "1");
  SetUpGeometryLabel(Add(LabelLength, ControlKind::Label, "LabelLength"), "Length (cm)");
  SetUpTextBox(Add(leng, ControlKind::TextBox, "leng"), kElectrode, "",
               "electrode length or film thickness", "0.01");
  leng.visible = false;
  SetUpGeometryLabel(Add(LabelRadius, ControlKind::Label, "LabelRadius"), "Radius (cm)");
  SetUpTextBox(Add(radius, ControlKind::TextBox, "radius"), kElectrode, "", "electrode radius",
               "0.2821");
  radius.visible = false;
  SetUpGeometryLabel(Add(LabelRrate, ControlKind::Label, "LabelRrate"), "Rotation (rpm):");
  SetUpTextBox(Add(TextRrate, ControlKind::TextBox, "TextRrate"), kElectrode, "",
               "electrode rotation rate", "100");
  TextRrate.visible = false;
  SetUpTextBox(Add(TextDis, ControlKind::TextBox, "TextDis"), kElectrode, "Dis (cm)", "Distance",
               "1");

  Add(CheckPreCon, ControlKind::CheckBox, "CheckPreCon").caption = "Preconcentration";
  Add(FramePre, ControlKind::Frame, "FramePre").visible = false;
  SetUpTextBox(Add(txtEPre, ControlKind::TextBox, "txtEPre"), kPre, "E pre (V)",
               "preconcentration potential", "-0.3");
  SetUpTextBox(Add(txtTPre, ControlKind::TextBox, "txtTPre"), kPre, "t pre (s)",
               "preconcentration time", "600");
  SetUpTextBox(Add(txtPconst, ControlKind::TextBox, "txtPconst"), kPre, "P const",
               "electrode constant", "10");
  SetUpTextBox(Add(txtRStir, ControlKind::TextBox, "txtRStir"), kPre, "R stir  (rpm)",
               "stirring rate", "100");

  Add(cmdOK, ControlKind::Button, "cmdOK").caption = "OK";
  Load();
}

void FormIns::Load() {
  ComboScan.Choose(0);
  ComboSign.Choose(0);
}

}  // namespace kivex::ui

namespace kivex::ui {

namespace {

// Times are durations: a step or scan rate typed with a minus sign (the commit stores both as
// magnitudes) must not give a negative drop time or pulse width.
std::optional<std::string> QuotientText(std::string_view numerator, std::string_view denominator) {
  const std::optional<double> a = model::ParseNumber(numerator);
  const std::optional<double> b = model::ParseNumber(denominator);
  if (!a || !b || *b == 0.0) return std::nullopt;
  const double quotient = std::fabs(*a / *b);
  if (!std::isfinite(quotient)) return std::nullopt;
  return model::ShortestText(quotient);
}

void Show(bool shown, std::initializer_list<Control*> controls) {
  for (Control* control : controls) control->visible = shown;
}

}  // namespace

io::CurrentSign ChosenCurrentSign(const FormIns& ins) {
  switch (ins.ComboSign.listIndex) {
    case 1: return io::CurrentSign::OxidationPositive;
    case 2: return io::CurrentSign::ReductionPositive;
    default: return io::CurrentSign::FromFile;
  }
}

std::optional<std::string> DropTimeText(std::string_view Estep, std::string_view V) {
  return QuotientText(Estep, V);
}

std::optional<std::string> PulseWidthText(std::string_view frequency) {
  return QuotientText("0.5", frequency);  // half the period
}

void FormIns::Changed(Session& session, Control& control) {
  if (&control == &Estep || &control == &V) {
    if (std::optional<std::string> text = DropTimeText(Estep.text, V.text)) td.text = *text;
  } else if (&control == &TextF) {
    if (std::optional<std::string> text = PulseWidthText(TextF.text)) tp.text = *text;
  } else if (&control == &radius || &control == &leng) {
    RadiusChange(session);
  }
}

void FormIns::Clicked(Session& session, Control& control) {
  if (control.name == "optElectrode") {
    ElectrodeClick(session, control.index);
  } else if (&control == &CheckPreCon) {
    // The click flips the frame whatever the tick, then commits everything.
    FramePre.visible = !FramePre.visible;
    CommitShowingMessage(session, GatherParameters);
  } else if (&control == &cmdFromFile) {
    TakeFileExperiment(session);
  } else if (&control == &cmdOK) {
    OkClicked(session);
  }
}

// The fields follow the technique chosen in the Techniques dialog now, which the next commit
// stores.
void FormIns::Activated(Session& session) {
  ShowFieldsForTechnique(*this, SelectedTechnique(session.Tech()));
}

void FormIns::OkClicked(Session& session) {
  if (CommitShowingMessage(session, InstrumentOK)) visible = false;
}

void ShowFieldsForTechnique(FormIns& ins, int technique) {
  // Only the entry fields change; their captions stay.
  const model::TechniqueTraits* row = model::FindTechnique(static_cast<model::Count>(technique));
  if (row == nullptr) return;
  Show(row->scanRate, {&ins.V});
  Show(row->pulse, {&ins.tp, &ins.Epulse});
  Show(row->frequency, {&ins.TextF});
  if (row->pulse) ins.tp.enabled = !row->frequency;  // a frequency fills it
}

void EnableElectrodesFor(FormIns& ins, bool digital) {
  for (int i = 1; i <= model::kElectrodeCount; ++i) {
    ins.optElectrode(i).enabled =
        !digital || model::FindElectrode(static_cast<model::Count>(i))->digital;
  }
}

void InstrumentLoaded(Session& session, FormIns& ins) {
  EnableElectrodesFor(ins, session.app.digital);
  ins.cmdFromFile.enabled = session.fileExperiment.has_value();
}

void ElectrodeClick(Session& session, int i) {
  session.app.electrode = static_cast<model::Count>(i);
  FormIns& ins = session.Ins();
  const model::ElectrodeTraits* row = model::FindElectrode(static_cast<model::Count>(i));
  if (row == nullptr) return;
  Show(row->length != model::LengthBox::None, {&ins.leng, &ins.LabelLength});
  Show(row->size != model::SizeBox::None, {&ins.radius, &ins.LabelRadius});
  Show(row->rotates, {&ins.TextRrate, &ins.LabelRrate});
  ins.ARE.enabled = row->area == nullptr;  // the others are computed
  ins.LabelRadius.caption = row->size == model::SizeBox::Width ? "Width (cm)" : "Radius (cm)";
  ins.LabelLength.caption =
      row->length == model::LengthBox::Thickness ? "Thick (cm)" : "Length (cm)";
  RadiusChange(session);
}

}  // namespace kivex::ui
