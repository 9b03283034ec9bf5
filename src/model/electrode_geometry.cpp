#include "model/electrode_geometry.h"

#include "model/app_state.h"
#include "model/checked_math.h"

namespace kivex::model {

bool ComputesArea(Electrode electrode) {
  switch (electrode) {
    case Electrode::Sphere:
    case Electrode::Hemisphere:
    case Electrode::Microdisc:
    case Electrode::Cylinder:
    case Electrode::HalfCylinder:
    case Electrode::Band:
    case Electrode::RotatingDisk: return true;
    default: return false;
  }
}

double ElectrodeArea(Electrode electrode, double r, double length) {
  switch (electrode) {
    case Electrode::Sphere: return Finite(4.0 * kPi * r * r);      // sphere
    case Electrode::Hemisphere: return Finite(2.0 * kPi * r * r);  // hemisphere
    case Electrode::Microdisc: return Finite(kPi * r * r);         // disc
    case Electrode::Cylinder:
      return Finite(kPi * r * r + 2.0 * kPi * r * length);  // cylinder with its end
    case Electrode::HalfCylinder:
      return Finite(kPi * r * r / 2.0 + kPi * r * length);     // half cylinder
    case Electrode::Band: return Finite(length * r);           // band: length x width
    case Electrode::RotatingDisk: return Finite(kPi * r * r);  // rotating disc
    default: return 0.0;
  }
}

double CylinderSideShare(double radius, double length) {
  return Div(2 * length, 2 * length + radius);
}

double ElectrodeVolume(Electrode electrode, double storedRadius, double length, double area) {
  const double R = storedRadius;
  switch (electrode) {
    case Electrode::Sphere: return Finite(4.0 * kPi * R * R * R / 3.0);
    case Electrode::Hemisphere: return Finite(2.0 * kPi * R * R * R / 3.0);
    case Electrode::Cylinder: return Finite(kPi * R * R * length);
    case Electrode::HalfCylinder: return Finite(kPi / 2.0 * R * R * length);
    default: return Finite(area * length);  // a layer of the shown area
  }
}

}  // namespace kivex::model
