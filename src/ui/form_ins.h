#pragma once
// The Instrument dialog: the potential programme, the measurement settings, the electrode
// geometry and the preconcentration settings.
//
// A text box's `caption` is the label beside it, except for `leng`, `radius` and `TextRrate`:
// their labels change with the electrode and hide with their boxes, so they are the Label
// controls `LabelLength`, `LabelRadius` and `LabelRrate`, and the boxes carry no caption.

#include <optional>
#include <string>
#include <string_view>

#include "io/curve_file.h"
#include "model/electrode_table.h"
#include "ui/dialog.h"

namespace kivex::ui {

class FormIns : public Dialog {
 public:
  FormIns();

  Control FrameInstrument;  // "Instrumental Parameters"
  Control Estart;
  Control Eend;
  Control Estep;
  Control V;   // scan rate
  Control tp;  // pulse width
  Control td;  // drop time, filled by the dialog and locked
  Control Epulse;
  Control txttemp;  // degrees Celsius
  Control Noise;
  Control Cdl;
  Control txtRu;      // caption "R u", followed by lblOhm
  Control lblOhm;     // "W" in the symbol font: the ohm sign
  Control TextF;      // square-wave frequency, only used to fill tp
  Control ComboScan;  // "single", "cycle", "2 cycles"
  Control tQuiet;     // quiet time at E start before the programme
  // How the files the user imports write current (kCurrentSignItems): what their format says,
  // or oxidation or reduction positive.
  Control ComboSign;
  Control cmdFromFile;  // takes the experiment the last imported file describes

  Control FrameElectrode;                                // "Electrode"
  ControlArray<1, model::kElectrodeCount> optElectrode;  // some greyed out while digital
  Control ARE;                                           // area
  Control LabelLength;                                   // "Length (cm)" or "Thick (cm)"
  Control leng;
  Control LabelRadius;  // "Radius (cm)" or "Width (cm)"
  Control radius;
  Control LabelRrate;  // "Rotation (rpm):"
  Control TextRrate;
  Control TextDis;  // electrode distance

  Control CheckPreCon;  // "Preconcentration", unticked
  Control FramePre;     // the preconcentration settings, hidden at start
  Control txtEPre;
  Control txtTPre;
  Control txtPconst;
  Control txtRStir;
  Control cmdOK;

  void Changed(Session& session, Control& control) override;
  void Clicked(Session& session, Control& control) override;
  void Activated(Session& session) override;
  void OkClicked(Session& session) override;

 private:
  // Runs once when the dialog is created: the scan list shows "single".
  void Load();
};

// The dialog was created: the rotating disk and the thin film are available only while
// analytical simulation is chosen.
void InstrumentLoaded(Session& session, FormIns& ins);

// Electrode option i clicked: `electrode` = i, the geometry boxes and labels it needs, then the
// geometry step.
void ElectrodeClick(Session& session, int i);

// The fields the technique uses (scan rate; pulse width, pulse height; frequency).
void ShowFieldsForTechnique(FormIns& ins, int technique);

// Greys out the electrodes the digital route does not serve while it is chosen.
void EnableElectrodesFor(FormIns& ins, bool digital);

// The entries of ComboSign, in order: what a recognised instrument format says (a plain file's
// current is taken as it stands), oxidation current positive, reduction current positive.
inline constexpr const char* kCurrentSignItems[] = {"as the format says", "oxidation positive",
                                                    "reduction positive"};

// How the files the user imports write current, as ComboSign says.
io::CurrentSign ChosenCurrentSign(const FormIns& ins);

// Every area the dialog computes is shown in this pattern, three significant digits at most; the
// experiment uses the area at full precision.
inline constexpr std::string_view kAreaPattern = "0.##e-0";

// The drop time E step / v and the pulse width 0.5 / f while the user types, as the shortest
// text that reads back as the same number; nothing when a field is not a number as a whole or
// the quotient cannot be formed (the derived field then keeps its text).
std::optional<std::string> DropTimeText(std::string_view Estep, std::string_view V);
std::optional<std::string> PulseWidthText(std::string_view frequency);

}  // namespace kivex::ui
