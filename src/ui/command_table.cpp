#include <utility>

#include "ui/commands.h"
#include "ui/session.h"

namespace kivex::ui {

namespace {

constexpr std::pair<std::string_view, Command> kCommands[] = {
    {"mnuExit", Exit},
    {"mnuCopyto", CopyToClipboard},
    {"mnuPrint", PrintPlot},
    {"mnuTech", ShowTechniques},
    {"mnuMechamism", ShowMechanism},
    {"mnuInstrument", ShowInstrument},
    {"mnuExperimental", ShowChemicals},
    {"mnuSimulate", Simulate},
    {"mnuManualFit", ManualFit},
    {"mnuAutoFit", AutoFit},
    {"mnuManualSeparate", ManualSeparate},
    {"mnuAutoSeparate", AutoSeparate},
    {"mnuTime", ReportTime},
    {"mnuOption", ShowPlotOptions},
    {"mnuPlot", Plot},
    {"mnuNextCurve", NextCurve},
    {"mnuClear", ClearResults},
    {"mnuAbout", ShowAbout},
    {"mnuSave", SaveParameters},
    {"mnuImport", ImportData},
    {"mnuExport", ExportData},
    {"mnuFindPeak", FindPeak},
    {"mnuFindHalfwaveE", FindHalfwaveE},
    {"mnuTheoPeak", ReportTheoreticalPeak},
    {"mnuSemi", SemiDifferentiateCurve},
    {"mnuSemiInte", SemiIntegrateCurve},
    {"mnuDerivative", DifferentiateCurve},
    {"mnuIntegral", IntegrateCurve},
    {"mnu1000X", ScaleX1000},
    {"mnu10X", ScaleX10},
    {"mnu01X", ScaleX01},
    {"mnu0001X", ScaleX0001},
    {"mnuMinusX", NegateX},
    {"mnu1000Y", ScaleY1000},
    {"mnu10Y", ScaleY10},
    {"mnu01Y", ScaleY01},
    {"mnu0001Y", ScaleY0001},
    {"mnuMinusY", NegateY},
};

}  // namespace

Command FindCommand(std::string_view itemName) {
  for (const auto& [name, command] : kCommands) {
    if (name == itemName) return command;
  }
  return nullptr;
}

MenuOutcome RunMenuItem(Session& session, std::string_view itemName) {
  if (session.menu.Find(itemName) == nullptr) return MenuOutcome::Unknown;
  if (!session.menu.Reachable(itemName)) return MenuOutcome::Disabled;
  const Command command = FindCommand(itemName);
  if (command == nullptr) return MenuOutcome::NotAvailable;
  command(session);
  return MenuOutcome::Ran;
}

}  // namespace kivex::ui
