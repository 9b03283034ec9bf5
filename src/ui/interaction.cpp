#include "ui/interaction.h"

#include <charconv>
#include <iterator>

#include "model/failure.h"
#include "ui/commit_chain.h"
#include "ui/nearest_names.h"
#include "ui/session.h"

namespace kivex::ui {

namespace {

constexpr std::size_t kEntriesListedWhole = 12;

[[noreturn]] void Refuse(const Dialog& dialog, const Control& control, std::string_view why) {
  throw InteractionError(dialog.name() + "." + control.Ref() + " " + std::string(why));
}

// A user reaches only controls that are shown and available.
void RequireReachable(const Dialog& dialog, const Control& control) {
  if (!control.visible && dialog.name() == "FormExpr") {
    Refuse(dialog, control,
           "is hidden: the Chemicals dialog shows only the rows (and the bounds of ticked fits) "
           "of the reaction scheme the Mechanism dialog makes");
  }
  if (!control.visible) Refuse(dialog, control, "is hidden");
  if (!control.enabled) Refuse(dialog, control, "is greyed out");
}

}  // namespace

ControlAddress ResolveControl(Session& session, std::string_view reference) {
  const std::size_t dot = reference.find('.');
  if (dot == std::string_view::npos) {
    throw InteractionError("\"" + std::string(reference) + "\" is not DIALOG.CONTROL");
  }
  const std::string_view dialogName = reference.substr(0, dot);
  std::string_view controlName = reference.substr(dot + 1);
  int index = kNoIndex;
  if (const std::size_t open = controlName.find('('); open != std::string_view::npos) {
    const std::size_t close = controlName.find(')', open);
    const std::string_view digits = controlName.substr(open + 1, close - open - 1);
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
    if (close != controlName.size() - 1 || error != std::errc() ||
        end != digits.data() + digits.size()) {
      throw InteractionError("\"" + std::string(reference) + "\" has a bad control index");
    }
    controlName = controlName.substr(0, open);
  }
  Dialog* dialog = session.FindDialog(dialogName);
  if (dialog == nullptr) {
    const std::vector<std::string> dialogs(std::begin(Session::kDialogNames),
                                           std::end(Session::kDialogNames));
    throw InteractionError("no dialog \"" + std::string(dialogName) + "\"" +
                           NearestSuffix(dialogName, dialogs));
  }
  if (dialogName == "FormExpr") {
    // A script reaches the Chemicals dialog as a user does, open: its rows are those of the
    // scheme the Mechanism dialog makes, whether or not the dialog was shown before. A scheme
    // that cannot be built leaves the rows as they are; Chemicals OK says why.
    try {
      BuildReactionScheme(session);
      ShowSchemeRows(session);
    } catch (const model::InputError&) {
    }
  }
  Control* control = dialog->Find(controlName, index);
  if (control == nullptr) {
    std::vector<std::string> references;
    for (const Control* each : dialog->controls()) references.push_back(each->Ref());
    throw InteractionError("no control \"" + std::string(reference) + "\"" +
                           NearestSuffix(reference.substr(dot + 1), references));
  }
  return {dialog, control};
}

void TypeText(Session& session, Dialog& dialog, Control& control, std::string text) {
  if (control.kind != ControlKind::TextBox) Refuse(dialog, control, "is not a text box");
  RequireReachable(dialog, control);
  if (control.locked) Refuse(dialog, control, "cannot be edited");
  control.text = std::move(text);
  dialog.Changed(session, control);
}

void ClickControl(Session& session, Dialog& dialog, Control& control) {
  RequireReachable(dialog, control);
  switch (control.kind) {
    case ControlKind::CheckBox: control.value = !control.value; break;
    case ControlKind::OptionButton: SelectOption(dialog, control); break;
    case ControlKind::Button: break;
    default: Refuse(dialog, control, "cannot be clicked");
  }
  dialog.Clicked(session, control);
}

void ChooseItem(Session& session, Dialog& dialog, Control& control, std::string_view item) {
  if (control.kind != ControlKind::ComboBox) Refuse(dialog, control, "is not a list");
  RequireReachable(dialog, control);
  for (std::size_t i = 0; i < control.items.size(); ++i) {
    if (control.items[i] == item) {
      control.Choose(static_cast<int>(i));
      dialog.Chosen(session, control);
      return;
    }
  }
  // A short list is answered with all its entries, a long one with those nearest the text.
  std::string hint;
  if (control.items.size() > kEntriesListedWhole) {
    hint = NearestSuffix(item, control.items);
  } else if (!control.items.empty()) {
    hint = " (entries: ";
    for (std::size_t i = 0; i < control.items.size(); ++i) {
      hint += (i > 0 ? ", \"" : "\"") + control.items[i] + "\"";
    }
    hint += ")";
  }
  Refuse(dialog, control, "has no entry \"" + std::string(item) + "\"" + hint);
}

}  // namespace kivex::ui
