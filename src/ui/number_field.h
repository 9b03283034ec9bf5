#pragma once
// Numbers typed into dialog fields. Most fields are read leniently (model::ReadNumber: the number
// at the start of the text, "25 C" is 25); a decimal comma, which that reading would cut short
// ("0,3" would be 0), and a word with no number ("fast" would be 0) are refused instead, with the
// field's name and dialog:
//   E start (V): "0,3" is not a number; use a point as the decimal separator. Please correct it
//   in the Instrument dialog.

#include <string_view>

#include "ui/control.h"

namespace kivex::ui {

// Raises model::InputError when `field` holds a decimal comma, or text that does not start with a
// number at all ("fast" would read as 0). An empty field passes.
void RequireNumberText(const Control& field, std::string_view name, std::string_view dialog);

}  // namespace kivex::ui
