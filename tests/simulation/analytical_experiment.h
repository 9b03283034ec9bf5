#pragma once
// The display tests' name for the dialogs' default experiment (support/experiments.h).
#include "support/experiments.h"

namespace kivex::simulation::physics {
using testing::Experiment;
}  // namespace kivex::simulation::physics
