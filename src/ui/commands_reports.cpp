#include <string>
#include <vector>

#include "analysis/half_wave.h"
#include "analysis/peak_finding.h"
#include "analysis/theoretical_peak.h"
#include "model/failure.h"
#include "ui/commands.h"
#include "ui/commit_chain.h"
#include "ui/session.h"

namespace kivex::ui {

namespace {

void PrintAll(Session& session, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) session.Print(line);
}

}  // namespace

void FindPeak(Session& session) {
  session.ShowResult();
  PrintAll(session, analysis::FindPeaks(session.curves, session.plot, session.peaks));
}

void FindHalfwaveE(Session& session) {
  session.ShowResult();
  PrintAll(session, analysis::HalfWaveReport(session.curves));
}

// The values come from what the dialogs show now, so the whole chain is committed first.
void ReportTheoreticalPeak(Session& session) {
  try {
    GatherParameters(session);
  } catch (const model::InputError& error) {
    session.ShowMessage(std::string(error.message()));
    return;
  } catch (const model::Failure& failure) {
    session.ShowMessage(std::string(failure.description()));
    return;
  }
  session.ShowResult();
  PrintAll(session, analysis::TheoreticalPeakReport(session.app));
}

}  // namespace kivex::ui
