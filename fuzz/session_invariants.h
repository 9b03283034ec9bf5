#pragma once
// What must hold of a session after any command, whatever the user typed or clicked: counts
// within the tables, no non-finite number in a curve that is shown, and every shown curve on the
// points and potentials of its own run or import (never a mix of two), with the current curve
// among those shown.

#include <cmath>

#include "fuzz_check.h"
#include "model/curve_set.h"
#include "ui/session.h"

namespace kivex::fuzz {

inline void CheckSession(const ui::Session& session) {
  const model::CurveSet& curves = session.curves;
  FUZZ_CHECK(curves.pointCount >= 0 && curves.pointCount <= model::kMaxPoints);
  FUZZ_CHECK(curves.firstPoint >= 0 && curves.lastPoint <= model::kMaxPoints);
  FUZZ_CHECK(curves.curveCount >= 0 && curves.curveCount <= model::kMaxShownCurves);
  FUZZ_CHECK(curves.curveCount == 0 ||
             (curves.currentCurve >= 1 && curves.currentCurve <= curves.curveCount));
  FUZZ_CHECK(model::ShownCurvesBelongToAxis(curves));
  for (int i = std::max<int>(curves.firstPoint, 1); i <= curves.lastPoint; ++i) {
    FUZZ_CHECK(std::isfinite(curves.x(i)));
    for (int k = 1; k <= curves.curveCount; ++k) FUZZ_CHECK(std::isfinite(curves.y(i, k)));
  }
  const model::AppState& app = session.app;
  FUZZ_CHECK(app.speciesCount >= 0 && app.speciesCount <= model::kMaxSpecies);
  FUZZ_CHECK(app.chemCount + app.chem2Count <= model::kMaxChem);
}

}  // namespace kivex::fuzz
