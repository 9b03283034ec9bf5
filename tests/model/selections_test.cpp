#include "model/selections.h"

#include <gtest/gtest.h>

namespace kivex::model {
namespace {

// The analytical route reads the committed pair back from caseCode: every technique and
// electrode a dialog offers must come back as it was chosen.
TEST(Selections, CommittedCaseReadsBackEveryPair) {
  AppState app;
  for (int pair = 0; pair < 5 * 9; ++pair) {
    app.technique = static_cast<Count>(pair / 9 + 1);
    app.electrode = static_cast<Count>(pair % 9 + 1);
    app.caseCode = CaseCode(app);
    // The dialogs may change the selections after the commit; the case does not follow them.
    app.technique = app.electrode = 1;
    const AnalyticalCase c = CaseOf(app);
    EXPECT_EQ(c.technique, static_cast<Technique>(pair / 9 + 1));
    EXPECT_EQ(c.electrode, static_cast<Electrode>(pair % 9 + 1));
  }
}

}  // namespace
}  // namespace kivex::model
