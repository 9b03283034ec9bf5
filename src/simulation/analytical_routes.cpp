#include "simulation/analytical_routes.h"

#include <array>

#include "model/checked_math.h"
#include "model/electrode_geometry.h"
#include "model/failure.h"
#include "model/technique_table.h"

namespace kivex::simulation {

using model::AnalyticalCase;
using model::Electrode;
using model::Technique;

namespace {

constexpr Route N = Route::None;
constexpr Route C = Route::ClosedForm;
constexpr Route H = Route::HalfOrderDerivative;
constexpr Route V = Route::Convolution;
constexpr Route S = Route::Superposition;

// Rows: techniques in the Techniques dialog's order; columns: electrodes in the Instrument
// dialog's (planar, sphere, hemisphere, microdisc, cylinder, half cylinder, band, rotating disk,
// thin film).
constexpr std::array<std::array<Route, model::kElectrodeCount>, model::kTechniqueCount> kRoutes{{
    {H, H, H, H, V, V, V, C, V},  // sweep
    {C, C, C, C, C, C, C, C, C},  // DC
    {C, C, C, C, C, C, C, N, N},  // normal pulse
    {C, C, C, C, C, C, C, N, N},  // differential pulse
    {S, S, S, S, S, S, N, N, N},  // square wave
}};

}  // namespace

Route RouteOf(AnalyticalCase c) {
  const auto t = static_cast<int>(c.technique);
  const auto e = static_cast<int>(c.electrode);
  if (t < 1 || t > model::kTechniqueCount || e < 1 || e > model::kElectrodeCount) return N;
  return kRoutes[static_cast<std::size_t>(t - 1)][static_cast<std::size_t>(e - 1)];
}

ConvolutionKind ConvolutionOf(Technique technique) {
  switch (technique) {
    case Technique::Sweep: return ConvolutionKind::Sweep;
    case Technique::NormalPulse: return ConvolutionKind::NormalPulse;
    case Technique::DifferentialPulse: return ConvolutionKind::DifferentialPulse;
    default: return ConvolutionKind::None;
  }
}

double PulseStep(const model::AppState& app, const model::CurveSet& curves, int i) {
  const int sweep = (i - 1) / curves.sweepPointCount;
  return sweep % 2 == 0 ? app.Epulse : -app.Epulse;
}

double PointCurrent(const model::AppState& app, AnalyticalCase c, Geometry geometry,
                    CurrentInputs in, const model::CurveSet& curves, int i,
                    const CellConstants& cell, double& E0eUsed) {
  E0eUsed = in.E0e;
  if (RouteOf(c) == Route::None) return 0.0;
  const bool rotates = model::ElectrodeTraitsOf(c.electrode).rotates;
  switch (c.technique) {
    case Technique::Sweep:
      // The plane and the spherical forms with a fast couple and no ohmic drop; the others take
      // the convolution.
      in.t1 = app.tDrop;
      if (RouteOf(c) == Route::HalfOrderDerivative) return PlanarCurrent(in, cell);
      if (rotates) return RotatingDiskCurrent(in, cell);
      return 0.0;
    case Technique::DC:
      in.t1 = app.tDrop;
      if (rotates) return RotatingDiskCurrent(in, cell);
      return StepCurrent(geometry, in, app.tDrop, cell);
    case Technique::NormalPulse:
      // The step current at E + Epulse, by lowering the standard potential instead.
      in.E0e -= app.Epulse;
      E0eUsed = in.E0e;
      in.t1 = app.tPulse;
      return StepCurrent(geometry, in, app.tPulse, cell);
    case Technique::DifferentialPulse:
      in.t1 = app.tPulse;
      in.t2 = app.tDrop;
      in.step = PulseStep(app, curves, i);
      return DifferentialPulseCurrent(geometry, in, cell);
    default: return 0.0;
  }
}

ElectrodeFields ElectrodeFieldsOf(const model::AppState& app) {
  ElectrodeFields fields;
  auto add = [&fields](FieldShape shape, double size, double weight) {
    if (!(size > 0)) model::ThrowFailure(model::kDivisionByZero);
    fields.field[fields.count] = DiffusionField{shape, size};
    fields.weight[fields.count] = weight;
    ++fields.count;
  };
  const Electrode electrode = model::CaseOf(app).electrode;
  switch (electrode) {
    case Electrode::Planar:
      fields.field[0] = DiffusionField{FieldShape::Planar, 0};
      fields.weight[0] = 1;
      fields.count = 1;
      break;
    case Electrode::Sphere:
    case Electrode::Hemisphere:
    case Electrode::Microdisc:
      add(FieldShape::Sphere, model::EquivalentRadius(electrode, app.radius), 1);
      break;
    case Electrode::Cylinder:
    case Electrode::HalfCylinder: {
      // The side, 2 pi r L (pi r L for the half cylinder), and the flat end, pi r^2 (pi r^2 / 2), a
      // disc like the microdisc: the area the Instrument dialog computes, shared 2L : r.
      if (!(app.length >= 0)) model::ThrowFailure(model::kInvalidArgument);
      const double side = model::CylinderSideShare(app.radius, app.length);
      if (side > 0) add(FieldShape::Cylinder, app.radius, side);
      add(FieldShape::Sphere, model::DiscRadius(app.radius), 1 - side);
      break;
    }
    case Electrode::Band: add(FieldShape::Band, app.radius, 1); break;  // its width
    case Electrode::ThinFilm:
      if (!(app.length > 0)) model::ThrowFailure(model::kInvalidArgument);
      add(FieldShape::Film, app.length, 1);
      break;
    default: break;
  }
  return fields;
}

}  // namespace kivex::simulation
