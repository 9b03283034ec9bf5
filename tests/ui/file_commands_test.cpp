// The File menu's curve import as a user runs it. (Short files, overlap, export refusals and the
// parameter report: the curve_files, parameter_report and ui_* scenarios; the file types the
// dialog starts with: MainWindow.ImportTakesTheChosenColumnsAndCancelChangesNothing.)

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "model/number_text.h"
#include "support/temp_dir.h"
#include "support/test_platform.h"
#include "ui/commands.h"
#include "ui/form_ins.h"
#include "ui/session_actions.h"

namespace kivex::ui {
namespace {

using testing::SessionFixture;
using testing::TempDir;

// `count` lines "x, y" with potentials from 0.3 V down in 10 mV steps.
std::string Sweep(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    text +=
        model::ShortestText(0.3 - 0.01 * i) + ", " + model::ShortestText(1e-6 * (i + 1)) + "\r\n";
  }
  return text;
}

void Import(SessionFixture& f, const std::string& path) {
  f.platform.fileAnswers.push_back(path);
  ASSERT_EQ(RunMenuItem(f.session, "mnuImport"), MenuOutcome::Ran);
}

// Everything an import may change, to show that a failed one changed nothing.
auto Snapshot(SessionFixture& f) {
  std::vector<std::vector<double>> curves;
  for (int k = 0; k <= model::kMaxCurves; ++k) curves.push_back(testing::Curve(f.session, k));
  const model::CurveSet& c = f.session.curves;
  const std::vector<int> counts = {c.pointCount, c.firstPoint,       c.lastPoint,
                                   c.curveCount, c.storedCurveCount, c.currentCurve};
  return std::tuple(curves, counts, f.platform.lines.size(), f.session.Ins().Estart.text,
                    f.session.Ins().Estep.text);
}

// A good file is read, reported, plotted and opens the analyses; a file that fails after some
// pairs were read changes nothing. (A header, an odd field count, a missing file: curve_files.)
TEST(ImportData, EachBadFileShowsItsMessageAndLeavesCurvesAndCountsAsTheyWere) {
  SessionFixture f;
  TempDir dir;
  Import(f, dir.Write("good.csv", Sweep(61)));
  EXPECT_EQ(f.platform.lines,
            (std::vector<std::string>{"Number of data point =       61 ", "E step =       .01 "}));
  EXPECT_DOUBLE_EQ(f.session.curves.y(61, 1), 61e-6);
  EXPECT_EQ(f.platform.plotChanges, 1);
  EXPECT_TRUE(f.session.menu.Reachable("mnuFindPeak"));
  EXPECT_FALSE(f.session.menu.Reachable("mnuManualFit"));
  // With overlap ticked a good import would move to curve 2; a bad one must not.
  testing::Click(f.session, "formOption.overlap");
  const auto before = Snapshot(f);

  // Read to its end before the fault is known. (A word in a field: curve_files.)
  Import(f, dir.Write("odd.csv", Sweep(61) + "0.5\n"));
  EXPECT_EQ(f.platform.messages,
            std::vector<std::string>{"ReadData Error: line 62: the last potential has no value "
                                     "after it (odd number of fields)"});
  EXPECT_EQ(Snapshot(f), before);
  EXPECT_EQ(f.platform.plotChanges, 1);

  // Cancelling the dialog is no error and changes nothing either.
  f.platform.messages.clear();
  f.platform.fileAnswers.push_back(std::nullopt);
  RunMenuItem(f.session, "mnuImport");
  EXPECT_TRUE(f.platform.messages.empty());
  EXPECT_EQ(Snapshot(f), before);
}

}  // namespace
}  // namespace kivex::ui
