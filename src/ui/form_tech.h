#pragma once
// The Techniques dialog: which voltammetric technique is simulated.

#include "model/technique_table.h"
#include "ui/dialog.h"

namespace kivex::ui {

class FormTech : public Dialog {
 public:
  FormTech();

  Control Frame1;                                   // "Voltammetry"
  ControlArray<1, model::kTechniqueCount> optTech;  // option 1 selected
  Control cmdOK;

  void OkClicked(Session& session) override;
};

// The first selected technique option, 0 when none is.
int SelectedTechnique(const FormTech& tech);

// Techniques OK: `technique` = the first selected option.
void TechniquesOK(Session& session);

}  // namespace kivex::ui
