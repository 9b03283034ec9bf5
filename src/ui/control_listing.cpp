#include "ui/control_listing.h"

#include "fitting/fit_slots.h"
#include "ui/dialog.h"
#include "ui/session.h"

namespace kivex::ui {

namespace {

const char* KindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label: return "label";
    case ControlKind::TextBox: return "text box";
    case ControlKind::CheckBox: return "check box";
    case ControlKind::OptionButton: return "option button";
    case ControlKind::ComboBox: return "list";
    case ControlKind::Frame: return "frame";
    case ControlKind::Button: return "button";
  }
  return "control";
}

const char* SlotMeaning(fitting::SlotKind kind) {
  switch (kind) {
    case fitting::SlotKind::Concentration: return "concentration (mol/L) of species";
    case fitting::SlotKind::Ks: return "standard rate constant (cm/s) of charge reaction";
    case fitting::SlotKind::Alpha: return "transfer coefficient of charge reaction";
    case fitting::SlotKind::E0: return "standard potential (V) of charge reaction";
    case fitting::SlotKind::Kf: return "forward rate constant of chemical reaction";
    case fitting::SlotKind::Kb: return "backward rate constant of chemical reaction";
    case fitting::SlotKind::D: return "diffusion coefficient (cm2/s) of species";
  }
  return "";
}

}  // namespace

void WriteControlListing(Session& session, std::ostream& out) {
  for (const std::string_view name : Session::kDialogNames) {
    const Dialog& dialog = *session.FindDialog(name);
    out << name << '\n';
    for (const Control* control : dialog.controls()) {
      out << "  " << control->Ref() << "  " << KindName(control->kind);
      const std::string caption = DisplayCaption(*control);
      if (!caption.empty()) out << "  \"" << caption << '"';
      if (!control->items.empty()) {
        out << "  entries:";
        for (const std::string& item : control->items) out << " \"" << item << '"';
      }
      out << '\n';
    }
  }
  out << "Fit slots: FormExpr.CheckFitted(N) ticks slot N, TextCmin(N) and TextCmax(N) bound it\n";
  for (int slot = 1; slot <= fitting::kFitSlots; ++slot) {
    const fitting::Slot s = fitting::SlotOf(slot);
    out << "  " << slot << "  " << fitting::SlotName(slot) << "  " << SlotMeaning(s.kind) << ' '
        << s.index << '\n';
  }
}

}  // namespace kivex::ui
