// Built against the model layer alone: the simulation's headers must not be reachable from it.
#include "simulation/scaled_erfc.h"

double Probe(double x) { return kivex::simulation::ScaledErfc(x); }
