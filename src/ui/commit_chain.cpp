#include "ui/commit_chain.h"

#include <cmath>
#include <string>

#include "model/failure.h"
#include "model/number_text.h"
#include "ui/form_expr.h"
#include "ui/form_ins.h"
#include "ui/form_mech.h"
#include "ui/form_tech.h"
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

double CyclesOf(const Control& scan) {
  switch (scan.listIndex) {
    case 1: return 1.0;
    case 2: return 2.0;
    default: return 0.5;
  }
}

}  // namespace

void MechanismOK(Session& session) {
  TechniquesOK(session);
  BuildReactionScheme(session);
}

// The scheme builder is not in this build yet; the scheme fields keep their values.
void BuildReactionScheme(Session& session) { TechniquesOK(session); }

void InstrumentOK(Session& session) {
  MechanismOK(session);
  FormIns& ins = session.Ins();
  // Convert the strict fields first so that a bad one leaves the whole instrument state as it was.
  const double Estep = StrictField(ins.Estep, "E step (V)");
  const double scanRate = StrictField(ins.V, "v (V/s)");

  model::AppState& app = session.app;
  app.Estart = ReadNumber(ins.Estart.text);
  app.Eend = ReadNumber(ins.Eend.text);
  app.Estep = std::fabs(Estep);
  app.area = ReadNumber(ins.ARE.text);
  app.Cdl = ReadNumber(ins.Cdl.text);
  app.Ru = ReadNumber(ins.txtRu.text);
  app.temperature = ReadNumber(ins.txttemp.text) + model::kCelsiusZero;
  app.Epulse = ReadNumber(ins.Epulse.text);
  app.noise = ReadNumber(ins.Noise.text);
  app.tDrop = ReadNumber(ins.td.text);
  app.tPulse = ReadNumber(ins.tp.text);
  app.scanRate = std::fabs(scanRate);
  app.length = ReadNumber(ins.leng.text);
  // The band electrode's box holds the width; the current functions use a quarter of it.
  app.radius = ReadNumber(ins.radius.text) / (app.electrode == 7 ? 4.0 : 1.0);
  app.omega = ReadNumber(ins.TextRrate.text) * model::kPi / 30.0;
  app.cycles = CyclesOf(ins.ComboScan);
  app.committed = true;
  RadiusChange(session);
}

// The geometry step is not in this build yet: the area is taken as typed.
void RadiusChange(Session& session) {
  session.app.length = ReadNumber(session.Ins().leng.text);
  session.app.area = ReadNumber(session.Ins().ARE.text);
}

// Row layout and initial concentrations are not in this build yet: activation commits the
// dialogs before it.
void ChemicalsActivate(Session& session) { InstrumentOK(session); }

void ChemicalsOK(Session& session) {
  ChemicalsActivate(session);
  GatherParameters(session);
}

void GatherParameters(Session& session) {
  InstrumentOK(session);
  model::AppState& app = session.app;
  if (!(app.temperature > 0.0)) {
    throw model::InputError(
        "Error: the temperature must be above -273.14 \xC2\xB0" "C. Please correct it in the "
        "Instrument dialog.");
  }

  FormExpr& expr = session.Expr();
  FormMech& mech = session.Mech();
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
    app.Keq(k) = ReadNumber(expr.LabelKeq(k).caption);
    app.p(k) = ReadNumber(expr.pl(k).text);
  }
  for (int i = 1; i <= model::kMaxSpecies; ++i) {
    app.D(i) = ReadNumber(expr.D(i).text);
    app.Cinit(i) = ReadNumber(expr.Cinit(i).caption);
    app.conductivity(i) = ReadNumber(expr.Cond(i - 1).text);
  }
  if (!app.digital) {
    app.caseCode = model::ToCount(static_cast<long long>(app.electrode) + 10LL * app.technique);
  }
  app.fOverRT = (model::kFaraday / model::kGasConstant) / app.temperature;
  app.RToverF = 1.0 / app.fOverRT;
}

}  // namespace kivex::ui
