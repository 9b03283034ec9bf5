#include <functional>
#include <string>

#include "analysis/transforms.h"
#include "model/failure.h"
#include "numerics/calculus.h"
#include "numerics/curve_column.h"
#include "numerics/semi_differentiate.h"
#include "ui/command_failure.h"
#include "ui/commands.h"
#include "ui/run_simulation.h"
#include "ui/session.h"

namespace kivex::ui {

namespace {

// Runs a transform of the working curves and redraws once; a curve the transform refuses (too
// few points, no spacing, a result that would not be finite) is left as it was, with a message.
void Transform(Session& session, const std::function<void(model::CurveSet&)>& transform) {
  try {
    transform(session.curves);
  } catch (const model::Failure& failure) {
    session.ShowMessage(FailureWording{{}, ". The curve is left unchanged."}.Of(failure));
    return;
  }
  PlotCurves(session);
}

// The current curve as a column of y; refused when no curve is current.
std::span<double> CurrentCurve(model::CurveSet& curves) {
  if (curves.currentCurve < 1 || curves.currentCurve > model::kMaxShownCurves) {
    throw model::Failure("There is no current curve");
  }
  return numerics::ColumnOf(curves.y, curves.currentCurve);
}

void ScaleCurrentCurve(Session& session, double factor) {
  Transform(session, [factor](model::CurveSet& c) {
    analysis::ScaleY(CurrentCurve(c), c.pointCount, factor);
  });
}

void ScaleAxis(Session& session, double factor) {
  Transform(session, [factor](model::CurveSet& c) { analysis::ScaleX(c.x, c.pointCount, factor); });
}

}  // namespace

void SemiDifferentiateCurve(Session& session) {
  Transform(session, [](model::CurveSet& c) {
    numerics::SemiDifferentiate(c.x, CurrentCurve(c), c.pointCount);
  });
}

void SemiIntegrateCurve(Session& session) {
  Transform(session, [](model::CurveSet& c) {
    numerics::SemiIntegrate(c.x, CurrentCurve(c), c.pointCount);
  });
}

void DifferentiateCurve(Session& session) {
  Transform(session, [](model::CurveSet& c) {
    numerics::Differentiate(c.x, CurrentCurve(c), c.pointCount);
  });
}

void IntegrateCurve(Session& session) {
  Transform(session,
            [](model::CurveSet& c) { numerics::Integrate(c.x, CurrentCurve(c), c.pointCount); });
}

void ScaleX1000(Session& session) { ScaleAxis(session, 1000); }
void ScaleX10(Session& session) { ScaleAxis(session, 10); }
void ScaleX01(Session& session) { ScaleAxis(session, 0.1); }
void ScaleX0001(Session& session) { ScaleAxis(session, 0.001); }
void NegateX(Session& session) { ScaleAxis(session, -1); }
void ScaleY1000(Session& session) { ScaleCurrentCurve(session, 1000); }
void ScaleY10(Session& session) { ScaleCurrentCurve(session, 10); }
void ScaleY01(Session& session) { ScaleCurrentCurve(session, 0.1); }
void ScaleY0001(Session& session) { ScaleCurrentCurve(session, 0.001); }
void NegateY(Session& session) { ScaleCurrentCurve(session, -1); }

}  // namespace kivex::ui
