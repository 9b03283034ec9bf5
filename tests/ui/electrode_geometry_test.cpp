#include "ui/electrode_geometry.h"

#include <gtest/gtest.h>

#include <string>

#include "model/app_state.h"

namespace kivex::ui {
namespace {

using model::kPi;

struct GeometryCase {
  int electrode;
  const char* area;  // the area box afterwards ("1" is the planar default, kept)
  double volume;
};

TEST(ElectrodeGeometry, EveryElectrodeShowsItsAreaAndVolume) {
  const double r = 0.2821;  // radius box and the committed radius
  const double L = 0.01;    // length box
  const GeometryCase cases[] = {
      {1, "1", 1.0 * L},                          // typed area times thickness
      {2, "1.e0", 4.0 * kPi * r * r * r / 3.0},   // 4 pi r^2 = 1.00004
      {3, "5.e-1", 2.0 * kPi * r * r * r / 3.0},  // 2 pi r^2 = 0.50002
      {4, "2.5e-1", 0.25 * L},                    // pi r^2, volume from the shown area
      {5, "2.68e-1", kPi * r * r * L},            // pi r^2 + 2 pi r L = 0.26773
      {6, "1.34e-1", kPi / 2.0 * r * r * L},      // pi r^2 / 2 + pi r L = 0.13387
      {7, "2.82e-3", 0.00282 * L},                // L x width = 0.002821
      {8, "2.5e-1", 0.25 * L},
      {9, "1", 1.0 * L},
  };
  for (const GeometryCase& c : cases) {
    SCOPED_TRACE(c.electrode);
    std::string area = "1";
    double volume = -1;
    UpdateElectrodeGeometry({c.electrode, "0.2821", "0.01", r}, area, volume);
    EXPECT_EQ(area, c.area);
    EXPECT_NEAR(volume, c.volume, 1e-12 * c.volume);
  }
}

TEST(ElectrodeGeometry, BandAreaIsLengthTimesTheTypedWidth) {
  std::string area = "1";
  double volume = 0;
  // The committed radius of a band is a quarter of the width; the area uses the width.
  UpdateElectrodeGeometry({7, "0.01", "0.1", 0.0025}, area, volume);
  EXPECT_EQ(area, "1.e-3");
  EXPECT_DOUBLE_EQ(volume, 1e-4);
}

TEST(ElectrodeGeometry, AnAreaThatCannotBeComputedKeepsTheBox) {
  std::string area = "3.e-1";
  double volume = 0.5;
  UpdateElectrodeGeometry({2, "1e200", "0.01", 1e200}, area, volume);  // r^2 overflows
  EXPECT_EQ(area, "3.e-1");
  EXPECT_DOUBLE_EQ(volume, 0.5);

  // A volume from a committed radius still at 0 is simply 0; the area follows the box.
  UpdateElectrodeGeometry({3, "0.1", "0.01", 0.0}, area, volume);
  EXPECT_EQ(area, "6.28e-2");
  EXPECT_DOUBLE_EQ(volume, 0.0);
}

}  // namespace
}  // namespace kivex::ui
