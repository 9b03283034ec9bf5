#include "ui/form_tech.h"

#include "ui/session.h"

namespace kivex::ui {

FormTech::FormTech() : Dialog("FormTech", "Techniques") {
  Add(Frame1, ControlKind::Frame, "Frame1").caption = "Voltammetry";
  for (int i = 1; i <= model::kTechniqueCount; ++i) {
    Control& option = Add(optTech(i), ControlKind::OptionButton, "optTech", i);
    option.caption = model::FindTechnique(static_cast<model::Count>(i))->caption;
    option.frame = "Frame1";
    option.value = (i == 1);
  }
  Add(cmdOK, ControlKind::Button, "cmdOK").caption = "OK";
}

void FormTech::OkClicked(Session& session) {
  TechniquesOK(session);
  visible = false;
}

int SelectedTechnique(const FormTech& tech) {
  for (int i = 1; i <= model::kTechniqueCount; ++i) {
    if (tech.optTech(i).value) return i;
  }
  return 0;
}

void TechniquesOK(Session& session) {
  const int technique = SelectedTechnique(session.Tech());
  if (technique != 0) session.app.technique = static_cast<model::Count>(technique);
}

}  // namespace kivex::ui
