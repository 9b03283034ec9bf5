#pragma once
// The storage of digital runs: the grid, the concentration profiles and the prepared kinds of
// step, near a megabyte. A fit runs hundreds of simulations, so the owner keeps one workspace
// and lends it to run after run; every run sets what it reads, so results never depend on the
// runs before. It is allocated at the first digital run (an analytical run never touches it) and
// has fixed capacity from then on, so no run allocates.
//
//   simulation::DigitalWorkspace workspace;                    // kept beside the curves
//   simulation::RunSimulation(app, curves, workspace, false);  // allocates once
//   simulation::RunSimulation(app, curves, workspace, false);  // reuses it
//
// One run at a time: a workspace is no thread's own, but two runs must never share it at once.
// Its contents are defined with the digital runs (digital_simulation.cpp), their only reader.

#include <memory>

namespace kivex::simulation {

struct DiscStorage;

class DigitalWorkspace {
 public:
  struct Storage;

  DigitalWorkspace();
  ~DigitalWorkspace();
  DigitalWorkspace(const DigitalWorkspace&) = delete;
  DigitalWorkspace& operator=(const DigitalWorkspace&) = delete;

  // The storage, allocated at the first call.
  Storage& storage();
  // The storage of the disc's and band's two-dimensional fields (disc_simulation.h), allocated at
  // its first run.
  DiscStorage& disc();

 private:
  std::unique_ptr<Storage> storage_;
  std::unique_ptr<DiscStorage> disc_;
};

}  // namespace kivex::simulation
