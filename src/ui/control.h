#pragma once
// One control of a dialog as plain data: everything a window shows of it (text, tick, selection,
// visibility, enabled state, captions) and nothing it computes. The Qt front end binds a widget to
// each control by its name; scripts and tests address it the same way ("Estart", "optTech(4)").

#include <string>
#include <string_view>
#include <vector>

namespace kivex::ui {

enum class ControlKind { Label, TextBox, CheckBox, OptionButton, ComboBox, Frame, Button };

inline constexpr int kNoIndex = -1;

struct Control {
  ControlKind kind = ControlKind::Label;
  std::string name;
  int index = kNoIndex;  // position in a control array (arrays keep their own first index)

  std::string caption;  // label text, check box / option / frame / button caption; for a text
                        // box the caption of the label beside it
  std::string text;     // text box contents; for a combo box the text of the selected entry
  std::string toolTip;
  bool value = false;              // check box ticked, option button selected
  std::vector<std::string> items;  // combo box entries
  int listIndex = -1;              // selected combo entry, -1 for none

  bool visible = true;
  bool enabled = true;
  bool captionVisible = true;  // the label beside a text box
  bool locked = false;         // a text box the program fills and the user cannot edit
  bool symbolFont = false;     // caption drawn in the symbol font: "a" shows as alpha, "l" as
                               // lambda, "W" as Omega
  std::string frame;  // the frame that holds the control ("" for the dialog itself); option
                      // buttons in the same frame are one group

  // "Estart" or "optTech(4)".
  std::string Ref() const;

  // Selects combo entry i (or none for -1) and keeps `text` in step.
  void Choose(int i);
};

// The caption as the window shows it: symbol-font letters turned into their Greek counterparts.
std::string DisplayCaption(const Control& control);

}  // namespace kivex::ui
