#pragma once
// A dialog as plain data: its controls, in the order they are laid out, with their operations.
// The front end (Qt window, script, test) changes a control's data and then notifies the dialog
// (Changed, Clicked, Chosen), exactly as a window's notifications would; the dialog's handlers
// update the data and may run commands on the session.

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "model/fixed_table.h"
#include "ui/control.h"

namespace kivex::ui {

class Session;

// A run of controls sharing one name, addressed by the array's own indexes First..Last.
template <int First, int Last>
class ControlArray {
 public:
  static constexpr int kFirst = First;
  static constexpr int kLast = Last;

  Control& operator()(int i);
  const Control& operator()(int i) const;

 private:
  Control items_[Last - First + 1];
};

class Dialog {
 public:
  Dialog(std::string name, std::string caption);
  virtual ~Dialog() = default;
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  const std::string& name() const { return name_; }
  const std::string& caption() const { return caption_; }
  bool visible = false;

  // Every control in layout order.
  const std::vector<Control*>& controls() const { return controls_; }

  // The control called `name` with array index `index` (kNoIndex for a single control), or null.
  Control* Find(std::string_view name, int index = kNoIndex) const;

  // Notifications, after the front end has changed the control's data.
  virtual void Changed(Session& session, Control& control);  // a text box's text changed
  virtual void Clicked(Session& session, Control& control);  // box ticked, option or button
  virtual void Chosen(Session& session, Control& control);   // a combo entry selected
  virtual void Activated(Session& session);                  // the dialog became active
  // The OK button: the dialog's commit operation, then the dialog hides.
  virtual void OkClicked(Session& session);

 protected:
  // Registers a control under `name` (and `index` for an array element) and returns it for
  // further set-up.
  Control& Add(Control& control, ControlKind kind, std::string name, int index = kNoIndex);

 private:
  std::string name_;
  std::string caption_;
  std::vector<Control*> controls_;
};

template <int First, int Last>
Control& ControlArray<First, Last>::operator()(int i) {
  if (i < First || i > Last) model::ThrowIndexFailure();
  return items_[i - First];
}

template <int First, int Last>
const Control& ControlArray<First, Last>::operator()(int i) const {
  if (i < First || i > Last) model::ThrowIndexFailure();
  return items_[i - First];
}

// Selects option button `option` and clears the other option buttons of its frame.
void SelectOption(const Dialog& dialog, Control& option);

// A failure to find a control named by a script or a binding.
class UnknownControl : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace kivex::ui
