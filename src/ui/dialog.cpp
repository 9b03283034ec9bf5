#include "ui/dialog.h"

#include "ui/session.h"

namespace kivex::ui {

Dialog::Dialog(std::string name, std::string caption)
    : name_(std::move(name)), caption_(std::move(caption)) {}

Control* Dialog::Find(std::string_view name, int index) const {
  for (Control* control : controls_) {
    if (control->name == name && control->index == index) return control;
  }
  return nullptr;
}

void Dialog::Changed(Session&, Control&) {}
// A button press is the dialog's OK unless a dialog says otherwise.
void Dialog::Clicked(Session& session, Control& control) {
  if (control.kind == ControlKind::Button) OkClicked(session);
}
void Dialog::Chosen(Session&, Control&) {}
void Dialog::Activated(Session&) {}
void Dialog::OkClicked(Session&) { visible = false; }

Control& Dialog::Add(Control& control, ControlKind kind, std::string name, int index) {
  control.kind = kind;
  control.name = std::move(name);
  control.index = index;
  controls_.push_back(&control);
  return control;
}

void SelectOption(const Dialog& dialog, Control& option) {
  for (Control* other : dialog.controls()) {
    if (other->kind == ControlKind::OptionButton && other->frame == option.frame) {
      other->value = false;
    }
  }
  option.value = true;
}

}  // namespace kivex::ui
