#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "analysis/half_wave.h"
#include "analysis/peak_finding.h"
#include "analysis/theoretical_peak.h"
#include "display/peak_marks.h"
#include "model/failure.h"
#include "ui/command_failure.h"
#include "ui/commands.h"
#include "ui/commit_chain.h"
#include "ui/form_option.h"
#include "ui/session.h"

namespace kivex::ui {

namespace {

void PrintAll(Session& session, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) session.Print(line);
}

}  // namespace

void FindPeak(Session& session) {
  session.ShowResult();
  PrintAll(session, analysis::FindPeaks(session.curves, session.plot, session.peaks,
                                        PeakBaselineChoice(session.Option())));
  // The peaks are marked on the plot as it stands, until it is drawn again. A row holding a
  // value of 0 is no peak: a peak's magnitude exceeds the search threshold.
  std::vector<display::PeakMark> marks;
  for (int c = 1; c <= std::min<int>(session.curves.curveCount, model::kMaxShownCurves); ++c) {
    for (int k = 1; k <= analysis::kMaxPeaks; ++k) {
      const double current = session.peaks.PeakCurrent(k, c);
      if (current == 0) break;
      display::PeakMark mark{c, k, session.peaks.PeakPotential(k, c), current, std::nullopt};
      if (const analysis::TangentBaseline& b = session.peaks.Baseline(k, c); b.found) {
        mark.baseline = display::MarkSegment{b.E1, b.I1, b.E2, b.I2};
      }
      marks.push_back(mark);
    }
  }
  if (marks.empty() || !session.picture.frame()) return;
  display::MarkPeaks(session.picture, marks);
  session.platform().PlotChanged();
}

void FindHalfwaveE(Session& session) {
  session.ShowResult();
  PrintAll(session, analysis::HalfWaveReport(session.curves));
}

// The values come from what the dialogs show now, so the whole chain is committed first.
void ReportTheoreticalPeak(Session& session) {
  if (!RunCommand(session, {}, [&] { GatherParameters(session); })) return;
  session.ShowResult();
  PrintAll(session, analysis::TheoreticalPeakReport(session.app));
}

}  // namespace kivex::ui
