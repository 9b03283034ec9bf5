#include "ui/commit_chain.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "model/electrode_geometry.h"
#include "model/electrode_table.h"
#include "model/failure.h"
#include "model/number_format.h"
#include "model/number_text.h"
#include "model/reaction_scheme.h"
#include "model/selections.h"
#include "ui/command_failure.h"
#include "ui/form_expr.h"
#include "ui/form_ins.h"
#include "ui/form_mech.h"
#include "ui/form_tech.h"
#include "ui/number_field.h"
#include "ui/session.h"

namespace kivex::ui {

using model::ReadNumber;

namespace {

// E step and scan rate must be numbers as a whole: a slip there would silently change the
// potential programme.
double StrictField(const Control& field, const char* caption) {
  const std::optional<double> value = model::ParseNumber(field.text);
  if (!value) {
    throw model::InputError(std::string(caption) + ": \"" + field.text +
                            "\" is not a number. Please correct it in the Instrument dialog.");
  }
  return *value;
}

// A size at or below zero makes no electrode: a negative area or radius would turn a reduction
// current anodic. Only the sizes the chosen electrode uses are checked (the box of another
// electrode's size is hidden).
void RequirePositiveGeometry(const FormIns& ins, model::Electrode electrode) {
  auto require = [](const Control& box, const char* size) {
    if (!(ReadNumber(box.text) > 0.0)) {
      throw model::InputError(std::string("Error: the ") + size +
                              " must be above 0 cm. Please correct it in the Instrument dialog.");
    }
  };
  const model::ElectrodeTraits* row = model::FindElectrode(static_cast<model::Count>(electrode));
  if (row == nullptr) return;
  if (row->size == model::SizeBox::None) {
    if (!(ReadNumber(ins.ARE.text) > 0.0)) {
      throw model::InputError(
          "Error: the electrode area must be above 0 cm\xC2\xB2. Please correct it in the "
          "Instrument dialog.");
    }
  } else {
    require(ins.radius, row->size == model::SizeBox::Width ? "band width" : "electrode radius");
  }
  if (row->length == model::LengthBox::Length) require(ins.leng, "electrode length");
  if (row->length == model::LengthBox::Thickness) require(ins.leng, "film thickness");
}

// The fields read as numbers that the user sees: a decimal comma or a word there is refused before
// anything is stored (a hidden field is not used, and the user could not correct it).
void RequireNumbersInInstrument(const FormIns& ins) {
  const std::pair<const Control*, const Control*> fields[] = {{&ins.Estart, &ins.Estart},
                                                              {&ins.Eend, &ins.Eend},
                                                              {&ins.tp, &ins.tp},
                                                              {&ins.Epulse, &ins.Epulse},
                                                              {&ins.txttemp, &ins.txttemp},
                                                              {&ins.Noise, &ins.Noise},
                                                              {&ins.Cdl, &ins.Cdl},
                                                              {&ins.txtRu, &ins.txtRu},
                                                              {&ins.tQuiet, &ins.tQuiet},
                                                              {&ins.ARE, &ins.ARE},
                                                              {&ins.leng, &ins.LabelLength},
                                                              {&ins.radius, &ins.LabelRadius},
                                                              {&ins.TextRrate, &ins.LabelRrate},
                                                              {&ins.TextDis, &ins.TextDis},
                                                              {&ins.txtEPre, &ins.txtEPre},
                                                              {&ins.txtTPre, &ins.txtTPre},
                                                              {&ins.txtPconst, &ins.txtPconst},
                                                              {&ins.txtRStir, &ins.txtRStir}};
  for (const auto& [field, label] : fields) {
    const bool preconcentration = field->frame == ins.FramePre.name;
    if (!field->visible || (preconcentration && !ins.CheckPreCon.value)) continue;
    std::string_view name = label->caption;
    if (name.ends_with(':')) name.remove_suffix(1);  // "Rotation (rpm):"
    RequireNumberText(*field, name, "Instrument");
  }
}

void RequireNumbersInChemicals(const FormExpr& expr, const model::AppState& app) {
  // Named by the tool tip, as a sentence: "Analytical concentration of A".
  auto check = [](const Control& field, std::string name) {
    if (!name.empty() && name[0] >= 'a' && name[0] <= 'z')
      name[0] = static_cast<char>(name[0] - 32);
    RequireNumberText(field, name, "Chemicals");
  };
  for (const Control* box : {&expr.TextVis, &expr.TextElectrolyteC, &expr.TextElectrolyteCond}) {
    check(*box, box->toolTip);
  }
  for (int i = 1; i <= std::min<int>(app.speciesCount, model::kMaxSpecies); ++i) {
    for (const Control* cell : {&expr.C(i), &expr.D(i), &expr.Cond(i - 1)}) {
      check(*cell, cell->toolTip + " of " + expr.specie(i).caption);
    }
  }
  for (int j = 1; j <= std::min<int>(app.chargeCount, model::kMaxCharge); ++j) {
    for (const Control* cell : {&expr.Eze(j), &expr.ks(j), &expr.alph(j)}) {
      check(*cell, cell->toolTip + " of " + expr.heter(j).caption);
    }
  }
  for (int k = 1; k <= std::min(app.chemCount + app.chem2Count, model::kMaxChem); ++k) {
    for (const Control* cell : {&expr.kf(k), &expr.kb(k)}) {
      check(*cell, cell->toolTip + " of " + expr.homo(k).caption);
    }
  }
}

// A negative rate constant or diffusion coefficient has no physical meaning and turns the
// current's sign or blows it up (kf -1 gives -1.6e20 A); zero stays, a reaction or transfer that
// does not run. Only the rows in use are checked, as the user can see and correct them.
void RequireNonNegativeRates(const FormExpr& expr, const model::AppState& app) {
  auto require = [](const Control& cell, const Control& row) {
    if (ReadNumber(cell.text) < 0.0) {
      throw model::InputError("Error: the " + cell.toolTip + " of " + row.caption +
                              " cannot be negative. Please correct it in the Chemicals dialog.");
    }
  };
  for (int i = 1; i <= std::min<int>(app.speciesCount, model::kMaxSpecies); ++i) {
    require(expr.D(i), expr.specie(i));
  }
  for (int j = 1; j <= std::min<int>(app.chargeCount, model::kMaxCharge); ++j) {
    require(expr.ks(j), expr.heter(j));
  }
  for (int k = 1; k <= std::min(app.chemCount + app.chem2Count, model::kMaxChem); ++k) {
    require(expr.kf(k), expr.homo(k));
    require(expr.kb(k), expr.homo(k));
  }
}

double CyclesOf(const Control& scan) {
  switch (scan.listIndex) {
    case 1: return 1.0;
    case 2: return 2.0;
    default: return 0.5;
  }
}

model::SchemeInput SchemeInputOf(const FormMech& mech) {
  model::SchemeInput input;
  input.digital = mech.CheckDigital.value;
  for (int m = 1; m <= 8; ++m) {
    if (mech.mech(m).value) {
      input.tickedMechanism = static_cast<model::Count>(m);
      break;
    }
  }
  for (int b = 1; b <= 6; ++b) input.charge(b) = mech.charge(b).text;
  for (int r = 1; r <= 3; ++r) input.electrons(r) = mech.NEL(r).text;
  for (int b = 1; b <= 8; ++b) input.chem(b) = mech.chem(b).text;
  for (int b = 1; b <= 12; ++b) input.chem2(b) = mech.chem2(b).text;
  return input;
}

// The reaction labels of the fixed mechanisms (species A, B, C, D).
struct MechanismLabels {
  const char* charge[3];
  const char* chemical;
};
constexpr MechanismLabels kMechanismLabels[] = {
    {{"A+ne=B"}, nullptr},
    {{"A+ne=B", "B+ne=C"}, nullptr},
    {{"A+ne=B", "B+ne=C", "C+ne=D"}, nullptr},
    {{"A+ne=B", "C+ne=D"}, nullptr},
    {{"A+ne=B"}, "C=A"},
    {{"A+ne=B"}, "B=C"},
    {{"A+ne=B"}, "B=A"},
    {{"A+ne=B"}, "C=A+pD"},
};

void LabelReactions(const model::AppState& app, FormExpr& expr) {
  if (model::IsFixedMechanism(app.mechanism)) {
    const MechanismLabels& labels = kMechanismLabels[app.mechanism - 1];
    for (int j = 1; j <= 3; ++j) {
      if (labels.charge[j - 1] != nullptr) expr.heter(j).caption = labels.charge[j - 1];
    }
    if (labels.chemical != nullptr) expr.homo(1).caption = labels.chemical;
    return;
  }
  for (int j = 1; j <= std::min<int>(app.chargeCount, 3); ++j) {
    expr.heter(j).caption = app.chargeText(j);
  }
  for (int k = 1; k <= std::min(app.chemCount + app.chem2Count, 4); ++k) {
    expr.homo(k).caption = app.chemText(k);
  }
}

}  // namespace

void MechanismOK(Session& session) {
  TechniquesOK(session);
  BuildReactionScheme(session);
  const int accuracy = session.Mech().ComboAccuracy.listIndex;
  session.app.accuracy = accuracy >= 0 ? accuracy : 0;
}

void BuildReactionScheme(Session& session) {
  TechniquesOK(session);
  model::BuildReactionScheme(SchemeInputOf(session.Mech()), session.app);
}

void InstrumentOK(Session& session) {
  MechanismOK(session);
  FormIns& ins = session.Ins();
  // Check first, so that bad input leaves the whole instrument state as it was.
  RequireNumbersInInstrument(ins);
  const double Estep = StrictField(ins.Estep, "E step (V)");
  const double scanRate = StrictField(ins.V, "v (V/s)");
  const double temperature = ReadNumber(ins.txttemp.text) + model::kCelsiusZero;
  if (!(temperature > 0.0)) {
    throw model::InputError(
        "Error: the temperature must be above -273.14 \xC2\xB0"
        "C. Please correct it in the Instrument dialog.");
  }

  RequirePositiveGeometry(ins, model::ElectrodeOf(session.app));
  const double quietTime = ReadNumber(ins.tQuiet.text);
  if (!(quietTime >= 0.0)) {
    throw model::InputError(
        "Error: the quiet time cannot be negative. Please correct it in the Instrument dialog.");
  }

  model::AppState& app = session.app;
  app.Estart = ReadNumber(ins.Estart.text);
  app.Eend = ReadNumber(ins.Eend.text);
  app.Estep = std::fabs(Estep);
  app.area = ReadNumber(ins.ARE.text);
  app.Cdl = ReadNumber(ins.Cdl.text);
  app.Ru = ReadNumber(ins.txtRu.text);
  app.temperature = temperature;
  app.Epulse = ReadNumber(ins.Epulse.text);
  app.noise = ReadNumber(ins.Noise.text);
  app.tDrop = ReadNumber(ins.td.text);
  app.tPulse = ReadNumber(ins.tp.text);
  app.scanRate = std::fabs(scanRate);
  app.length = ReadNumber(ins.leng.text);
  app.radius = ReadNumber(ins.radius.text);  // a band's width
  app.omega = ReadNumber(ins.TextRrate.text) * model::kPiTenDigits / 30.0;
  app.cycles = CyclesOf(ins.ComboScan);
  app.quietTime = quietTime;
  app.committed = true;
  RadiusChange(session);
}

void RadiusChange(Session& session) {
  FormIns& ins = session.Ins();
  model::AppState& app = session.app;
  app.length = ReadNumber(ins.leng.text);
  // The user's area for a planar electrode or a film; a computed one at full precision, the box
  // showing it to three digits. A computed area that overflows leaves the box as it was (and a
  // volume that overflows keeps its value): Simulate says so (skipped_steps.h).
  double area = ReadNumber(ins.ARE.text);
  if (model::ComputesArea(model::ElectrodeOf(app))) {
    try {
      area = model::ElectrodeArea(model::ElectrodeOf(app), ReadNumber(ins.radius.text), app.length);
      ins.ARE.text = model::FormatPattern(area, kAreaPattern);
    } catch (const model::Failure&) {
    }
  }
  app.area = area;
  try {
    app.electrodeVolume =
        model::ElectrodeVolume(model::ElectrodeOf(app), app.radius, app.length, app.area);
  } catch (const model::Failure&) {
    // The volume keeps its value.
  }
}

void ShowSchemeRows(Session& session) {
  FormExpr& expr = session.Expr();
  const model::AppState& app = session.app;
  for (int i = 2; i <= model::kMaxSpecies; ++i) expr.ShowSpeciesRow(i, false);
  for (int i = 1; i <= std::min<int>(app.speciesCount, model::kMaxSpecies); ++i) {
    // The fixed mechanisms name their species A, B, C, D, as their reaction labels do.
    expr.specie(i).caption =
        app.digital ? app.speciesName(i) : std::string(1, static_cast<char>('A' + i - 1));
    expr.ShowSpeciesRow(i, true);
  }
  for (int j = 1; j <= model::kMaxCharge; ++j) expr.ShowChargeRow(j, j <= app.chargeCount);
  const int chemical = app.chemCount + app.chem2Count;
  for (int k = 1; k <= model::kMaxChem; ++k) expr.ShowChemicalRow(k, k <= chemical);
}

void ChemicalsActivate(Session& session) {
  InstrumentOK(session);
  ShowSchemeRows(session);
  // Every run recomputes all rows from the analytical concentrations, so once is enough.
  CChange(session);
  const model::AppState& app = session.app;
  const int chemical = app.chemCount + app.chem2Count;
  for (int k = 1; k <= std::min(chemical, model::kMaxChem); ++k) KeqUpdate(session, k);
  LabelReactions(app, session.Expr());
}

void ChemicalsOK(Session& session) {
  ChemicalsActivate(session);
  GatherParameters(session);
}

void GatherParameters(Session& session) {
  InstrumentOK(session);
  model::AppState& app = session.app;
  FormExpr& expr = session.Expr();
  FormMech& mech = session.Mech();
  RequireNumbersInChemicals(expr, app);
  RequireNonNegativeRates(expr, app);
  app.viscosity = ReadNumber(expr.TextVis.text);
  app.electrolyteC = ReadNumber(expr.TextElectrolyteC.text);
  app.electrolyteCond = ReadNumber(expr.TextElectrolyteCond.text);
  for (int j = 1; j <= model::kMaxCharge; ++j) {
    app.alpha(j) = ReadNumber(expr.alph(j).text);
    app.E0(j) = ReadNumber(expr.Eze(j).text);
    app.ks(j) = ReadNumber(expr.ks(j).text);
    app.n(j) = ReadNumber(mech.NEL(j).text);
  }
  for (int k = 1; k <= model::kMaxChem; ++k) {
    app.kf(k) = ReadNumber(expr.kf(k).text);
    app.kb(k) = ReadNumber(expr.kb(k).text);
    app.Keq(k) = expr.equilibriumConstant[static_cast<std::size_t>(k)];  // as the label shows
    app.p(k) = ReadNumber(expr.pl(k).text);
  }
  for (int i = 1; i <= model::kMaxSpecies; ++i) {
    app.D(i) = ReadNumber(expr.D(i).text);
    app.Cinit(i) = expr.initialConcentration[static_cast<std::size_t>(i)];  // full precision
    app.conductivity(i) = ReadNumber(expr.Cond(i - 1).text);
  }
  if (!app.digital) {
    model::CommitCase(app);
  }
  app.restsAtStart = expr.CheckPreEqu.value && !session.Ins().CheckPreCon.value;
  // InstrumentOK has refused a temperature at or below absolute zero.
  app.fOverRT = (model::kFaraday / model::kGasConstant) / app.temperature;
  app.RToverF = 1.0 / app.fOverRT;
  app.gathered = true;
}

bool CommitShowingMessage(Session& session, void (*commit)(Session&)) {
  return RunCommand(session, {}, [&] { commit(session); });
}

}  // namespace kivex::ui
