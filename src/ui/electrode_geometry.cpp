#include "ui/electrode_geometry.h"

#include "model/app_state.h"
#include "model/checked_math.h"
#include "model/failure.h"
#include "model/number_format.h"
#include "model/number_text.h"

namespace kivex::ui {

namespace {

using model::Finite;
using model::kPi;

// Planar and thin-film electrodes have the area the user types; the others a computed one.
bool ComputesArea(int electrode) { return electrode >= 2 && electrode <= 8; }

double ComputedArea(int electrode, double r, double length) {
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

double Volume(int electrode, double storedRadius, double length, double shownArea) {
  const double R = storedRadius;
  switch (electrode) {
    case 2: return Finite(4.0 * kPi * R * R * R / 3.0);
    case 3: return Finite(2.0 * kPi * R * R * R / 3.0);
    case 5: return Finite(kPi * R * R * length);
    case 6: return Finite(kPi / 2.0 * R * R * length);
    default: return Finite(shownArea * length);  // a layer of the shown area
  }
}

}  // namespace

void UpdateElectrodeGeometry(const GeometryInput& input, std::string& areaText, double& volume) {
  const double r = model::ReadNumber(input.radiusText);
  const double length = model::ReadNumber(input.lengthText);
  try {
    if (ComputesArea(input.electrode)) {
      areaText = model::FormatPattern(ComputedArea(input.electrode, r, length), kAreaPattern);
    }
  } catch (const model::Failure&) {
    // The area box keeps its text.
  }
  try {
    volume = Volume(input.electrode, input.storedRadius, length, model::ReadNumber(areaText));
  } catch (const model::Failure&) {
    // The volume keeps its value.
  }
}

}  // namespace kivex::ui
