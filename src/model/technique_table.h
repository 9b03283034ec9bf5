#pragma once
// Each technique in one row: its caption, the Instrument dialog's fields it uses, how its
// programme runs and is sampled, and which closed forms give its theoretical peak. A computation
// asks the row ("TechniqueTraitsOf(technique).ramp") rather than naming techniques, so that a new
// technique is a new row (and, where it needs one, a current function of its own).
//
//   const TechniqueTraits* row = FindTechnique(app.technique);  // nullptr for none chosen
//   if (row && row->carriesLayer) ...                           // a quiet time can be simulated

#include <array>
#include <cstdint>
#include <string_view>

#include "model/selections.h"

namespace kivex::model {

// The potential a stretch of a point's programme holds: the programme's own (the staircase or
// the base), the programme plus the pulse, or the low and high halves of a square wave's period.
enum class Level : std::uint8_t { Programme, Pulse, Low, High };

// How long a stretch lasts.
enum class Span : std::uint8_t { Drop, Pulse, DropLessPulse };

// How long the diffusion layer grows before the last sample: one drop or pulse (every point a
// fresh step), or the whole run of points.
enum class LayerSpan : std::uint8_t { Drop, Pulse, PointsOfDrop, PointsOfTwoPulses };

// The closed forms a theoretical peak takes.
enum class PeakTheory : std::uint8_t { Sweep, Step, DifferentialPulse, SquareWave };

// One stretch of a point's programme; `sample` numbers the current sampled at its end (1 the
// point's current, 2 the one it is taken from), 0 for none.
struct Stretch {
  Level level = Level::Programme;
  Span span = Span::Drop;
  int sample = 0;
};

struct TechniqueTraits {
  Technique id = Technique::None;
  std::string_view caption;  // the Techniques dialog's option
  std::string_view name;     // in a sentence: "square wave voltammetry"
  // The Instrument dialog's fields the technique uses.
  bool scanRate = false;   // v
  bool pulse = false;      // t pulse and E pulse
  bool frequency = false;  // f, which sets t pulse
  // The programme.
  bool ramp = false;          // a staircase sweep, one step per point
  bool carriesLayer = false;  // every point goes on from the diffusion layer the last one left
  bool pulseSampled = false;  // sampled at the end of t pulse rather than of t drop
  bool difference = false;    // the current is the difference of two samples
  std::array<Stretch, 2> stretches{};
  int stretchCount = 0;
  LayerSpan layer = LayerSpan::Drop;
  PeakTheory theory = PeakTheory::Sweep;
  // How instrument exports name it: a title line ("Cyclic Voltammetry") and a header tag ("CV").
  std::array<std::string_view, 2> fileTitles{};
  std::array<std::string_view, 2> fileTags{};
};

// The row of technique `number` (1..kTechniqueCount), or nullptr for any other number.
const TechniqueTraits* FindTechnique(Count number);

// The row of a technique; raises Failure ("Unknown technique 0") for one no dialog offers.
const TechniqueTraits& TechniqueTraitsOf(Technique technique);

}  // namespace kivex::model
