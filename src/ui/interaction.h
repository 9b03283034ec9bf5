#pragma once
// What a user does to a dialog, as the window does it: change the control's data, then notify
// the dialog. Scripts and tests use these so they drive exactly the window's path.

#include <string>
#include <string_view>

#include "ui/dialog.h"

namespace kivex::ui {

class Session;

// A control that a user could not reach (hidden, greyed out, of the wrong kind) or that does not
// exist. The message names the control and says why.
class InteractionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "FormIns.Estart" or "FormExpr.CheckFitted(7)" -> the dialog (created if needed) and control.
struct ControlAddress {
  Dialog* dialog = nullptr;
  Control* control = nullptr;
};
ControlAddress ResolveControl(Session& session, std::string_view reference);

// Typing replaces a text box's whole text, then the dialog hears of the change.
void TypeText(Session& session, Dialog& dialog, Control& control, std::string text);
// A click ticks or unticks a check box, selects an option button (clearing the rest of its
// frame) or presses a button, then the dialog hears of it.
void ClickControl(Session& session, Dialog& dialog, Control& control);
// Selects the entry of a combo box whose text is `item`.
void ChooseItem(Session& session, Dialog& dialog, Control& control, std::string_view item);

}  // namespace kivex::ui
