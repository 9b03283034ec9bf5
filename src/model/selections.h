#pragma once
// The three selections a run is built from: technique, electrode and mechanism. AppState keeps
// them as the numbers its dialogs, files and reports use (technique 1..5, electrode 1..9,
// mechanism 0..8); every computation reads them through the enums here, so that a branch says
// "rotating disk" instead of "8".
//
//   switch (model::TechniqueOf(app)) {
//     case Technique::Sweep: ...
//     case Technique::DC: ...
//   }
//
// A number outside the enumerators (a selection never made, 0) converts to an unnamed value that
// no case names: every switch keeps a default for it.

#include "model/app_state.h"
#include "model/count.h"

namespace kivex::model {

enum class Technique : Count {
  None = 0,
  Sweep = 1,  // linear sweep or cyclic
  DC = 2,
  NormalPulse = 3,
  DifferentialPulse = 4,
  SquareWave = 5,
};
inline constexpr int kTechniqueCount = 5;  // the rows of model/technique_table.cpp

enum class Electrode : Count {
  None = 0,
  Planar = 1,
  Sphere = 2,
  Hemisphere = 3,
  Microdisc = 4,
  Cylinder = 5,
  HalfCylinder = 6,
  Band = 7,
  RotatingDisk = 8,
  ThinFilm = 9,
};
inline constexpr int kElectrodeCount = 9;  // the rows of model/electrode_table.cpp

// The eight fixed mechanisms of analytical simulation; a digital run has a user-written scheme.
enum class Mechanism : Count {
  Digital = 0,
  E = 1,             // A + ne = B
  EE = 2,            // A + ne = B, B + ne = C
  EEE = 3,           // three consecutive steps
  TwoCouples = 4,    // A + ne = B, C + ne = D
  CE = 5,            // C = A, A + ne = B
  EC = 6,            // A + ne = B, B = C
  CatalyticEC = 7,   // A + ne = B, B = A
  Complexation = 8,  // C = A + pD, A + ne = B
};

inline constexpr int kFixedMechanisms = 8;

// How finely the digital route resolves time and space: the written grid, or finer ones that
// converge (simulation::ResolutionOf says what each refines).
enum class Accuracy : Count { Standard = 0, Fine = 1, Finest = 2 };
inline constexpr const char* kAccuracyNames[] = {"standard", "fine", "finest"};

inline constexpr Technique TechniqueOf(const AppState& app) {
  return static_cast<Technique>(app.technique);
}
inline constexpr Electrode ElectrodeOf(const AppState& app) {
  return static_cast<Electrode>(app.electrode);
}
inline constexpr Mechanism MechanismOf(const AppState& app) {
  return static_cast<Mechanism>(app.mechanism);
}
inline constexpr Accuracy AccuracyOf(const AppState& app) {
  return app.accuracy >= 1 && app.accuracy <= 2 ? static_cast<Accuracy>(app.accuracy)
                                                : Accuracy::Standard;
}

// Whether m is one of the eight fixed mechanisms.
inline constexpr bool IsFixedMechanism(Count m) { return m >= 1 && m <= kFixedMechanisms; }

// The technique and electrode an analytical run was committed with; the dialogs may since have
// changed `technique` and `electrode`.
struct AnalyticalCase {
  Technique technique = Technique::None;
  Electrode electrode = Electrode::None;
};

inline constexpr AnalyticalCase CaseOf(const AppState& app) {
  return {static_cast<Technique>(app.caseTechnique), static_cast<Electrode>(app.caseElectrode)};
}

// Commits the current selections as the analytical case.
inline constexpr void CommitCase(AppState& app) {
  app.caseTechnique = app.technique;
  app.caseElectrode = app.electrode;
}

}  // namespace kivex::model
