#include "model/technique_table.h"

#include <string>

#include "model/failure.h"

namespace kivex::model {

namespace {

constexpr TechniqueTraits Sweep() {
  TechniqueTraits t;
  t.id = Technique::Sweep;
  t.caption = "1)  Linear sweep and cyclic voltammetry";
  t.name = "linear sweep or cyclic voltammetry";
  t.scanRate = true;
  t.ramp = true;
  t.carriesLayer = true;
  t.stretches = {Stretch{Level::Programme, Span::Drop, 1}};
  t.stretchCount = 1;
  t.layer = LayerSpan::PointsOfDrop;
  t.theory = PeakTheory::Sweep;
  t.fileTitles = {"Cyclic Voltammetry", "Linear Sweep Voltammetry"};
  t.fileTags = {"CV", "LSV"};
  return t;
}

constexpr TechniqueTraits DC() {
  TechniqueTraits t;
  t.id = Technique::DC;
  t.caption = "2)  DC voltammetry";
  t.name = "DC voltammetry";
  t.scanRate = true;
  t.stretches = {Stretch{Level::Programme, Span::Drop, 1}};
  t.stretchCount = 1;
  t.layer = LayerSpan::Drop;
  t.theory = PeakTheory::Step;
  t.fileTitles = {"DC Polarography"};
  return t;
}

constexpr TechniqueTraits NormalPulse() {
  TechniqueTraits t;
  t.id = Technique::NormalPulse;
  t.caption = "3)  Normal pulse voltammetry";
  t.name = "normal pulse voltammetry";
  t.scanRate = true;
  t.pulse = true;
  t.pulseSampled = true;
  t.stretches = {Stretch{Level::Pulse, Span::Pulse, 1}};
  t.stretchCount = 1;
  t.layer = LayerSpan::Pulse;
  t.theory = PeakTheory::Step;
  t.fileTitles = {"Normal Pulse Voltammetry"};
  t.fileTags = {"NPV"};
  return t;
}

constexpr TechniqueTraits DifferentialPulse() {
  TechniqueTraits t;
  t.id = Technique::DifferentialPulse;
  t.caption = "4)  Differential pulse voltammetry";
  t.name = "differential pulse voltammetry";
  t.scanRate = true;
  t.pulse = true;
  t.pulseSampled = true;
  t.difference = true;
  t.stretches = {Stretch{Level::Programme, Span::DropLessPulse, 1},
                 Stretch{Level::Pulse, Span::Pulse, 2}};
  t.stretchCount = 2;
  t.layer = LayerSpan::Drop;
  t.theory = PeakTheory::DifferentialPulse;
  t.fileTitles = {"Differential Pulse Voltammetry"};
  t.fileTags = {"DPV"};
  return t;
}

constexpr TechniqueTraits SquareWave() {
  TechniqueTraits t;
  t.id = Technique::SquareWave;
  t.caption = "5)  Square wave voltammetry";
  t.name = "square wave voltammetry";
  t.pulse = true;
  t.frequency = true;
  t.carriesLayer = true;
  t.pulseSampled = true;
  t.difference = true;
  t.stretches = {Stretch{Level::Low, Span::Pulse, 1}, Stretch{Level::High, Span::Pulse, 2}};
  t.stretchCount = 2;
  t.layer = LayerSpan::PointsOfTwoPulses;
  t.theory = PeakTheory::SquareWave;
  t.fileTitles = {"Square Wave Voltammetry"};
  t.fileTags = {"SQWV"};
  return t;
}

// In the order of the Techniques dialog, whose option i is row i - 1.
constexpr std::array<TechniqueTraits, kTechniqueCount> kTechniques = {
    Sweep(), DC(), NormalPulse(), DifferentialPulse(), SquareWave()};

}  // namespace

const TechniqueTraits* FindTechnique(Count number) {
  if (number < 1 || number > kTechniqueCount) return nullptr;
  return &kTechniques[static_cast<std::size_t>(number - 1)];
}

const TechniqueTraits& TechniqueTraitsOf(Technique technique) {
  const TechniqueTraits* row = FindTechnique(static_cast<Count>(technique));
  if (row == nullptr)
    throw Failure("Unknown technique " + std::to_string(static_cast<int>(technique)));
  return *row;
}

}  // namespace kivex::model
