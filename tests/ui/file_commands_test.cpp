// The File menu's curve and report files as a user runs them: file dialogs, report lines,
// messages, the Instrument dialog and the menus. (The parameter report's bytes and a curve read
// back after export: the parameter_report and curve_files scenarios.)

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

using testing::Click;
using testing::SessionFixture;
using testing::TempDir;

// `count` lines "x, y" with potentials from `start` down by `step`.
std::string Sweep(int count, double start, double step, double scale = 1e-6) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    const double x = start - step * i;
    text += model::ShortestText(x) + ", " + model::ShortestText(scale * (i + 1)) + "\r\n";
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

TEST(ImportData, ReadsTheFileReportsItAndFillsTheInstrumentDialog) {
  SessionFixture f;
  TempDir dir;
  Import(f, dir.Write("sweep.csv", Sweep(61, 0.3, 0.01)));
  EXPECT_EQ(f.platform.filters, std::vector<std::string>{"csv|*.csv|all|*.*"});
  EXPECT_TRUE(f.platform.messages.empty());
  EXPECT_EQ(f.platform.lines,
            (std::vector<std::string>{"Number of data point =       61 ", "E step =       .01 "}));
  EXPECT_EQ(f.session.curves.pointCount, 61);
  EXPECT_DOUBLE_EQ(f.session.curves.y(61, 1), 61e-6);
  // Descending potentials give a positive step, as reported rather than 0.30-0.29 in binary.
  EXPECT_EQ(f.session.Ins().Estart.text, "0.3");
  EXPECT_EQ(f.session.Ins().Estep.text, "0.01");
  EXPECT_TRUE(f.session.result.visible);
  EXPECT_EQ(f.platform.plotChanges, 1);
  EXPECT_TRUE(f.session.menu.Reachable("mnuFindPeak"));
  EXPECT_FALSE(f.session.menu.Reachable("mnuManualFit"));
}

TEST(ImportData, WithOverlapTheNextSlotGetsACurveOnTheSamePotentialsOnly) {
  SessionFixture f;
  TempDir dir;
  const std::string path = dir.Write("a.csv", Sweep(10, 0.3, 0.01));
  Click(f.session, "formOption.overlap");
  for (int k = 1; k <= 3; ++k) Import(f, path);
  EXPECT_EQ(f.session.curves.curveCount, 3);
  // Other potentials: the curves held cannot be drawn over them, so the import starts afresh.
  Import(f, dir.Write("b.csv", Sweep(5, -0.1, -0.02, 2e-6)));
  const model::CurveSet& curves = f.session.curves;
  EXPECT_EQ(curves.currentCurve, 1);
  EXPECT_EQ(curves.storedCurveCount, 1);
  EXPECT_EQ(curves.pointCount, 5);
  EXPECT_DOUBLE_EQ(curves.x(2), -0.08);
  EXPECT_DOUBLE_EQ(curves.y(2, 1), 4e-6);
}

// A file that fails after some pairs were read changes nothing. (The messages of a header, an odd
// field count and a missing file: the curve_files scenario.)
TEST(ImportData, EachBadFileShowsItsMessageAndLeavesCurvesAndCountsAsTheyWere) {
  SessionFixture f;
  TempDir dir;
  Import(f, dir.Write("good.csv", Sweep(61, 0.3, 0.01)));
  // With overlap ticked a good import would move to curve 2; a bad one must not.
  Click(f.session, "formOption.overlap");
  const auto before = Snapshot(f);
  const int plots = f.platform.plotChanges;

  std::string tooLong;
  for (int i = 0; i < 4001; ++i) tooLong += "1,2\n";
  const std::pair<std::string, std::string> cases[] = {
      {dir.Write("word.csv", "0.5, 1\n0.4, 2 uA\n"),
       "ReadData Error: line 2: \"2 uA\" is not a number"},
      {dir.Write("long.csv", tooLong),
       "ReadData Error: line 4001: more than 4000 pairs of values; a curve holds at most 4000 "
       "points"},
  };
  for (const auto& [path, message] : cases) {
    f.platform.messages.clear();
    Import(f, path);
    EXPECT_EQ(f.platform.messages, std::vector<std::string>{message});
    EXPECT_EQ(Snapshot(f), before) << path;
  }
  EXPECT_EQ(f.platform.plotChanges, plots);

  // Cancelling the dialog is no error and changes nothing either.
  f.platform.messages.clear();
  f.platform.fileAnswers.push_back(std::nullopt);
  RunMenuItem(f.session, "mnuImport");
  EXPECT_TRUE(f.platform.messages.empty());
  EXPECT_EQ(Snapshot(f), before);
}

TEST(ImportData, FewerThanTwoPairsCopyNoStaleStepIntoTheDialog) {
  SessionFixture f;
  TempDir dir;
  Import(f, dir.Write("sweep.csv", Sweep(20, 0.3, 0.01)));
  testing::Type(f.session, "FormIns.Estart", "0.2");
  testing::Type(f.session, "FormIns.Estep", "0.002");
  f.platform.lines.clear();

  Import(f, dir.Write("empty.csv", ""));
  // Nothing to draw is the plot's own message, not a read error.
  EXPECT_EQ(f.platform.messages, std::vector<std::string>{"Error: No data!"});
  EXPECT_EQ(f.platform.lines, std::vector<std::string>{"Number of data point =       0 "});
  EXPECT_EQ(f.session.curves.pointCount, 0);
  EXPECT_EQ(f.session.curves.lastPoint, 0);
  EXPECT_EQ(f.session.Ins().Estart.text, "0.2");
  EXPECT_EQ(f.session.Ins().Estep.text, "0.002");

  f.platform.lines.clear();
  Import(f, dir.Write("one.csv", "-0.25, 1e-6\n"));
  EXPECT_EQ(f.platform.lines, std::vector<std::string>{"Number of data point =       1 "});
  EXPECT_EQ(f.session.Ins().Estart.text, "-0.25");
  EXPECT_EQ(f.session.Ins().Estep.text, "0.002");
}

TEST(ImportData, TheOutputQuantityNeverOverwritesAnImportedCurve) {
  SessionFixture f;
  TempDir dir;
  RunMenuItem(f.session, "mnuSimulate");
  Import(f, dir.Write("measured.csv", "0.3, 1e-6\n0.2, 2e-6\n0.1, 3e-6\n"));
  ASSERT_EQ(f.session.curves.pointCount, 3);
  // The plot options' OK applies the output quantity; the measured values stay.
  Click(f.session, "formOption.cmdOK");
  EXPECT_EQ(testing::Curve(f.session, 1), (std::vector<double>{1e-6, 2e-6, 3e-6}));
}

// Export writes the current curve; Export and Save ask with their own filter, are silent when
// cancelled and say so when they cannot write.
TEST(ExportAndSave, WriteTheirFileOrSayWhyNot) {
  SessionFixture f;
  TempDir dir;
  RunMenuItem(f.session, "mnuExport");  // nothing to export yet: no file is asked for
  EXPECT_EQ(f.platform.messages,
            std::vector<std::string>{
                "Error: there is no curve to export. Simulate or import one first."});
  EXPECT_TRUE(f.platform.filters.empty());
  f.platform.messages.clear();
  Import(f, dir.Write("in.csv", "0.3, 1.5E-05\n-0.25, -2e-6\n"));
  f.platform.fileAnswers.push_back(dir.File("out.csv"));
  RunMenuItem(f.session, "mnuExport");
  EXPECT_EQ(TempDir::Read(dir.File("out.csv")),
            " .3 ,          1.5E-05 \r\n-.25 ,        -2E-06 \r\n");

  struct Case {
    const char* item;
    const char* filter;
    std::string target;
    const char* reason;
  };
  const Case cases[] = {
      {"mnuExport", "csv|*.csv|all|*.*", dir.File("gone/out.csv"), "No such file or directory"},
      {"mnuSave", "parameter (*.par)|*.par|all|*.*", dir.path().string(), "Is a directory"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.item);
    f.platform.messages.clear();
    f.platform.fileAnswers = {std::nullopt, c.target};
    RunMenuItem(f.session, c.item);
    EXPECT_TRUE(f.platform.messages.empty());
    EXPECT_EQ(f.platform.filters.back(), c.filter);
    RunMenuItem(f.session, c.item);
    EXPECT_EQ(f.platform.messages,
              std::vector<std::string>{"Error: could not write \"" + c.target + "\": " + c.reason +
                                       ". Any earlier file of that name is unchanged."});
  }
}

}  // namespace
}  // namespace kivex::ui
