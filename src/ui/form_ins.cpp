#include "ui/form_ins.h"

#include <string>

namespace kivex::ui {

namespace {
constexpr const char* kElectrodeCaptions[] = {
    "1)  Planar",    "2)  (Micro)Spherical",   "3)  (Micro)Hemispherical",
    "4)  Microdisc", "5)  (Micro)Cylindrical", "6)  (Micro)Hemicylindrical",
    "7)  Band",      "8)  Rotating disk",      "9)  Thin film"};

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

  Add(FrameElectrode, ControlKind::Frame, "FrameElectrode").caption = "Electrode";
  for (int i = 1; i <= 9; ++i) {
    Control& option = Add(optElectrode(i), ControlKind::OptionButton, "optElectrode", i);
    option.caption = kElectrodeCaptions[i - 1];
    option.frame = kElectrode;
    option.value = (i == 1);
    option.enabled = (i < 8);  // rotating disk and thin film: analytical simulation only
  }
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

void FormIns::Load() { ComboScan.Choose(0); }

}  // namespace kivex::ui
