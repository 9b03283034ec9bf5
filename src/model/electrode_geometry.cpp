#include "model/electrode_geometry.h"

#include "model/checked_math.h"
#include "model/electrode_table.h"

namespace kivex::model {

bool ComputesArea(Electrode electrode) {
  const ElectrodeTraits* row = FindElectrode(static_cast<Count>(electrode));
  return row != nullptr && row->area != nullptr;
}

double ElectrodeArea(Electrode electrode, double r, double length) {
  return ComputesArea(electrode) ? ElectrodeTraitsOf(electrode).area(r, length) : 0.0;
}

double CylinderSideShare(double radius, double length) {
  return Div(2 * length, 2 * length + radius);
}

double ElectrodeVolume(Electrode electrode, double storedRadius, double length, double area) {
  const ElectrodeTraits* row = FindElectrode(static_cast<Count>(electrode));
  return row != nullptr ? row->volume(storedRadius, length, area) : Finite(area * length);
}

}  // namespace kivex::model
