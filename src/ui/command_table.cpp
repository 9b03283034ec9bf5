#include "ui/commands.h"
#include "ui/session.h"

namespace kivex::ui {

namespace {

struct CommandEntry {
  std::string_view name;
  Command command;
  LongWork work = LongWork::None;  // what may take seconds: run on the window's worker, with Cancel
};

constexpr CommandEntry kCommands[] = {
    {"mnuExit", Exit},
    {"mnuCopyto", CopyToClipboard},
    {"mnuPrint", PrintPlot},
    {"mnuTech", ShowTechniques},
    {"mnuMechamism", ShowMechanism},
    {"mnuInstrument", ShowInstrument},
    {"mnuExperimental", ShowChemicals},
    {"mnuSimulate", Simulate, LongWork::Simulation},
    {"mnuManualFit", ManualFit, LongWork::Fit},
    {"mnuAutoFit", AutoFit, LongWork::Fit},
    {"mnuManualSeparate", ManualSeparate, LongWork::Fit},
    {"mnuAutoSeparate", AutoSeparate, LongWork::Fit},
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
  for (const CommandEntry& entry : kCommands) {
    if (entry.name == itemName) return entry.command;
  }
  return nullptr;
}

LongWork LongWorkOf(std::string_view itemName) {
  for (const CommandEntry& entry : kCommands) {
    if (entry.name == itemName) return entry.work;
  }
  return LongWork::None;
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
