#include <functional>
#include <optional>
#include <string>

#include "analysis/transforms.h"
#include "model/failure.h"
#include "numerics/curve_column.h"
#include "ui/command_failure.h"
#include "ui/commands.h"
#include "ui/run_simulation.h"
#include "ui/session.h"

namespace kivex::ui {

namespace {

// Runs a transform of the working curves and redraws once; a curve the transform refuses (too
// few points, no spacing, a result that would not be finite) is left as it was, with a message.
// A transform that had to resample the curve says so in the result window.
void Transform(Session& session,
               const std::function<std::optional<std::string>(model::CurveSet&)>& transform) {
  std::optional<std::string> note;
  try {
    note = transform(session.curves);
  } catch (const model::Failure& failure) {
    session.ShowMessage(FailureWording{{}, ". The curve is left unchanged."}.Of(failure));
    return;
  }
  if (note) {
    session.ShowResult();
    session.Print(*note);
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
  Transform(session, [factor](model::CurveSet& c) -> std::optional<std::string> {
    analysis::ScaleY(CurrentCurve(c), c.pointCount, factor);
    return std::nullopt;
  });
}

void ScaleAxis(Session& session, double factor) {
  Transform(session, [factor](model::CurveSet& c) -> std::optional<std::string> {
    analysis::ScaleX(c.x, c.pointCount, factor);
    return std::nullopt;
  });
}

// One of the Analysis menu's calculus transforms of the current curve.
void TransformCurrentCurve(Session& session, analysis::CurveTransform transform) {
  Transform(session, [transform](model::CurveSet& c) {
    return analysis::TransformCurve(c.x, CurrentCurve(c), c.pointCount, transform);
  });
}

}  // namespace

void SemiDifferentiateCurve(Session& session) {
  TransformCurrentCurve(session, analysis::CurveTransform::SemiDifferentiate);
}

void SemiIntegrateCurve(Session& session) {
  TransformCurrentCurve(session, analysis::CurveTransform::SemiIntegrate);
}

void DifferentiateCurve(Session& session) {
  TransformCurrentCurve(session, analysis::CurveTransform::Differentiate);
}

void IntegrateCurve(Session& session) {
  TransformCurrentCurve(session, analysis::CurveTransform::Integrate);
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
