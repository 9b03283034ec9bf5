#pragma once
// The experiment a measured file describes, in the dialogs' own terms: what an import offers and
// the Instrument dialog's From File button takes (the technique, the potential programme of the
// points taken, the scan rate, the quiet time, the pulses), so a fit can start from the
// measurement's own programme without typing it in.
//
//   io::MeasuredPoints points = io::TakePoints(file, columns, sign);
//   session.fileExperiment = DescribedExperiment(file.layout.settings, points, portion);
//   // the import's report: "The file describes: cyclic voltammetry, E start 0.6 V, ..."
//   click FormIns.cmdFromFile   // writes them into the dialogs and says what it took

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "io/curve_portion.h"
#include "io/file_settings.h"

namespace kivex::ui {

class Session;

struct FileExperiment {
  int technique = 0;  // 1..5 as the Techniques dialog numbers them; 0 when the file does not say
  std::optional<double> Estart, Eend, Estep, scanRate, quietTime;  // V, V/s, s
  std::optional<double> Epulse, tPulse, frequency;                 // V (signed), s, Hz
  int scanItem = -1;  // the Scan list's entry: 0 single, 1 cycle, 2 two cycles; -1 none fits
  std::vector<std::string> notes;  // what is not taken, and why

  bool Empty() const;
};

// What the file's settings and the taken points say, in the Instrument dialog's terms. The
// programme follows the points taken (their first potential, their turn, their sweeps), with the
// header's potentials where they agree within one and a half steps; the step and scan rate come
// from the header, else from the points (the distance their sweeps cover over the steps they
// take, and their times where the file has them).
// `x` and `t` are all the file's points; `portion` those taken. A file without settings or times
// describes nothing (Empty()).
FileExperiment DescribedExperiment(const io::FileSettings& settings, std::span<const double> x,
                                   std::span<const double> t, const io::Portion& portion);

// One line for the import's report: "The file describes: ...; Instrument > From File takes it."
std::string OfferLine(const FileExperiment& experiment);

// The From File button: the experiment the last import described goes into the Techniques and
// Instrument dialogs (as if typed, so their derived fields follow), and the result window says
// what was taken. Nothing happens when no import described one.
void TakeFileExperiment(Session& session);

}  // namespace kivex::ui
