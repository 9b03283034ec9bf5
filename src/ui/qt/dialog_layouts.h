#pragma once
// How each dialog's controls are arranged on screen: grids aligned in columns, frames as group
// boxes. Only placement lives here; the widgets and their data come from DialogWindow.

class QLayout;

namespace kivex::ui::qt {

class DialogWindow;

class DialogLayouts {
 public:
  static QLayout* Build(DialogWindow& window);
};

}  // namespace kivex::ui::qt
