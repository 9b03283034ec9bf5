// The script runner's own commands: what they write and what they say when they cannot.

#include "ui/script.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <sstream>
#include <string>

#include "support/temp_dir.h"
#include "ui/session.h"

namespace kivex::ui {
namespace {

using testing::TempDir;

struct ScriptFixture {
  std::ostringstream out;
  std::ostringstream err;
  ScriptPlatform platform{out, err};
  Session session{platform};
  ScriptRunner runner{session, platform, out};

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
  ScriptFixture f;
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

TEST(Script, AColumnBeyondTheFileIsRefusedByTheImportThatKnowsItsColumns) {
  ScriptFixture f;
  TempDir dir;
  ASSERT_EQ(f.Error("columns 2 1000"), "");
  ASSERT_EQ(f.Error("file " + dir.Write("two.csv", "0.1,1e-6\n0.2,2e-6\n")), "");
  ASSERT_EQ(f.Error("menu mnuImport"), "");
  EXPECT_EQ(f.err.str(),
            "message: ReadData Error: column 1000 was chosen, but the file has 2 columns\n");
  EXPECT_EQ(f.Error("columns 2 x"), "columns needs two different column numbers, E and I, or auto");
}

}  // namespace
}  // namespace kivex::ui
