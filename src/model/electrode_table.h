#pragma once
// Each electrode in one row: the sizes the Instrument dialog asks for, how its area and volume
// follow from them, and how matter diffuses to it. A computation asks the row
// ("ElectrodeTraitsOf(e).diffusion") rather than naming electrodes, so that a new electrode is a
// new row (plus, where it diffuses in a new way, its fields and grid).
//
//   const ElectrodeTraits& row = ElectrodeTraitsOf(Electrode::Band);
//   row.size == SizeBox::Width;          // its size box holds the width
//   EquivalentRadius(row.id, 0.004);     // 0.001: it diffuses as a half cylinder of w / 4

#include <cstdint>
#include <string_view>

#include "model/app_state.h"
#include "model/selections.h"

namespace kivex::model {

// What the Instrument dialog's size box holds for the electrode.
enum class SizeBox : std::uint8_t { None, Radius, Width };

// What its length box holds.
enum class LengthBox : std::uint8_t { None, Length, Thickness };

// How matter diffuses to the electrode: towards a plane, radially in three dimensions (spheres,
// and a disc as the sphere of the same steady state), radially in two (cylinders, and a band as
// the half cylinder of the same long-time current), or across a thin film.
enum class Diffusion : std::uint8_t { Planar, Spherical, Cylindrical, Film };

struct ElectrodeTraits {
  Electrode id = Electrode::None;
  std::string_view caption;  // the Instrument dialog's option
  SizeBox size = SizeBox::None;
  LengthBox length = LengthBox::None;
  bool rotates = false;  // convection by rotation: the rotation rate, Levich's forms
  bool digital = false;  // the finite-difference route serves it
  Diffusion diffusion = Diffusion::Planar;
  bool disc = false;     // a flat disc, which diffuses as a sphere of radius pi r / 4
  bool flatEnd = false;  // a cylinder whose flat end diffuses as a disc of its own
  // The digital route's finer accuracies simulate its own two-dimensional field, not the sphere
  // or cylinder it diffuses as.
  bool exactField = false;
  // Area (cm2) from the size box and the length; nullptr where the user types the area.
  double (*area)(double size, double length) = nullptr;
  // Volume (cm3) from the size, the length and the area, that a preconcentration fills.
  double (*volume)(double size, double length, double area) = nullptr;
};

// The row of electrode `number` (1..kElectrodeCount), or nullptr for any other number.
const ElectrodeTraits* FindElectrode(Count number);

// The row of an electrode; raises Failure ("Unknown electrode 0") for one no dialog offers.
const ElectrodeTraits& ElectrodeTraitsOf(Electrode electrode);

// The electrodes whose current follows a sphere's (the hemisphere as half a sphere, the
// microdisc as a sphere of radius pi r / 4), and those with a long axis.
bool IsSpherical(Electrode electrode);
bool IsCylindrical(Electrode electrode);

// The radius of the sphere a disc of radius r diffuses as: pi r / 4, which carries the disc's
// steady-state current 4 n F D C r on the disc's area (with the program's pi, as the areas the
// user's radius gave were formed with it).
double DiscRadius(double r);

// The radius diffusion sees from the stored size: pi r / 4 for a disc, a quarter of a band's
// width (the half cylinder it diffuses as), the radius itself otherwise.
double EquivalentRadius(Electrode electrode, double size);

// The area the diffusion reaches: a band's half cylinder has pi w L / 4 where the band has w L.
double DiffusingArea(Electrode electrode, double area);

}  // namespace kivex::model
