#pragma once
// The microdisc and the band in two dimensions, for the fine and finest accuracy of the digital
// route: their own fields (disc_field.h) instead of the sphere or half cylinder of the same
// long-time current, which read up to 7 % off while the layer is as thick as the electrode is
// wide.
//
// Every species diffuses with its own D, every electron transfer follows Butler-Volmer kinetics
// at each cell of the disc, and first-order chemistry couples the species in every cell. A step
// is fully implicit: the whole field is one banded system, eliminated once per kind of step; the
// potential enters only through the transfers' rates, so each step solves the field once for
// zero flux and then a small system for the fluxes through the disc's cells, whose responses the
// elimination prepared. Time as in the one-dimensional route: the sub-steps after a potential
// jump are a backward Euler step and then the second-order backward formula; a sweep ramps the
// potential linearly through its sub-steps from the point before, all of the second-order
// formula after the run's first.
//
// Refused with a Failure that says to choose the standard accuracy: second-order chemistry and
// an uncompensated resistance.

#include <array>
#include <vector>

#include "model/app_state.h"
#include "model/curve_set.h"
#include "simulation/cancellation.h"
#include "simulation/digital_simulation.h"
#include "simulation/disc_field.h"

namespace kivex::simulation {

inline constexpr int kMaxDiscKinds = 6;

// One kind of step: its effective length, the field's factors and the responses to unit fluxes.
struct DiscKind {
  double dt = 0;
  BandMatrix matrix;
  std::vector<double> response;  // [unknown * fluxes + flux]: inv(A) times the flux's column
};

// The storage of two-dimensional runs, kept by the DigitalWorkspace; it grows to the largest run
// and is reused, so the time steps allocate nothing.
struct DiscStorage {
  DiscGrid grid;
  std::array<DiscKind, kMaxDiscKinds> kinds;
  std::vector<double> c;       // [(row * columns + column) * species + s - 1], over cRef
  std::vector<double> before;  // the profile one step back
  std::vector<double> initial;
  std::vector<double> rhs;
  std::vector<double> flux;  // [transfer * columns + column]
  DenseSystem fluxSystem;
};

// The whole programme of `app` on its microdisc (radius app.radius) or band (width app.radius),
// written as the digital route writes it (reduction currents positive, the total after the
// transfers, the surface concentrations as means over the electrode's area). `completed` counts
// the finished points.
void DiscSimulation(model::AppState& app, model::CurveSet& curves, DiscStorage& storage,
                    const DigitalResolution& resolution, const StopRequest& stop, int& completed);

}  // namespace kivex::simulation
