#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "io/csv_export.h"
#include "io/csv_import.h"
#include "io/curve_file.h"
#include "io/file_error.h"
#include "io/whole_file.h"
#include "model/failure.h"
#include "model/number_format.h"
#include "model/number_text.h"
#include "model/parameter_report.h"
#include "model/print_line.h"
#include "ui/command_failure.h"
#include "ui/commands.h"
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
  const std::optional<std::string> path = session.platform().ChooseOpenFile(kCsvFilter);
  if (!path) return;
  std::vector<std::string> layoutLines;
  try {
    const io::CurveFile file = io::ReadCurveFile(*path);
    const std::optional<io::ColumnChoice> columns = session.platform().ChooseColumns(file.layout);
    if (!columns) return;
    io::StoreMeasuredCurve(io::CurvePoints(file, *columns), curves, session.app.fitting,
                           session.Option().overlap.value);
    layoutLines = io::LayoutReport(file.layout, *columns);
  } catch (const io::FileError& error) {
    session.ShowMessage("ReadData Error: " + std::string(error.description()));
    return;
  } catch (const model::Failure& failure) {
    session.ShowMessage(FailureWording::Prefixed("ReadData Error: ").Of(failure));
    return;
  }
  // The technique the curve was measured with, as far as the program knows: the one chosen.
  curves.axisTechnique = static_cast<model::Count>(SelectedTechnique(session.Tech()));

  for (const std::string& line : layoutLines) session.Print(line);
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
    const double step = std::fabs(curves.x(2) - curves.x(1));
    session.Print(model::PrintLine().Text("E step = ").Zone().Number(step));
    // The dialog gets the step as reported (15 significant digits): 0.3 - 0.295 is .005, not
    // the 0.0050000000000000044 that the subtraction leaves in binary.
    ins.Estep.text = model::ShortestText(model::ReadNumber(model::GeneralNumber(step)));
    ins.Changed(session, ins.Estep);  // the drop time follows the step
  }

  PlotCurves(session);
  session.ShowResult();
  session.menu.Enable("mnuDisplay");
  session.menu.Enable("mnuData");
}

}  // namespace kivex::ui
