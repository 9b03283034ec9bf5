#pragma once
// The electrode's geometry: the surface of the shaped electrodes and the volume of the electrode
// (or of the film) that a preconcentration fills, from the sizes typed in the Instrument dialog.
//
//   ComputesArea(2);                       // true: a sphere's area follows from its radius
//   ElectrodeArea(2, 0.2821, 0.01);        // 4 pi 0.2821^2 = 1.00004 cm2
//   ElectrodeVolume(2, 0.2821, 0.01, 1.0); // 4 pi 0.2821^3 / 3 cm3
//
// Electrodes: 1 planar, 2 spherical, 3 hemispherical, 4 microdisc, 5 cylindrical,
// 6 hemicylindrical, 7 band, 8 rotating disk, 9 thin film.

namespace kivex::model {

// Planar and thin-film electrodes have the area the user types; 2..8 a computed one.
bool ComputesArea(int electrode);

// The area (cm2) of electrodes 2..8 from r, the radius (for the band: its width), and the
// length (cylinders, band). 0 for the others. Raises Failure on overflow.
double ElectrodeArea(int electrode, double r, double length);

// The volume (cm3): a sphere's, hemisphere's, cylinder's or half cylinder's (electrodes 2, 3, 5,
// 6) from the stored radius; for every other electrode a layer of `area` and `length` (the
// microdisc and the band too, with the area as it is shown). Raises Failure on overflow.
double ElectrodeVolume(int electrode, double storedRadius, double length, double area);

}  // namespace kivex::model
