#pragma once
// The electrode's geometry: the surface of the shaped electrodes and the volume of the electrode
// (or of the film) that a preconcentration fills, from the sizes typed in the Instrument dialog.
//
//   ComputesArea(Electrode::Sphere);                       // a sphere's area follows from r
//   ElectrodeArea(Electrode::Sphere, 0.2821, 0.01);        // 4 pi 0.2821^2 = 1.00004 cm2
//   ElectrodeVolume(Electrode::Sphere, 0.2821, 0.01, 1.0); // 4 pi 0.2821^3 / 3 cm3

#include "model/electrode_table.h"

namespace kivex::model {

// Planar and thin-film electrodes have the area the user types; the shaped ones a computed one.
bool ComputesArea(Electrode electrode);

// The area (cm2) of a shaped electrode from r, the radius (for the band: its width), and the
// length (cylinders, band). 0 for the others. Raises Failure on overflow.
double ElectrodeArea(Electrode electrode, double r, double length);

// The share of a cylinder's area on its side, 2 pi r L of 2 pi r L + pi r^2 (the half cylinder's
// halves keep it): 2 L / (2 L + r). The rest is its flat end. Raises Failure when both are 0.
double CylinderSideShare(double radius, double length);

// The volume (cm3): a sphere's, hemisphere's, cylinder's or half cylinder's from the stored
// radius; for every other electrode a layer of `area` and `length` (the microdisc and the band
// too, with the area). Raises Failure on overflow.
double ElectrodeVolume(Electrode electrode, double storedRadius, double length, double area);

}  // namespace kivex::model
