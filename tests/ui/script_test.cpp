// What a script writer sees: the runner's own commands and what they say when they cannot, the
// names near a misspelt one, the listing of every name and a '#' inside a word.

#include "ui/script.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "support/temp_dir.h"
#include "ui/control_listing.h"
#include "ui/nearest_names.h"
#include "ui/session.h"

namespace kivex::ui {
namespace {

using testing::TempDir;

struct Batch {
  std::ostringstream out, err;
  ScriptPlatform platform{out, err};
  Session session{platform};
  ScriptRunner runner{session, platform, out};

  int Run(const std::string& script) {
    std::istringstream in(script);
    return runner.Run(in, "s", err);
  }
  // The script error a line raises, "" when it runs.
  std::string Error(const std::string& line) {
    try {
      runner.RunLine(line);
    } catch (const ScriptError& error) {
      return error.what();
    }
    return "";
  }
};

TEST(Script, AWriteThatFailsLeavesTheEarlierFileWholeAndSaysWhy) {
  Batch f;
  TempDir dir;
  ASSERT_EQ(f.Error("menu mnuSimulate"), "");
  const std::string curves = dir.Write("curves.csv", "earlier curves\n");
  const std::string plot = dir.Write("plot.svg", "earlier plot\n");
  // A file-size limit stops the write part way, as a full disk does.
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limited = saved;
  limited.rlim_cur = 100;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  const std::string curvesError = f.Error("write-curves " + curves);
  const std::string plotError = f.Error("write-plot " + plot);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previousHandler);
  EXPECT_EQ(curvesError, "could not write \"" + curves + "\": File too large");
  EXPECT_EQ(plotError, "could not write \"" + plot + "\": File too large");
  EXPECT_EQ(TempDir::Read(curves), "earlier curves\n");
  EXPECT_EQ(TempDir::Read(plot), "earlier plot\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

TEST(NearestNames, FindsSlipsSwapsAndCaseButNotStrangers) {
  const std::vector<std::string> names{"Estart", "Eend", "Estep", "ScanRate", "Ru"};
  EXPECT_EQ(NearestNames("Estrat", names), (std::vector<std::string>{"Estart"}));
  EXPECT_EQ(NearestNames("scanrate", names), (std::vector<std::string>{"ScanRate"}));
  EXPECT_EQ(NearestNames("Estep", names).front(), "Estep");
  EXPECT_TRUE(NearestNames("Temperature", names).empty());
  EXPECT_EQ(NearestSuffix("Scan", names), " (nearest: ScanRate)");
  EXPECT_EQ(NearestSuffix("xyzzy", names), "");
}

// A misspelt name is answered with the nearest; a Chemicals row outside the scheme is hidden,
// whether or not the dialog was opened before, and says why.
TEST(ScriptErrors, MisspeltOrHiddenNamesSayWhy) {
  const char* hidden = "FormExpr.kf(1) is hidden: the Chemicals dialog shows only the rows";
  const std::pair<const char*, const char*> cases[] = {
      {"type FormIns.Estrat 0.1\n", "no control \"FormIns.Estrat\" (nearest: Estart)"},
      {"click FormTek.optTech(2)\n", "(nearest: FormTech)"},
      {"choose FormMech.NEL(1) 4\n", "has no entry \"4\" (entries: \"1\", \"2\", \"3\")"},
      {"type FormExpr.kf(1) 5\n", hidden},
      {"menu mnuExperimental\ntype FormExpr.kf(1) 5\n", hidden}};
  for (const auto& [script, answer] : cases) {
    Batch b;
    EXPECT_EQ(b.Run(script), 2) << script;
    EXPECT_NE(b.err.str().find(answer), std::string::npos) << b.err.str();
  }
  Batch scheme;
  EXPECT_EQ(scheme.Run("type FormMech.chem(1) B\ntype FormMech.chem(2) C\ntype FormExpr.kf(1) 5\n"),
            0)
      << scheme.err.str();
}

// A comment after a command: the script_answer_not_left scenario; a '#' inside a word is no
// comment. (The exit status of a refusal and of a stop, and an answer left over by a command
// that asked for no file: the scenarios' .exit files, script_answer_not_left.)
TEST(ScriptComments, EndACommandUnlessInsideAWord) {
  Batch b;
  b.runner.RunLine("file run#2.csv # kept for the export");
  EXPECT_EQ(b.platform.FirstPendingAnswer(), "\"run#2.csv\"");
}

TEST(ControlListing, NamesEveryDialogControlEntryAndSlot) {
  Batch b;
  std::ostringstream listing;
  WriteControlListing(b.session, listing);
  const std::string text = listing.str();
  for (const std::string_view dialog : Session::kDialogNames) {
    EXPECT_NE(text.find(std::string(dialog) + "\n"), std::string::npos) << dialog;
  }
  EXPECT_NE(text.find("  NEL(1)  list  entries: \"1\" \"2\" \"3\"\n"), std::string::npos);
  EXPECT_NE(text.find("  7  ks(1)  standard rate constant (cm/s) of charge reaction 1\n"),
            std::string::npos);
  EXPECT_NE(text.find("  29  D(6)  diffusion coefficient"), std::string::npos);
}

}  // namespace
}  // namespace kivex::ui
