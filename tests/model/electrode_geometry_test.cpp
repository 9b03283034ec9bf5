#include "model/electrode_geometry.h"

#include <gtest/gtest.h>

#include "model/app_state.h"
#include "model/failure.h"

namespace kivex::model {
namespace {

// Radius 0.2821 cm (4 pi r^2 = 1.00004 cm2), length 0.01 cm; the band's box holds its width and
// its stored radius is a quarter of it. Relative tolerance 1e-12: closed forms, a few roundings.
TEST(ElectrodeGeometry, EveryShapeHasItsAreaAndVolume) {
  const double r = 0.2821, L = 0.01, shown = 0.3;  // shown: an area as the box shows it
  struct Case {
    Electrode electrode;
    double area;    // 0: typed by the user
    double volume;  // from the stored radius, or a layer of the shown area
  };
  const Case cases[] = {
      {Electrode::Planar, 0, shown * L},
      {Electrode::Sphere, 4 * kPiTenDigits * r * r, 4 * kPiTenDigits * r * r * r / 3},
      {Electrode::Hemisphere, 2 * kPiTenDigits * r * r, 2 * kPiTenDigits * r * r * r / 3},
      {Electrode::Microdisc, kPiTenDigits * r * r, shown * L},
      {Electrode::Cylinder, kPiTenDigits * r * r + 2 * kPiTenDigits * r * L,
       kPiTenDigits * r * r * L},
      {Electrode::HalfCylinder, kPiTenDigits * r * r / 2 + kPiTenDigits * r * L,
       kPiTenDigits / 2 * r * r * L},
      {Electrode::Band, L * r, shown * L},
      {Electrode::RotatingDisk, kPiTenDigits * r * r, shown * L},
      {Electrode::ThinFilm, 0, shown * L},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.electrode));
    EXPECT_EQ(ComputesArea(c.electrode), c.area != 0);
    EXPECT_NEAR(ElectrodeArea(c.electrode, r, L), c.area, 1e-12 * c.area);
    EXPECT_NEAR(ElectrodeVolume(c.electrode, r, L, shown), c.volume, 1e-12 * c.volume);
  }
  EXPECT_NEAR(ElectrodeArea(Electrode::Sphere, 0.2821, 0), 1.00004, 1e-5);
  EXPECT_THROW(ElectrodeArea(Electrode::Sphere, 1e200, L), Failure);
  EXPECT_THROW(ElectrodeVolume(Electrode::Hemisphere, 1e200, L, shown), Failure);
}

}  // namespace
}  // namespace kivex::model
