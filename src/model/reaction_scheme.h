#pragma once
// The reaction scheme: the species and the charge and chemical reactions that the simulation,
// the fitting and the Chemicals dialog work from, derived from the Mechanism dialog.
//
// Analytical simulation uses one of eight fixed mechanisms whose species are A, B, C, D (1..4).
// Digital simulation uses a scheme the user writes into the reaction boxes, with free names (the
// blanks around a name are not part of it):
//
//   SchemeInput input;
//   input.digital = true;
//   input.charge(1) = "A"; input.charge(2) = "B"; input.electrons(1) = "2";   // A + 2e = B
//   input.chem(1) = "B";   input.chem(2) = "C";                               // B = C
//   input.chem2(1) = "C";  input.chem2(2) = "A"; input.chem2(3) = "D"; input.chem2(4) = "B";
//   BuildReactionScheme(input, app);
//   // species A, B, C, D; chemCount 1, chem2Count 1: C + A = D + B is chemical reaction 2.
//
// The scheme is built aside and stored into `app` only when it is complete, so after an
// InputError the previous scheme stays whole and usable.

#include "model/app_state.h"

namespace kivex::model {

// What the Mechanism dialog holds when the scheme is built.
struct SchemeInput {
  bool digital = true;               // the "Digital simulation" box
  Count tickedMechanism = 0;         // the first ticked analytical option 1..8; 0 when none is
  TextTable<2 * kMaxCharge> charge;  // charge row r: charge(2r-1) + n e = charge(2r)
  TextTable<kMaxCharge> electrons;   // the text of NEL(r)
  TextTable<2 * kMaxChem> chem;      // chemical row k: chem(2k-1) = chem(2k)
  TextTable<4 * kMaxChem2> chem2;    // row j: chem2(4j-3) + chem2(4j-2) = chem2(4j-1) + chem2(4j)
};

// Exact messages of the two limits.
inline constexpr const char* kTooManySpecies = "Error: Species number cannot > 6.";
inline constexpr const char* kTooManyChemical = "Error: chemical reaction number cannot > 4.";

// Rebuilds the scheme fields of `app` (mechanism, counts, names, texts, index tables). Raises
// InputError, leaving `app` untouched, for more than six species, more than four chemical
// reactions, a reaction in use that lacks a species it needs (a gap among the rows, or a
// charge or X = Y row with one side empty; a row is in use when any of its species boxes is
// filled, and a two-species row's species move to the first places of their side, so
// `_ + B = A + _` is B + _ = A + _), a reaction with the same species on both sides
// (A + 1e = A, A = A, A + B = B + A), or electron transfers that form a loop (A -> B -> C -> A).
void BuildReactionScheme(const SchemeInput& input, AppState& app);

}  // namespace kivex::model
