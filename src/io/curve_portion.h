#pragma once
// Which points of a measured file become the curve. A curve holds at most 4000 points and a file
// may hold many cycles (an instrument's export of 16000 points in 20 sweeps), so the import takes
// a portion: by default the first whole cycle, else what the user asks for. A file is never
// refused for its length, and never cut without a report line saying which points were taken.
//
// A sweep is a run of the potential in one direction (model::FindSweeps); a whole cycle is two
// sweeps in a row, the second ending where the first began, as the programme of a cyclic
// simulation runs. A portion that starts with a later sweep starts at the vertex before it. A file
// may number its own cycles (a table per cycle, a cycle column): those numbers answer a request for
// cycle N.
//
//   const Portion p = ChoosePortion(x, {}, PortionRequest{}, false);
//   p.report == {"Took the first whole cycle, sweeps 1 and 2: points 1 to 1601 of 9604, from
//                 0.6 V to -0.2 V and back."}
//   p.Indices() == {0, 1, ..., 1600}
//
// A portion of more points than a curve holds is thinned evenly (every k-th point) and says so.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/curve_set.h"

namespace kivex::io {

struct PortionRequest {
  enum class Kind {
    Auto,    // plain files whole when they fit; else the first whole cycle (see ChoosePortion)
    All,     // every point
    Cycle,   // cycle `first`: as the file numbers its cycles, else the first-th whole cycle
    Sweeps,  // sweeps `first` to `last`, counted from 1
  };
  Kind kind = Kind::Auto;
  int first = 0;
  int last = 0;
  bool operator==(const PortionRequest&) const = default;
};

struct Portion {
  std::size_t begin = 0;   // the first point taken, 0-based
  std::size_t end = 0;     // one beyond the last point the portion covers
  std::size_t stride = 1;  // every stride-th point from begin
  int firstSweep = 0;      // the file's sweeps it covers, counted from 1
  int lastSweep = 0;
  std::vector<std::string> report;  // result-window lines: which points were taken and why

  std::vector<std::size_t> Indices() const;
};

// The portion of the points with potentials `x` (in file order) that `request` asks for.
// `fileCycle` gives the file's own cycle number of each point (empty when it numbers none).
// `plainFile`: a file without an instrument layout, which Auto takes whole when it fits, as
// Kivex always read such files (its own exports among them); an instrument's export is taken
// whole when it fits and is one sweep or one whole cycle, else its first whole cycle. Raises
// FileError for a request the file cannot meet (a cycle or sweep it does not have).
Portion ChoosePortion(std::span<const double> x, std::span<const int> fileCycle,
                      const PortionRequest& request, bool plainFile,
                      std::size_t capacity = model::kMaxPoints);

// What a file offers to choose from: its sweeps, and the cycles a request for cycle N can name
// (as the file numbers them, else the whole cycles its sweeps make).
struct PortionSurvey {
  int sweeps = 0;
  int cycles = 0;
  bool numbered = false;  // the cycles are the file's own
};
PortionSurvey SurveyPortions(std::span<const double> x, std::span<const int> fileCycle);

// The request as a script or the window's list names it: "auto", "all", "cycle 2", "sweeps 3 4";
// no value for anything else.
std::optional<PortionRequest> ParsePortionRequest(std::string_view text);
std::string PortionRequestText(const PortionRequest& request);

}  // namespace kivex::io
