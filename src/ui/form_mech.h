#pragma once
// The Mechanism dialog: analytical simulation of one of eight fixed mechanisms, or digital
// simulation of a reaction scheme that the user writes with free species names.
//
// The scheme editor lays its boxes out in rows, the fixed signs between them being labels:
//   charge row r (1..3):      charge(2r-1) lblPlus(r) NEL(r) lblElectrons(r) charge(2r)
//   chemical row k (1..4):    chem(2k-1) lblEquals(k) chem(2k)
//   two-species row j (1..3): chem2(4j-3) lblPlus2(2j-1) chem2(4j-2) lblEquals2(j)
//                             chem2(4j-1) lblPlus2(2j) chem2(4j)

#include "ui/dialog.h"

namespace kivex::ui {

class FormMech : public Dialog {
 public:
  FormMech();

  Control CheckDigital;             // "Digital simulation", ticked
  Control ComboAccuracy;            // "standard", "fine", "finest" digital grids
  Control Frame1;                   // "Analytical Simulation", hidden while digital
  ControlArray<1, 8> mech;          // the fixed mechanisms; only 1, 4 and 7 can be chosen
  Control Frame2;                   // the scheme editor, no caption
  Control lblChargeReaction;        // "Charge reaction"
  ControlArray<1, 6> charge;        // ox and red of each charge row: "A", "B", rest empty
  ControlArray<1, 3> lblPlus;       // "+"
  ControlArray<1, 3> NEL;           // electron number "1".."3"
  ControlArray<1, 3> lblElectrons;  // " e ="
  Control lblChemicalReaction;      // "Chemical reaction"
  ControlArray<1, 8> chem;          // X = Y rows
  ControlArray<1, 4> lblEquals;     // "="
  ControlArray<1, 12> chem2;        // X1 + X2 = Y1 + Y2 rows
  ControlArray<1, 6> lblPlus2;      // " +"
  ControlArray<1, 3> lblEquals2;    // "="
  Control Command1;                 // "OK"

  void Clicked(Session& session, Control& control) override;
  void OkClicked(Session& session) override;

 private:
  // Runs once when the dialog is created: every electron-number list shows "1".
  void Load();
};

// The digital box clicked: analytical or digital mode for the whole program (below).
void DigitalClick(Session& session);

// The simulation mode follows the box: `digital`, the editor shown and the mechanism list
// hidden in digital mode (the reverse in analytical mode), Theoretical Peak available only in
// analytical mode, and the Instrument dialog's rotating disk and thin film likewise (that
// dialog is created if `createInstrument`, otherwise only adjusted when it exists).
void ApplySimulationMode(Session& session, FormMech& mech, bool createInstrument);

}  // namespace kivex::ui
