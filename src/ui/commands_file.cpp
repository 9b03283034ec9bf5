#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "analysis/uneven_spacing.h"
#include "io/csv_export.h"
#include "io/csv_import.h"
#include "io/curve_file.h"
#include "io/curve_portion.h"
#include "io/file_error.h"
#include "io/measured_points.h"
#include "io/whole_file.h"
#include "model/failure.h"
#include "model/number_format.h"
#include "model/number_text.h"
#include "model/parameter_report.h"
#include "model/print_line.h"
#include "numerics/even_resampling.h"
#include "ui/command_failure.h"
#include "ui/commands.h"
#include "ui/file_experiment.h"
#include "ui/form_ins.h"
#include "ui/form_option.h"
#include "ui/form_tech.h"
#include "ui/run_simulation.h"
#include "ui/session.h"

namespace kivex::ui {

namespace {

constexpr std::string_view kNoCurveToExport =
    "Error: there is no curve to export. Simulate or import one first.";

// A write that failed is never silent: the user learns which file and why, and that nothing
// was half-written.
void ShowWriteError(Session& session, const io::FileError& error) {
  session.ShowMessage("Error: " + std::string(error.description()) +
                      ". Any earlier file of that name is unchanged.");
}

void WriteChosenFile(Session& session, std::string_view filter,
                     std::string (*text)(const Session&)) {
  const std::optional<std::string> path = session.platform().ChooseSaveFile(filter);
  if (!path) return;
  try {
    io::WriteWholeFile(*path, text(session));
  } catch (const io::FileError& error) {
    ShowWriteError(session, error);
  }
}

// A word when the points of the curve are not evenly spaced (a measurement recorded at the
// potentials the electrode reached): its step is then their median spacing.
std::optional<std::string> UnevenSpacingLine(const model::CurveSet& curves) {
  const numerics::StepSpread spread = numerics::SpreadOfSteps(
      std::span<const double>(curves.x.data() + 1, static_cast<std::size_t>(curves.pointCount)));
  if (spread.Even()) return std::nullopt;
  return analysis::UnevenStepsText(spread) + ": E step is their median spacing.";
}

}  // namespace

void SaveParameters(Session& session) {
  WriteChosenFile(session, kParameterFilter,
                  [](const Session& s) { return model::ParameterReportText(s.app, s.curves); });
}

void ExportData(Session& session) {
  const model::CurveSet& curves = session.curves;
  if (curves.currentCurve < 1 || curves.currentCurve > curves.curveCount) {
    session.ShowMessage(std::string(kNoCurveToExport));
    return;
  }
  WriteChosenFile(session, kCsvFilter,
                  [](const Session& s) { return io::CsvExportText(s.curves); });
}

void ImportData(Session& session) {
  model::CurveSet& curves = session.curves;
  const std::optional<std::string> path = session.platform().ChooseOpenFile(kImportFilter);
  if (!path) return;
  std::vector<std::string> lines;
  FileExperiment experiment;
  try {
    const io::CurveFile file = io::ReadCurveFile(*path);
    const ImportChoice proposed{io::ProposedColumns(file), {}};
    const std::optional<ImportChoice> choice = session.platform().ChooseImport(file, proposed);
    if (!choice) return;
    const io::MeasuredPoints points =
        io::TakePoints(file, choice->columns, ChosenCurrentSign(session.Ins()));
    // Plain files are taken whole when they fit, as Kivex always read them.
    const io::Portion portion =
        io::ChoosePortion(points.x, points.cycle, choice->portion, file.layout.format.empty());
    const std::vector<std::size_t> indices = portion.Indices();
    io::RefuseStandingPotential(file, choice->columns, points.x, indices);
    io::CsvPairs taken;
    for (std::size_t i : indices) {
      taken.x.push_back(points.x[i]);
      taken.y.push_back(points.y[i]);
    }
    io::StoreMeasuredCurve(taken, curves, session.app.fitting, session.Option().overlap.value);
    lines = points.report;
    lines.insert(lines.end(), portion.report.begin(), portion.report.end());
    if (!taken.x.empty()) {
      experiment = DescribedExperiment(file.layout.settings, points.x, points.t, portion);
    }
  } catch (const io::FileError& error) {
    session.ShowMessage("ReadData Error: " + std::string(error.description()));
    return;
  } catch (const model::Failure& failure) {
    session.ShowMessage(FailureWording::Prefixed("ReadData Error: ").Of(failure));
    return;
  }
  // The technique the curve was measured with, as far as the program knows: the one chosen.
  curves.axisTechnique = static_cast<model::Count>(SelectedTechnique(session.Tech()));

  for (const std::string& line : lines) session.Print(line);
  session.Print(
      model::PrintLine().Text("Number of data point = ").Zone().Integer(curves.pointCount));
  // The programme of the Instrument dialog follows the data; a file of fewer than two points has
  // no step, and what the dialog holds is not replaced by stale potentials.
  FormIns& ins = session.Ins();
  if (curves.pointCount >= 1) {
    ins.Estart.text = model::ShortestText(curves.x(1));
    ins.Changed(session, ins.Estart);
  }
  if (curves.pointCount >= 2) {
    // The axis's own step: between the first two points of an even axis, the median spacing of
    // one whose spacing varies.
    const double step = curves.axisStep;
    session.Print(model::PrintLine().Text("E step = ").Zone().Number(step));
    if (const std::optional<std::string> uneven = UnevenSpacingLine(curves)) session.Print(*uneven);
    // The dialog gets the step as reported (15 significant digits): 0.3 - 0.295 is .005, not
    // the 0.0050000000000000044 that the subtraction leaves in binary.
    ins.Estep.text = model::ShortestText(model::ReadNumber(model::GeneralNumber(step)));
    ins.Changed(session, ins.Estep);  // the drop time follows the step
  }
  // What the file says of its experiment waits for the Instrument dialog's From File.
  if (experiment.Empty()) {
    session.fileExperiment.reset();
  } else {
    session.fileExperiment = experiment;
    session.Print(OfferLine(experiment));
  }
  ins.cmdFromFile.enabled = session.fileExperiment.has_value();

  PlotCurves(session);
  session.ShowResult();
  session.menu.Enable("mnuDisplay");
  session.menu.Enable("mnuData");
}

}  // namespace kivex::ui
