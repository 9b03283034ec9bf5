#include "model/selections.h"

#include <gtest/gtest.h>

namespace kivex::model {
namespace {

// The analytical route reads the committed pair back from caseCode: every technique and
// electrode a dialog offers must come back as it was chosen.
TEST(Selections, CommittedCaseReadsBackEveryPair) {
  AppState app;
  for (int technique = 1; technique <= 5; ++technique) {
    for (int electrode = 1; electrode <= 9; ++electrode) {
      app.technique = static_cast<Count>(technique);
      app.electrode = static_cast<Count>(electrode);
      app.caseCode = CaseCode(app);
      // The dialogs may change the selections after the commit; the case does not follow them.
      app.technique = 1;
      app.electrode = 1;
      const AnalyticalCase c = CaseOf(app);
      EXPECT_EQ(c.technique, static_cast<Technique>(technique));
      EXPECT_EQ(c.electrode, static_cast<Electrode>(electrode));
    }
  }
}

}  // namespace
}  // namespace kivex::model
