#include "ui/form_expr.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "fitting/fit_slots.h"
#include "model/checked_math.h"
#include "model/number_format.h"
#include "model/number_text.h"
#include "ui/commit_chain.h"
#include "ui/form_ins.h"
#include "ui/form_mech.h"
#include "ui/session.h"

namespace kivex::ui {

namespace {
struct ColumnHead {
  const char* caption;
  const char* toolTip;
  bool symbol;  // caption in the symbol font
};

constexpr ColumnHead kSpeciesHeads[] = {
    {"C anal (M)", "analytical concentration", false},
    {"C init (M)", "initial concentration", false},
    {"D (cm \xC2\xB2/s)", "diffusion coefficient", false},
    {"l", "conductivity", true},
    {"C fitted (M)", "fitted concentration", false},
    {"C min (M)", "mininum concentration", false},
    {"C max (M)", "maxinum concentration", false},
    {"D fitted", "fitted diffusion coefficient", false},
    {"D min", "minimum diffusion coefficient", false},
    {"D max (cm \xC2\xB2/s)", "maximum diffusion coefficient", false}};
constexpr ColumnHead kHeterHeads[] = {{"Reaction", "charge reaction", false},
                                      {"E\xC2\xB0 (V)", "standard electrode potential", false},
                                      {"ks (cm/s)", "heterogeneous standard rate constant", false},
                                      {"a", "electron transfer coefficient", true},
                                      {"ks fitted", "", false},
                                      {"ks min", "", false},
                                      {"ks max", "", false},
                                      {"a", "", true},
                                      {"fitted", "", false},
                                      {"a", "", true},
                                      {"min", "", false},
                                      {"a", "", true},
                                      {"max", "", false},
                                      {"E\xC2\xB0 fitted (V)", "", false},
                                      {"E\xC2\xB0 min", "", false},
                                      {"E\xC2\xB0 max (V)", "", false}};
constexpr ColumnHead kHomoHeads[] = {{"Reaction", "chemical reaction", false},
                                     {"kf", "forward chemical reaction rate constant", false},
                                     {"kb", "backward chemical reaction rate constant", false},
                                     {"Keq", "chemical equilibrium constant", false},
                                     {"p", "stoichiometric number", false},
                                     {"kf fitted", "", false},
                                     {"kf min", "", false},
                                     {"kf max", "", false},
                                     {"kb fitted", "", false},
                                     {"kb min", "", false},
                                     {"kb max", "", false}};
static_assert(std::size(kSpeciesHeads) == decltype(FormExpr::lblSpeciesHead)::kLast);
static_assert(std::size(kHeterHeads) == decltype(FormExpr::lblHeterHead)::kLast);
static_assert(std::size(kHomoHeads) == decltype(FormExpr::lblHomoHead)::kLast);

struct FitBounds {
  const char* min;
  const char* max;
};
// By fit index 1..29 (see form_expr.h). D's bounds, four decades apart, vary it on a log scale.
constexpr FitBounds kFitBounds[] = {
    {"1e-4", "1e-2"}, {"0", "1e-2"},    {"0", "1e-2"},    {"0", "1e-2"},    {"0", "1e-2"},
    {"0", "1e-2"},    {"1e-4", "100"},  {"1e-4", "100"},  {"1e-4", "100"},  {"0.4", "0.6"},
    {"0.4", "0.6"},   {"0.4", "0.6"},   {"-0.2", "0.2"},  {"-0.2", "0.2"},  {"-0.2", "0.3"},
    {"1", "100"},     {"1", "100"},     {"1", "100"},     {"1", "100"},     {"0.001", "1"},
    {"0.001", "1"},   {"0.001", "1"},   {"0.001", "1"},   {"1e-7", "1e-3"}, {"1e-7", "1e-3"},
    {"1e-7", "1e-3"}, {"1e-7", "1e-3"}, {"1e-7", "1e-3"}, {"1e-7", "1e-3"}};
static_assert(std::size(kFitBounds) == fitting::kFitSlots);

// The fit boxes of a charge row and of a chemical row, left to right.
constexpr fitting::SlotKind kChargeSlots[] = {fitting::SlotKind::Ks, fitting::SlotKind::Alpha,
                                              fitting::SlotKind::E0};
constexpr fitting::SlotKind kChemicalSlots[] = {fitting::SlotKind::Kf, fitting::SlotKind::Kb};
static_assert(std::size(kFitBounds) == decltype(FormExpr::CheckFitted)::kLast);

constexpr const char* kConductivities[] = {"100", "200", "300", "400", "500", "500"};
constexpr const char* kStandardPotentials[] = {"0.1", "-0.1", "-0.2"};

constexpr const char* kElectrolyte = "FrameElectrolyte";
constexpr const char* kSpecies = "FrameSpecies";
constexpr const char* kHeter = "FrameHeter";
constexpr const char* kHomo = "FrameHomo";

// A text box with the label beside it.
void SetUpTextBox(Control& box, const char* caption, const char* toolTip, const char* text) {
  box.frame = kElectrolyte;
  box.caption = caption;
  box.toolTip = toolTip;
  box.text = text;
}

// A control in a table row: its column header names it, so it has no label of its own.
void SetUpCell(Control& cell, const char* frame, const char* toolTip, const std::string& text) {
  cell.frame = frame;
  cell.toolTip = toolTip;
  if (cell.kind == ControlKind::Label) {
    cell.caption = text;
  } else {
    cell.text = text;
    cell.captionVisible = false;
  }
}

void SetUpHead(Control& label, const char* frame, const ColumnHead& head) {
  label.frame = frame;
  label.caption = head.caption;
  label.toolTip = head.toolTip;
  label.symbolFont = head.symbol;
}
}  // namespace

FormExpr::FormExpr() : Dialog("FormExpr", "Chemicals") {
  // Fit index x in the row of its parameter; its bounds show only while it is ticked.
  auto addFit = [this](int x, const char* frame) {
    Control& tick = Add(CheckFitted(x), ControlKind::CheckBox, "CheckFitted", x);
    SetUpCell(tick, frame, "", "");
    tick.value = (x == 1);
    SetUpCell(Add(TextCmin(x), ControlKind::TextBox, "TextCmin", x), frame, "",
              kFitBounds[x - 1].min);
    SetUpCell(Add(TextCmax(x), ControlKind::TextBox, "TextCmax", x), frame, "",
              kFitBounds[x - 1].max);
    TextCmin(x).visible = tick.value;
    TextCmax(x).visible = tick.value;
  };

  Add(FrameElectrolyte, ControlKind::Frame, "FrameElectrolyte").caption = "Electrolyte";
  SetUpTextBox(Add(TextVis, ControlKind::TextBox, "TextVis"), "Vis (cm \xC2\xB2/s)",
               "kinematic viscosity of solution", "0.01");
  SetUpTextBox(Add(TextElectrolyteC, ControlKind::TextBox, "TextElectrolyteC"), "C (M)",
               "support electrolyte concentration", "0.01");
  SetUpTextBox(Add(TextElectrolyteCond, ControlKind::TextBox, "TextElectrolyteCond"), "l",
               "conductivity", "100");
  TextElectrolyteCond.symbolFont = true;
  Control& preEquilibration = Add(CheckPreEqu, ControlKind::CheckBox, "CheckPreEqu");
  preEquilibration.caption = "pre-equilibration";
  preEquilibration.value = true;

  Add(FrameSpecies, ControlKind::Frame, "FrameSpecies").caption = "Species";
  for (int h = 1; h <= decltype(lblSpeciesHead)::kLast; ++h) {
    SetUpHead(Add(lblSpeciesHead(h), ControlKind::Label, "lblSpeciesHead", h), kSpecies,
              kSpeciesHeads[h - 1]);
  }
  for (int i = 1; i <= 6; ++i) {
    const char* concentration = (i == 1) ? "1e-3" : "0";
    SetUpCell(Add(specie(i), ControlKind::Label, "specie", i), kSpecies, "",
              std::string(1, static_cast<char>('A' + i - 1)));
    SetUpCell(Add(C(i), ControlKind::TextBox, "C", i), kSpecies, "analytical concentration",
              concentration);
    SetUpCell(Add(Cinit(i), ControlKind::Label, "Cinit", i), kSpecies, "initial concentration",
              concentration);
    SetUpCell(Add(D(i), ControlKind::TextBox, "D", i), kSpecies, "diffusion coefficient", "1e-5");
    SetUpCell(Add(Cond(i - 1), ControlKind::TextBox, "Cond", i - 1), kSpecies, "conductivity",
              kConductivities[i - 1]);
    addFit(fitting::SlotNumber(fitting::SlotKind::Concentration, i), kSpecies);
    CheckFitted(i).toolTip = "fitted concentration";
    TextCmin(i).toolTip = "mininum concentration";
    TextCmax(i).toolTip = "maxinum concentration";
    const int d = fitting::SlotNumber(fitting::SlotKind::D, i);
    addFit(d, kSpecies);
    CheckFitted(d).toolTip = "fitted diffusion coefficient";
    TextCmin(d).toolTip = "minimum diffusion coefficient";
    TextCmax(d).toolTip = "maximum diffusion coefficient";
  }

  Add(FrameHeter, ControlKind::Frame, "FrameHeter").caption = "Heterogeneous Reaction";
  for (int h = 1; h <= decltype(lblHeterHead)::kLast; ++h) {
    SetUpHead(Add(lblHeterHead(h), ControlKind::Label, "lblHeterHead", h), kHeter,
              kHeterHeads[h - 1]);
  }
  for (int j = 1; j <= 3; ++j) {
    SetUpCell(Add(heter(j), ControlKind::Label, "heter", j), kHeter, "charge reaction",
              std::to_string(j));
    SetUpCell(Add(Eze(j), ControlKind::TextBox, "Eze", j), kHeter, "standard electrode potential",
              kStandardPotentials[j - 1]);
    SetUpCell(Add(ks(j), ControlKind::TextBox, "ks", j), kHeter,
              "heterogeneous standard rate constant", "1e4");
    SetUpCell(Add(alph(j), ControlKind::TextBox, "alph", j), kHeter,
              "electron transfer coefficient", "0.5");
    for (fitting::SlotKind kind : kChargeSlots) addFit(fitting::SlotNumber(kind, j), kHeter);
  }

  Add(FrameHomo, ControlKind::Frame, "FrameHomo").caption = "Homogeneous Reaction";
  for (int h = 1; h <= decltype(lblHomoHead)::kLast; ++h) {
    SetUpHead(Add(lblHomoHead(h), ControlKind::Label, "lblHomoHead", h), kHomo, kHomoHeads[h - 1]);
  }
  for (int k = 1; k <= 4; ++k) {
    SetUpCell(Add(homo(k), ControlKind::Label, "homo", k), kHomo, "chemical reaction",
              std::to_string(k));
    SetUpCell(Add(kf(k), ControlKind::TextBox, "kf", k), kHomo,
              "forward chemical reaction rate constant", "10");
    SetUpCell(Add(kb(k), ControlKind::TextBox, "kb", k), kHomo,
              "backward chemical reaction rate constant", "0.01");
    SetUpCell(Add(LabelKeq(k), ControlKind::Label, "LabelKeq", k), kHomo,
              "chemical equilibrium constant", "");
    Control& p = Add(pl(k), ControlKind::ComboBox, "pl", k);
    SetUpCell(p, kHomo, "stoichiometric number", "");
    p.items = {"1", "2", "3", "4"};
    for (fitting::SlotKind kind : kChemicalSlots) addFit(fitting::SlotNumber(kind, k), kHomo);
  }

  Control& range = Add(TextFitRange, ControlKind::TextBox, "TextFitRange");
  range.caption = "Fit E range (V)";
  range.toolTip = "potential ranges to fit, e.g. -0.3 0.2; 0.25 0.4 (empty: all points)";

  Add(cmdOK, ControlKind::Button, "cmdOK").caption = "OK";
  Load();
}

void FormExpr::Load() {
  for (int k = 1; k <= 4; ++k) pl(k).Choose(0);
}

void FormExpr::ShowFit(int x, bool shown) {
  CheckFitted(x).visible = shown;
  TextCmin(x).visible = shown && CheckFitted(x).value;
  TextCmax(x).visible = shown && CheckFitted(x).value;
}

void FormExpr::ShowSpeciesRow(int i, bool shown) {
  for (Control* cell : {&specie(i), &C(i), &Cinit(i), &D(i), &Cond(i - 1)}) cell->visible = shown;
  ShowFit(fitting::SlotNumber(fitting::SlotKind::Concentration, i), shown);
  ShowFit(fitting::SlotNumber(fitting::SlotKind::D, i), shown);
}

void FormExpr::ShowChargeRow(int j, bool shown) {
  for (Control* cell : {&heter(j), &Eze(j), &ks(j), &alph(j)}) cell->visible = shown;
  for (fitting::SlotKind kind : kChargeSlots) ShowFit(fitting::SlotNumber(kind, j), shown);
}

void FormExpr::ShowChemicalRow(int k, bool shown) {
  for (Control* cell : {&homo(k), &kf(k), &kb(k), &LabelKeq(k), &pl(k)}) cell->visible = shown;
  for (fitting::SlotKind kind : kChemicalSlots) ShowFit(fitting::SlotNumber(kind, k), shown);
}

void FormExpr::Changed(Session& session, Control& control) {
  if (control.name == "C" || control.name == "Eze") {
    CChange(session);
  } else if (control.name == "kf" || control.name == "kb") {
    KeqUpdate(session, control.index);
  }
}

void FormExpr::Clicked(Session& session, Control& control) {
  if (&control == &CheckPreEqu) {
    PreEquilibrationClick(session);
  } else if (control.name == "CheckFitted") {
    ShowFit(control.index, true);  // a box the user can click has its row shown
  } else if (&control == &cmdOK) {
    OkClicked(session);
  }
}

void FormExpr::Chosen(Session& session, Control& control) {
  if (control.name == "pl") CChange(session);
}

void FormExpr::Activated(Session& session) { ChemicalsActivate(session); }

void FormExpr::OkClicked(Session& session) {
  if (CommitShowingMessage(session, ChemicalsOK)) visible = false;
}

void FormExpr::ShowInitialConcentration(int i, double shown, double exact) {
  initialConcentration[static_cast<std::size_t>(i)] = exact;
  Cinit(i).caption = model::FormatPattern(shown, kConcentrationPattern);
}

using model::ReadNumber;

double ShownConcentration(double value) {
  return ReadNumber(model::FormatPattern(model::Finite(value), kConcentrationPattern));
}

model::SolutionPreparation ShownPreparation(Session& session) {
  const model::AppState& app = session.app;
  const FormIns& ins = session.Ins();
  const FormMech& mech = session.Mech();
  const FormExpr& expr = session.Expr();
  model::SolutionPreparation prep;
  for (int i = 1; i <= model::kMaxSpecies; ++i) {
    prep.analytical[static_cast<std::size_t>(i)] = ReadNumber(expr.C(i).text);
  }
  prep.preEquilibrate = expr.CheckPreEqu.value;
  prep.fOverRT = app.temperature > 0.0 ? app.fOverRT : 0.0;  // no temperature committed yet
  prep.Estart = ReadNumber(ins.Estart.text);
  for (int j = 1; j <= model::kMaxCharge; ++j) {
    prep.n[static_cast<std::size_t>(j)] = ReadNumber(mech.NEL(j).text);
    prep.E0[static_cast<std::size_t>(j)] = ReadNumber(expr.Eze(j).text);
  }
  prep.Keq = expr.equilibriumConstant;
  prep.preconcentrate = ins.CheckPreCon.value;
  model::PreconcentrationInput& deposit = prep.preconcentration;
  deposit.Epre = ReadNumber(ins.txtEPre.text);
  deposit.temperature = app.temperature;
  deposit.stirRate = ReadNumber(ins.txtRStir.text);
  deposit.electrodeConstant = ReadNumber(ins.txtPconst.text);
  deposit.area = app.area;
  deposit.D = ReadNumber(expr.D(1).text);
  deposit.viscosity = ReadNumber(expr.TextVis.text);
  deposit.tPre = ReadNumber(ins.txtTPre.text);
  deposit.electrodeVolume = app.electrodeVolume;
  return prep;
}

// The preconcentration factor uses the values the dialogs show now (those the next gather
// stores), so the first simulation already sees the preconcentrated species.
void CChange(Session& session) {
  model::AppState& app = session.app;
  if (app.temperature > 0.0) {
    app.fOverRT = (model::kFaraday / model::kGasConstant) / app.temperature;
  }
  const model::SolutionPreparation prep = ShownPreparation(session);
  const model::Concentrations shown = model::InitialConcentrations(app, prep, ShownConcentration);
  const model::Concentrations exact = model::InitialConcentrations(app, prep);
  FormExpr& expr = session.Expr();
  for (int i = 1; i <= model::kMaxSpecies; ++i) {
    const auto s = static_cast<std::size_t>(i);
    expr.ShowInitialConcentration(i, shown[s], exact[s]);
  }
}

void KeqUpdate(Session& session, int k) {
  FormExpr& expr = session.Expr();
  const double kb = ReadNumber(expr.kb(k).text);
  const double kf = ReadNumber(expr.kf(k).text);
  // A negative kf is refused when the dialog is committed; no constant is shown for it.
  if (!(kb > 0.0) || kf < 0.0) return;
  std::string shown;
  try {
    shown = model::FormatPattern(model::Div(kf, kb), kEquilibriumConstantPattern);
  } catch (const model::Failure&) {
    return;  // the label keeps its text
  }
  if (shown == expr.LabelKeq(k).caption) return;
  expr.LabelKeq(k).caption = shown;
  // The dialog's rounding of Keq: the simulation uses the constant as the label shows it.
  expr.equilibriumConstant[static_cast<std::size_t>(k)] = ReadNumber(shown);
  CChange(session);
}

void PreEquilibrationClick(Session& session) {
  FormExpr& expr = session.Expr();
  for (int i = 1; i <= model::kMaxSpecies; ++i) {
    const double analytical = ReadNumber(expr.C(i).text);
    expr.ShowInitialConcentration(i, ShownConcentration(analytical), analytical);
  }
  if (expr.CheckPreEqu.value) CChange(session);
}

}  // namespace kivex::ui
