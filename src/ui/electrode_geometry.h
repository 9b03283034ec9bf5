#pragma once
// The electrode geometry step of the Instrument dialog: the area shown in the area box and the
// electrode (or film) volume, from the radius and length boxes.
//
//   std::string area = "1";
//   double volume = 0;
//   UpdateElectrodeGeometry({2, "0.2821", "0.01", 0.2821}, area, volume);
//   // area == "1.e0" (4 pi 0.2821^2 = 1.00004), volume == 4 pi 0.2821^3 / 3

#include <string>
#include <string_view>

namespace kivex::ui {

// Every area the dialog computes is shown in this pattern and read back from it.
inline constexpr std::string_view kAreaPattern = "0.##e-0";

struct GeometryInput {
  int electrode = 1;            // 1 planar .. 9 thin film
  std::string_view radiusText;  // the radius box: a radius, or the band's width
  std::string_view lengthText;  // the length box: cylinder or band length, film thickness
  double storedRadius = 0;      // the radius of the last instrument commit (band: width / 4)
};

// Writes the computed area into `areaText` (electrodes 2..8; planar and thin film keep the area
// the user typed) and the volume into `volume`. The boxes are read leniently. A value that
// cannot be computed (overflow) leaves its target as it was.
void UpdateElectrodeGeometry(const GeometryInput& input, std::string& areaText, double& volume);

}  // namespace kivex::ui
