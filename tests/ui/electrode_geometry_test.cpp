#include "ui/electrode_geometry.h"

#include <gtest/gtest.h>

#include <string>

#include "model/app_state.h"

namespace kivex::ui {
namespace {

using model::kPi;

// The area box starts at "3.e-1" and the volume at 0.5 each time; planar and thin film keep the
// typed area, and a value that cannot be computed keeps its target.
TEST(ElectrodeGeometry, EveryElectrodeShowsItsAreaAndVolume) {
  const double r = 0.2821;  // radius box and the committed radius
  const double L = 0.01;    // length box
  struct Case {
    const char* what;
    GeometryInput input;
    const char* area;
    double volume;
  };
  const Case cases[] = {
      {"planar: typed area times thickness", {1, "0.2821", "0.01", r}, "3.e-1", 0.3 * L},
      {"sphere: 4 pi r^2 = 1.00004", {2, "0.2821", "0.01", r}, "1.e0", 4 * kPi * r * r * r / 3},
      {"hemisphere", {3, "0.2821", "0.01", r}, "5.e-1", 2 * kPi * r * r * r / 3},
      {"disk: pi r^2, volume from the area shown", {4, "0.2821", "0.01", r}, "2.5e-1", 0.25 * L},
      {"cylinder: pi r^2 + 2 pi r L", {5, "0.2821", "0.01", r}, "2.68e-1", kPi * r * r * L},
      {"hemicylinder", {6, "0.2821", "0.01", r}, "1.34e-1", kPi / 2 * r * r * L},
      {"band: L x width", {7, "0.2821", "0.01", r}, "2.82e-3", 0.00282 * L},
      {"band, committed radius a quarter of the width", {7, "0.01", "0.1", 0.0025}, "1.e-3", 1e-4},
      {"rotating disk", {8, "0.2821", "0.01", r}, "2.5e-1", 0.25 * L},
      {"thin film", {9, "0.2821", "0.01", r}, "3.e-1", 0.3 * L},
      {"r^2 overflows", {2, "1e200", "0.01", 1e200}, "3.e-1", 0.5},
      {"no committed radius yet", {3, "0.1", "0.01", 0.0}, "6.28e-2", 0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string area = "3.e-1";
    double volume = 0.5;
    UpdateElectrodeGeometry(c.input, area, volume);
    EXPECT_EQ(area, c.area);
    EXPECT_NEAR(volume, c.volume, 1e-12 * c.volume);
  }
}

}  // namespace
}  // namespace kivex::ui
