#pragma once
// The fixed commit chain that copies the dialogs into the shared experiment state. Each link runs
// the one before it, so any link leaves everything before it committed as well:
//   Techniques OK  <-  Mechanism OK (+ reaction scheme)  <-  Instrument OK  <-  GatherParameters
//   Chemicals OK = Chemicals activation (Instrument OK, rows, initial concentrations), then
//                  GatherParameters.
// A link that meets input it cannot use raises model::InputError; the command that ran the chain
// shows the message and stops, leaving the state as the last complete commit made it.

namespace kivex::ui {

class Session;

void MechanismOK(Session& session);
// Techniques OK, then the scheme from the Mechanism dialog. Raises InputError (scheme unchanged)
// for a scheme beyond the limits.
void BuildReactionScheme(Session& session);
// Raises InputError, storing nothing, for an E step or scan rate that is not a number, a
// temperature at or below absolute zero, or an electrode size (area, radius or width, length or
// thickness, those the chosen electrode uses) at or below zero.
void InstrumentOK(Session& session);
void ChemicalsActivate(Session& session);
// The Chemicals dialog's rows: those of the scheme last built, the rest hidden.
void ShowSchemeRows(Session& session);
void ChemicalsOK(Session& session);
void GatherParameters(Session& session);

// radius_Change, the geometry step of the Instrument dialog: the length, the electrode area
// (computed into the area box for electrodes 2..8) and the electrode volume.
void RadiusChange(Session& session);

// Runs a commit for a dialog's own button or box. A message it raises is shown and false is
// returned, so that the dialog stays as it is (an OK button does not hide it).
bool CommitShowingMessage(Session& session, void (*commit)(Session&));

}  // namespace kivex::ui
