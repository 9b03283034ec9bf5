#pragma once
// The display tests reach the dialogs' default experiment by this name; the experiments and their
// runs live in support/experiments.h.
#include "support/experiments.h"

namespace kivex::simulation::physics {
using testing::Experiment;
}  // namespace kivex::simulation::physics
