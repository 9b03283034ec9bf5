#include "model/preconcentration_factor.h"

#include <gtest/gtest.h>

#include "model/failure.h"

namespace kivex::model {
namespace {

// Levich transport over the deposit time: 10 * 1 * (1e-5)^(2/3) * sqrt(2 pi 100 / 60) *
// 0.01^(-1/6) * 600 / 0.01 for a planar electrode of 1 cm2 x 0.01 cm, deposition at 0.4 V below
// E0 being complete to 2e-7. Far positive of E0 nothing is collected, without overflowing; no
// volume or no viscosity cannot be computed.
TEST(PreconcentrationFactor, LevichTransportOverTheDepositTime) {
  const PreconcentrationInput in{.n = 1,
                                 .E0 = 0.1,
                                 .Epre = -0.3,
                                 .temperature = 298.14,
                                 .stirRate = 100,
                                 .electrodeConstant = 10,
                                 .area = 1,
                                 .D = 1e-5,
                                 .viscosity = 0.01,
                                 .tPre = 600,
                                 .electrodeVolume = 0.01};
  EXPECT_NEAR(PreconcentrationFactor(in), 1941.6256, 1e-3);
  PreconcentrationInput changed = in;
  changed.Epre = 100.0;
  EXPECT_EQ(PreconcentrationFactor(changed), 0.0);
  changed = in;
  changed.electrodeVolume = 0;
  EXPECT_THROW(PreconcentrationFactor(changed), Failure);
  changed = in;
  changed.viscosity = 0;
  EXPECT_THROW(PreconcentrationFactor(changed), Failure);
}

}  // namespace
}  // namespace kivex::model
