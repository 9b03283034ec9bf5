#pragma once
// The Instrument dialog: the potential programme, the measurement settings, the electrode
// geometry and the preconcentration settings.
//
// A text box's `caption` is the label beside it, except for `leng`, `radius` and `TextRrate`:
// their labels change with the electrode and hide with their boxes, so they are the Label
// controls `LabelLength`, `LabelRadius` and `LabelRrate`, and the boxes carry no caption.

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

  Control FrameElectrode;           // "Electrode"
  ControlArray<1, 9> optElectrode;  // 8 and 9 greyed out while digital simulation is chosen
  Control ARE;                      // area
  Control LabelLength;              // "Length (cm)" or "Thick (cm)"
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

 private:
  // Runs once when the dialog is created: the scan list shows "single".
  void Load();
};

}  // namespace kivex::ui
