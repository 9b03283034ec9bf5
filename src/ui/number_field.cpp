#include "ui/number_field.h"

#include <string>

#include "model/failure.h"
#include "model/number_text.h"

namespace kivex::ui {

namespace {

// Whether the lenient reading finds a number at the start: "25 C" does, "fast" and "-" do not.
bool StartsWithNumber(std::string_view text) {
  std::size_t i = text.find_first_not_of(" \t");
  if (i == std::string_view::npos) return false;
  if (text[i] == '+' || text[i] == '-') ++i;
  if (i < text.size() && text[i] == '.') ++i;
  return i < text.size() && text[i] >= '0' && text[i] <= '9';
}

}  // namespace

void RequireNumberText(const Control& field, std::string_view name, std::string_view dialog) {
  const std::string where = ". Please correct it in the " + std::string(dialog) + " dialog.";
  if (model::HasDecimalComma(field.text)) {
    throw model::InputError(std::string(name) + ": \"" + field.text +
                            "\" is not a number; use a point as the decimal separator" + where);
  }
  // An empty box reads as 0, as it always has; a word would read as 0 too, unseen.
  if (field.text.find_first_not_of(" \t") != std::string::npos && !StartsWithNumber(field.text)) {
    throw model::InputError(std::string(name) + ": \"" + field.text + "\" is not a number" + where);
  }
}

}  // namespace kivex::ui
