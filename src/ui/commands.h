#pragma once
// The menu commands of the main window, each a plain function on the session, and the dispatch
// by menu item name that the window, scripts and tests share.

#include <string_view>

namespace kivex::ui {

class Session;

using Command = void (*)(Session&);

// The command behind a menu item, or null when the item has none (a menu, a separator, or a
// command this build does not have).
Command FindCommand(std::string_view itemName);

// What work of seconds the item's command may do: a front end runs a simulation or a fit apart
// from its window, says which it is, and lets the user cancel it.
enum class LongWork { None, Simulation, Fit };
LongWork LongWorkOf(std::string_view itemName);

enum class MenuOutcome { Ran, Disabled, Unknown, NotAvailable };

// Runs the command of a menu item as a click would: refused when the item or a menu above it is
// greyed out, or when the item has no command.
MenuOutcome RunMenuItem(Session& session, std::string_view itemName);

// Run menu.
void Simulate(Session& session);

// Run menu: fitting the experiment to the measured curve 1, and peak separation.
void ManualFit(Session& session);
void AutoFit(Session& session);
void ManualSeparate(Session& session);
void AutoSeparate(Session& session);

// Display menu.
void ReportTime(Session& session);
void ShowPlotOptions(Session& session);  // "&Option...": the plot-options dialog, modeless
void Plot(Session& session);             // redraw the plot
void NextCurve(Session& session);        // the next curve becomes current, cycling to 1
void ClearResults(Session& session);     // erase the result window; the plot stays

// Analysis menu: transforms of the current curve (the X commands change the shared axis), each
// redrawing once. A curve the transform cannot take is left unchanged, with a message.
void SemiDifferentiateCurve(Session& session);
void SemiIntegrateCurve(Session& session);
void DifferentiateCurve(Session& session);
void IntegrateCurve(Session& session);
void ScaleX1000(Session& session);
void ScaleX10(Session& session);
void ScaleX01(Session& session);
void ScaleX0001(Session& session);
void NegateX(Session& session);
void ScaleY1000(Session& session);
void ScaleY10(Session& session);
void ScaleY01(Session& session);
void ScaleY0001(Session& session);
void NegateY(Session& session);

// Input menu: show a dialog, creating it if needed.
void ShowTechniques(Session& session);
void ShowMechanism(Session& session);
void ShowInstrument(Session& session);
void ShowChemicals(Session& session);

// A dialog became the active window: its activation step, with any message it raises shown.
class Dialog;
void ActivateDialog(Session& session, Dialog& dialog);

// File menu: the plot picture to the clipboard or the printer.
void CopyToClipboard(Session& session);
void PrintPlot(Session& session);

// Help and File.
void ShowAbout(Session& session);
void Exit(Session& session);

// File menu: the parameter report and curve files. Cancelling a file dialog does nothing; a file
// that cannot be read or written is reported in a message box and changes nothing.
void SaveParameters(Session& session);
void ImportData(Session& session);
void ExportData(Session& session);

// Analysis menu: reports into the result window.
void FindPeak(Session& session);
void FindHalfwaveE(Session& session);
void ReportTheoreticalPeak(Session& session);

}  // namespace kivex::ui
