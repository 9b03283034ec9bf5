#include <string>

#include "model/failure.h"
#include "ui/command_failure.h"
#include "ui/commands.h"
#include "ui/commit_chain.h"
#include "ui/dialog.h"
#include "ui/form_expr.h"
#include "ui/form_ins.h"
#include "ui/form_mech.h"
#include "ui/form_tech.h"
#include "ui/session.h"

namespace kivex::ui {

namespace {

void ShowDialog(Session& session, Dialog& dialog) {
  dialog.visible = true;
  session.platform().WindowShown(dialog.name());
  ActivateDialog(session, dialog);
}

}  // namespace

void ActivateDialog(Session& session, Dialog& dialog) {
  RunCommand(session, {}, [&] { dialog.Activated(session); });
}

void ShowTechniques(Session& session) { ShowDialog(session, session.Tech()); }
void ShowMechanism(Session& session) { ShowDialog(session, session.Mech()); }
void ShowInstrument(Session& session) { ShowDialog(session, session.Ins()); }

// The Chemicals dialog lays its rows out from the scheme, so the scheme is rebuilt first.
void ShowChemicals(Session& session) {
  try {
    BuildReactionScheme(session);
  } catch (const model::InputError& error) {
    session.ShowMessage(std::string(error.message()));
    return;
  }
  ShowDialog(session, session.Expr());
}

void ShowAbout(Session& session) {
  session.aboutText = {
      std::string(53, '*'),
      "Kivex 4.1",
      "Kivex simulates voltammograms and separates overlapped peaks.",
      std::string(54, '*'),
  };
  session.platform().WindowShown("About");
}

void Exit(Session& session) { session.exitRequested = true; }

}  // namespace kivex::ui
