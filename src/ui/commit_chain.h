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
void BuildReactionScheme(Session& session);
void InstrumentOK(Session& session);
void ChemicalsActivate(Session& session);
void ChemicalsOK(Session& session);
void GatherParameters(Session& session);

// The geometry step of the Instrument dialog: electrode area and volume from the radius and
// length boxes.
void RadiusChange(Session& session);

}  // namespace kivex::ui
