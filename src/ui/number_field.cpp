#include "ui/number_field.h"

#include <string>

#include "model/failure.h"
#include "model/number_text.h"

namespace kivex::ui {

void RequireNoDecimalComma(const Control& field, std::string_view name, std::string_view dialog) {
  if (!model::HasDecimalComma(field.text)) return;
  throw model::InputError(std::string(name) + ": \"" + field.text +
                          "\" is not a number; use a point as the decimal separator. Please "
                          "correct it in the " +
                          std::string(dialog) + " dialog.");
}

}  // namespace kivex::ui
