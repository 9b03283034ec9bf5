// A translation unit of a lower layer that calls up into the simulation with a hand-written
// declaration (its header being out of reach). Linked against the layers below the simulation it
// must fail; linked against the simulation it must succeed, which shows the probe itself is sound.
namespace kivex::simulation {
double ScaledErfc(double x);
}

int main() { return kivex::simulation::ScaledErfc(0.0) == 1.0 ? 0 : 1; }
