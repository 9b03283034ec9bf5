// What a script writer sees: the names near a misspelt one, the listing of every name and a '#'
// inside a word.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "ui/control_listing.h"
#include "ui/nearest_names.h"
#include "ui/script.h"
#include "ui/session.h"

namespace kivex::ui {
namespace {

TEST(NearestNames, FindsSlipsSwapsAndCaseButNotStrangers) {
  const std::vector<std::string> names{"Estart", "Eend", "Estep", "ScanRate", "Ru"};
  EXPECT_EQ(NearestNames("Estrat", names), (std::vector<std::string>{"Estart"}));
  EXPECT_EQ(NearestNames("scanrate", names), (std::vector<std::string>{"ScanRate"}));
  EXPECT_EQ(NearestNames("Estep", names).front(), "Estep");
  EXPECT_TRUE(NearestNames("Temperature", names).empty());
  EXPECT_EQ(NearestSuffix("Scan", names), " (nearest: ScanRate)");
  EXPECT_EQ(NearestSuffix("xyzzy", names), "");
}

struct Batch {
  std::ostringstream out, err;
  ScriptPlatform platform{out, err};
  Session session{platform};
  ScriptRunner runner{session, platform, out};

  int Run(const std::string& script) {
    std::istringstream in(script);
    return runner.Run(in, "s", err);
  }
};

TEST(ScriptErrors, MisspeltNamesAreAnsweredWithTheNearest) {
  Batch a;
  EXPECT_EQ(a.Run("type FormIns.Estrat 0.1\n"), 2);
  EXPECT_NE(a.err.str().find("no control \"FormIns.Estrat\" (nearest: Estart)"), std::string::npos)
      << a.err.str();
  Batch b;
  EXPECT_EQ(b.Run("click FormTek.optTech(2)\n"), 2);
  EXPECT_NE(b.err.str().find("(nearest: FormTech)"), std::string::npos) << b.err.str();
  Batch c;
  EXPECT_EQ(c.Run("choose FormMech.NEL(1) 4\n"), 2);
  EXPECT_NE(c.err.str().find("has no entry \"4\" (entries: \"1\", \"2\", \"3\")"),
            std::string::npos)
      << c.err.str();
}

// A comment after a command: the script_answer_not_left scenario; a '#' inside a word is no
// comment. (The exit status of a refusal and of a stop, and an answer left over by a command
// that asked for no file: the scenarios' .exit files, script_answer_not_left.)
TEST(ScriptComments, EndACommandUnlessInsideAWord) {
  Batch b;
  b.runner.RunLine("file run#2.csv # kept for the export");
  EXPECT_EQ(b.platform.FirstPendingAnswer(), "\"run#2.csv\"");
}

// The Chemicals dialog shows the scheme's rows whether or not it was opened before, and a hidden
// row says why it is hidden.
TEST(ScriptErrors, AChemicalsRowOutsideTheSchemeIsHiddenBeforeAndAfterTheDialogOpens) {
  for (const char* opening : {"", "menu mnuExperimental\n"}) {
    Batch a;
    EXPECT_EQ(a.Run(std::string(opening) + "type FormExpr.kf(1) 5\n"), 2) << opening;
    EXPECT_NE(a.err.str().find("FormExpr.kf(1) is hidden: the Chemicals dialog shows only the "
                               "rows"),
              std::string::npos)
        << a.err.str();
  }
  Batch scheme;
  EXPECT_EQ(scheme.Run("type FormMech.chem(1) B\ntype FormMech.chem(2) C\ntype FormExpr.kf(1) 5\n"),
            0)
      << scheme.err.str();
}

TEST(ControlListing, NamesEveryDialogControlEntryAndSlot) {
  std::ostringstream out;
  std::ostringstream err;
  ScriptPlatform platform{out, err};
  Session session{platform};
  std::ostringstream listing;
  WriteControlListing(session, listing);
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
