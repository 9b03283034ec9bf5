#include "model/curve_set.h"

namespace kivex::model {

void SelectCurveSlot(CurveSet& curves, bool fitting, bool overlapTicked) {
  Count slot = 1;
  if (fitting) {
    slot = 2;
  } else if (overlapTicked && curves.curveCount < kMaxCurves) {
    slot = static_cast<Count>(curves.curveCount + 1);
  }
  curves.curveCount = slot;
  curves.storedCurveCount = slot;
  curves.currentCurve = slot;
}

}  // namespace kivex::model
