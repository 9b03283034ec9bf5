#pragma once
// The one set of experiment parameters the whole program shares for a run. The dialogs hold the
// user's input; the commit chain copies it here, and every computation reads it from here.
// Every field starts at 0 (false, empty) and is filled at the first commit; only `digital` and
// `electrode` are set at start-up.

#include <array>
#include <string>

#include "model/count.h"
#include "model/fixed_table.h"
#include "model/physical_constants.h"  // the state's f/RT and areas are formed from them

namespace kivex::model {

inline constexpr int kMaxSpecies = 6;
inline constexpr int kMaxCharge = 3;
inline constexpr int kMaxChem = 4;
inline constexpr int kMaxChem2 = 3;

// A small 1-based table whose entries are texts (species names, reaction texts).
template <int Last>
using TextTable = Table1<std::string, Last>;

struct AppState {
  // Selections.
  Count technique = 0;  // 1 sweep/cyclic, 2 DC, 3 normal pulse, 4 differential pulse, 5 square wave
  Count mechanism = 0;  // 1..8 fixed mechanisms; 0 for the user-written digital scheme
  bool digital = false;
  Count accuracy = 0;   // of the digital route: 0 standard, 1 fine, 2 finest
  Count electrode = 0;  // 1 planar .. 9 thin film
  // The technique and electrode an analytical run was committed with (model::CaseOf), set
  // only by an analytical commit.
  Count caseTechnique = 0;
  Count caseElectrode = 0;

  // Instrument.
  double Estart = 0;           // V
  double Eend = 0;             // V
  double Estep = 0;            // V, absolute
  double scanRate = 0;         // V/s, absolute
  double tPulse = 0;           // s
  double tDrop = 0;            // s
  double Epulse = 0;           // V, signed
  double noise = 0;            // percent of the largest signal
  double Cdl = 0;              // F
  double Ru = 0;               // ohm
  double temperature = 0;      // K
  double cycles = 0;           // 0.5 single sweep, 1 cycle, 2 cycles
  double quietTime = 0;        // s, the electrode held at E start before the programme
  double radius = 0;           // cm (band: its width)
  double length = 0;           // cm: cylinder or band length, film thickness
  double area = 0;             // cm2
  double omega = 0;            // rad/s
  double electrodeVolume = 0;  // cm3

  // Solution and thermal constants.
  double viscosity = 0;        // cm2/s
  double electrolyteC = 0;     // M
  double electrolyteCond = 0;  // as typed
  double fOverRT = 0;          // 1/V
  double RToverF = 0;          // V

  // Reaction scheme.
  Count speciesCount = 0;
  Count chargeCount = 0;
  Count chemCount = 0;   // X = Y reactions
  Count chem2Count = 0;  // up to two species on each side, numbered after the X = Y ones
  TextTable<kMaxSpecies> speciesName;
  TextTable<kMaxCharge> chargeText;
  TextTable<kMaxChem> chemText;
  Table2<Count, kMaxCharge, 2> chargeSpecies;  // (r, 1) oxidised form, (r, 2) reduced form
  Table2<Count, kMaxChem, 2> chemSpecies;      // (k, 1) X, (k, 2) Y
  Table2<Count, kMaxChem2, 4> chem2Species;    // X1, X2, Y1, Y2; 0 for an empty place

  // Species, charge-reaction and chemical-reaction tables.
  Table1<double, kMaxSpecies> Cinit;  // M, after pre-equilibration and preconcentration
  Table1<double, kMaxSpecies> D;      // cm2/s
  Table1<double, kMaxSpecies> conductivity;
  Table1<double, kMaxCharge> E0;  // V
  Table1<double, kMaxCharge> ks;  // cm/s
  Table1<double, kMaxCharge> alpha;
  Table1<double, kMaxCharge> n;  // electrons
  Table1<double, kMaxChem> kf;
  Table1<double, kMaxChem> kb;
  Table1<double, kMaxChem> Keq;
  Table1<double, kMaxChem> p;  // stoichiometric number of the complexation

  // Run-time fields.
  bool committed = false;     // the instrument values have been committed at least once
  bool gathered = false;      // the species and reaction tables have been gathered at least once
  bool fitting = false;       // a fit is running: results go to curve 2, no noise
  Count totalColumn = 0;      // result column of the total current, chargeCount + 1
  double elapsedTime = 0;     // s, the last Simulate or fit
  Count maxIterations = 0;    // highest Newton count of the last digital simulation
  bool restsAtStart = false;  // in equilibrium at E start, so a quiet time changes nothing
};

}  // namespace kivex::model
