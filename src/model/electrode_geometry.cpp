#include "model/electrode_geometry.h"

#include "model/app_state.h"
#include "model/checked_math.h"

namespace kivex::model {

bool ComputesArea(int electrode) { return electrode >= 2 && electrode <= 8; }

double ElectrodeArea(int electrode, double r, double length) {
  switch (electrode) {
    case 2: return Finite(4.0 * kPi * r * r);                     // sphere
    case 3: return Finite(2.0 * kPi * r * r);                     // hemisphere
    case 4: return Finite(kPi * r * r);                           // disc
    case 5: return Finite(kPi * r * r + 2.0 * kPi * r * length);  // cylinder with its end
    case 6: return Finite(kPi * r * r / 2.0 + kPi * r * length);  // half cylinder
    case 7: return Finite(length * r);                            // band: length x width
    case 8: return Finite(kPi * r * r);                           // rotating disc
    default: return 0.0;
  }
}

double ElectrodeVolume(int electrode, double storedRadius, double length, double area) {
  const double R = storedRadius;
  switch (electrode) {
    case 2: return Finite(4.0 * kPi * R * R * R / 3.0);
    case 3: return Finite(2.0 * kPi * R * R * R / 3.0);
    case 5: return Finite(kPi * R * R * length);
    case 6: return Finite(kPi / 2.0 * R * R * length);
    default: return Finite(area * length);  // a layer of the shown area
  }
}

}  // namespace kivex::model
