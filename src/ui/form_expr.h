#pragma once
// The Chemicals dialog: the supporting electrolyte, one row per species, per charge reaction and
// per chemical reaction, and the tick and bounds of every fittable parameter.
//
// Fit index x (1..29) has CheckFitted(x), TextCmin(x) and TextCmax(x) in the row of its
// parameter: 1..6 concentration of species x, 7..9 ks, 10..12 alpha, 13..15 E0 of charge
// reaction x-6, x-9, x-12; 16..19 kf, 20..23 kb of chemical reaction x-15, x-19; 24..29 D of
// species x-23. The bounds are visible only while their box is ticked. `TextFitRange` holds the
// potentials a fit compares (fitting/fit_range.h); empty, every measured point.
//
// Greek captions are the symbol-font letters "a" (alpha) and "l" (lambda). The lambda of
// `TextElectrolyteCond` is its own caption with `symbolFont` set, as for any text box label;
// the column headers are Labels, and the alpha fit headers are two each: the symbol-font "a"
// and the plain word after it ("fitted", "min", "max").

#include <array>
#include <string_view>

#include "model/initial_concentrations.h"
#include "ui/dialog.h"

namespace kivex::ui {

class FormExpr : public Dialog {
 public:
  FormExpr();

  Control FrameElectrolyte;     // "Electrolyte"
  Control TextVis;              // kinematic viscosity
  Control TextElectrolyteC;     // supporting electrolyte concentration
  Control TextElectrolyteCond;  // supporting electrolyte conductivity
  Control CheckPreEqu;          // "pre-equilibration", ticked

  Control FrameSpecies;                // "Species"
  ControlArray<1, 10> lblSpeciesHead;  // column headers
  ControlArray<1, 6> specie;           // row names "A".."F"
  ControlArray<1, 6> C;                // analytical concentration
  ControlArray<1, 6> Cinit;            // initial concentration, a label the dialog computes
  ControlArray<1, 6> D;                // diffusion coefficient
  ControlArray<0, 5> Cond;             // conductivity; species i is Cond(i-1)
  ControlArray<1, 29> CheckFitted;
  ControlArray<1, 29> TextCmin;
  ControlArray<1, 29> TextCmax;

  Control FrameHeter;                // "Heterogeneous Reaction"
  ControlArray<1, 16> lblHeterHead;  // column headers
  ControlArray<1, 3> heter;          // reaction label "1".."3"
  ControlArray<1, 3> Eze;            // standard potential
  ControlArray<1, 3> ks;
  ControlArray<1, 3> alph;

  Control FrameHomo;                // "Homogeneous Reaction"
  ControlArray<1, 11> lblHomoHead;  // column headers
  ControlArray<1, 4> homo;          // reaction label "1".."4"
  ControlArray<1, 4> kf;
  ControlArray<1, 4> kb;
  ControlArray<1, 4> LabelKeq;  // kf / kb, empty until computed
  ControlArray<1, 4> pl;        // stoichiometric number "1".."4"
  Control TextFitRange;         // "Fit E range (V)": the potentials a fit compares
  Control cmdOK;

  // The numbers GatherParameters stores. The initial concentrations at full precision, as the fit
  // derives them, whatever their captions round them to; Keq as its label shows it
  // (ShownEquilibriumConstant).
  model::Concentrations initialConcentration{0.0, 1e-3};          // species 1..6; 0 unused
  std::array<double, model::kMaxChem + 1> equilibriumConstant{};  // 1..4; 0 until computed
  // Sets C init of species i: the caption shows `shown` (already rounded to its digits), the
  // simulation uses `exact`.
  void ShowInitialConcentration(int i, double shown, double exact);

  // Show or hide a whole row: species i (name, C, C init, D, conductivity and their fits), charge
  // reaction j (label, E0, ks, alpha and their fits), chemical reaction k (label, kf, kb, Keq, p
  // and their fits). A fit's bounds show only while its row is shown and its box is ticked.
  void ShowSpeciesRow(int i, bool shown);
  void ShowChargeRow(int j, bool shown);
  void ShowChemicalRow(int k, bool shown);
  void ShowFit(int x, bool shown);

  void Changed(Session& session, Control& control) override;
  void Clicked(Session& session, Control& control) override;
  void Chosen(Session& session, Control& control) override;
  void Activated(Session& session) override;
  void OkClicked(Session& session) override;

 private:
  // Runs once when the dialog is created: every p list shows "1".
  void Load();
};

inline constexpr std::string_view kConcentrationPattern = "0.###e-#";
inline constexpr std::string_view kEquilibriumConstantPattern = "#.###e-#";

// The dialog's rounding of an initial concentration to the four digits its caption shows; every
// concentration C_Change shows passes through it (model::Rounding).
double ShownConcentration(double value);

// The initial concentrations' inputs as the dialogs show them now (the Instrument dialog's
// E start and preconcentration settings, the electron numbers of the Mechanism dialog, E0, Keq,
// D and viscosity of this one); temperature, area and volume are those of the last instrument
// commit. What C_Change computes from, and what a fit starts from before it puts in its trial
// values.
model::SolutionPreparation ShownPreparation(Session& session);

// C_Change: every initial concentration from the analytical ones, pre-equilibrated (Nernst for
// each couple at the Instrument dialog's E start, then the chemical equilibria) when
// pre-equilibration is ticked, and the preconcentrated species 2 when preconcentration is.
// The captions work on the displayed values, the simulation's values are the same steps at full
// precision; a step that cannot be computed is skipped.
void CChange(Session& session);

// Keq of chemical reaction k = kf / kb ("#.###e-#"), kept as it is when kb is not positive or kf
// is negative; a changed Keq recomputes the initial concentrations.
void KeqUpdate(Session& session, int k);

// The pre-equilibration box: the analytical concentrations shown as they are, then C_Change
// when the box is ticked.
void PreEquilibrationClick(Session& session);

}  // namespace kivex::ui
