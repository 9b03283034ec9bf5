#include "ui/session.h"

#include "ui/form_expr.h"
#include "ui/form_ins.h"
#include "ui/form_mech.h"
#include "ui/form_option.h"
#include "ui/form_tech.h"

namespace kivex::ui {

// Start-up: the Mechanism dialog is created hidden so that its check box decides whether
// simulations are digital, and the planar electrode is chosen.
Session::Session(Platform& platform) : platform_(platform) {
  app.digital = Mech().CheckDigital.value;
  app.electrode = 1;
}

Session::~Session() = default;

template <typename Form>
static Form& Ensure(std::unique_ptr<Form>& form) {
  if (!form) form = std::make_unique<Form>();
  return *form;
}

FormTech& Session::Tech() { return Ensure(tech_); }
// A Mechanism dialog created afresh (at start-up, or after its close box) decides the mode
// again, so `digital`, the menu and the electrode options never disagree with its box.
FormMech& Session::Mech() {
  if (!mech_) {
    mech_ = std::make_unique<FormMech>();
    ApplySimulationMode(*this, *mech_, false);
  }
  return *mech_;
}

FormIns& Session::Ins() {
  if (!ins_) {
    ins_ = std::make_unique<FormIns>();
    InstrumentLoaded(*this, *ins_);
  }
  return *ins_;
}
FormExpr& Session::Expr() { return Ensure(expr_); }
FormOption& Session::Option() { return Ensure(option_); }

Dialog* Session::FindDialog(std::string_view name) {
  if (name == "FormTech") return &Tech();
  if (name == "FormMech") return &Mech();
  if (name == "FormIns") return &Ins();
  if (name == "FormExpr") return &Expr();
  if (name == "formOption") return &Option();
  return nullptr;
}

bool Session::IsLoaded(std::string_view name) const {
  if (name == "FormTech") return tech_ != nullptr;
  if (name == "FormMech") return mech_ != nullptr;
  if (name == "FormIns") return ins_ != nullptr;
  if (name == "FormExpr") return expr_ != nullptr;
  if (name == "formOption") return option_ != nullptr;
  return false;
}

void Session::CloseDialog(std::string_view name) {
  if (name == "FormTech") tech_.reset();
  if (name == "FormMech") {
    mech_.reset();
    Mech();  // the main window reads its box: back at once, with its defaults
  }
  if (name == "FormIns") {
    ins_.reset();
    app.electrode = 1;  // the dialog comes back with the planar electrode selected
  }
  if (name == "FormExpr") expr_.reset();
  if (name == "formOption") option_.reset();
}

void Session::Print(const model::PrintLine& line) { Print(line.str()); }

void Session::Print(std::string_view text) {
  result.lines.emplace_back(text);
  platform_.ResultLineWritten(result.lines.back());
}

void Session::ClearResult() {
  result.lines.clear();
  platform_.ResultCleared();
}

void Session::ShowResult() {
  result.visible = true;
  platform_.WindowShown("FormResult");
}

}  // namespace kivex::ui
